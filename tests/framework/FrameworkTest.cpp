#include "support/ScriptedPrompts.h"
#include "support/TestHome.h"

#include "framework/Application.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/FrameWindow.h"
#include "framework/Profile.h"
#include "framework/RecentFileList.h"
#include "framework/StringTable.h"
#include "framework/View.h"
#include "platform/Registry.h"

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace framework;

namespace {

enum { ID_SHARED = 40001, ID_VIEW_ONLY, ID_THROWS, ID_OFF, ID_UNHANDLED };

struct TestDoc : CDocument {
    TestDoc() {
        OnCommand(ID_SHARED, [this] { trail << "doc"; });
        OnCommand(ID_THROWS, [] { throw std::runtime_error("the widget server failed"); });
        OnCommand(ID_OFF, [] {});
        OnUpdateCommand(ID_OFF, [](CCmdUI& ui) { ui.Enable(false); });
    }
    bool OnNewDocument() override { return failNew ? false : CDocument::OnNewDocument(); }
    bool OnSaveDocument(const QString& path) override {
        saves << path;
        SetModifiedFlag(false);
        return true;
    }
    bool failNew = false;
    QStringList saves;
    QStringList trail;
};

struct TestView : CView {
    TestView() {
        OnCommand(ID_SHARED, [this] { static_cast<TestDoc*>(GetDocument())->trail << "view"; });
    }
};

struct TestApp : CWinApp {
    TestApp() : CWinApp("Test App") {
        SetRegistryKey("TestCompany");
        LoadStdProfileSettings(kRecentFileCount);
        AddDocTemplate(std::make_unique<CSingleDocTemplate>(
            500, [] { return std::make_unique<TestDoc>(); },
            [] {
                auto frame = std::make_unique<CFrameWnd>();
                frame->LoadMenu(
                    {{"&File",
                      {{"&Shared", ID_SHARED}, {"&Off", ID_OFF}, {"&None", ID_UNHANDLED}}}});
                return frame;
            },
            [] { return new TestView; }));
    }
    bool InitInstance() override { return OpenDocumentFile({}) != nullptr; }
    TestDoc* doc() const { return static_cast<TestDoc*>(DocTemplate()->Document()); }
};

class Framework : public ::testing::Test {
protected:
    void SetUp() override {
        StringTable::Install(
            {{500, "Test App\nUntitled\nTest App\nTest Files(*.tst) \n.tst\nT.Doc\nT Doc"}});
    }
    ScriptedPrompts prompts;
};

} // namespace

TEST_F(Framework, CommandsRouteViewFirstAndErrorsAreReported) {
    TestApp app;
    ASSERT_TRUE(app.InitInstance());
    CFrameWnd* frame = app.m_pMainWnd;
    frame->SendCommand(ID_SHARED);
    EXPECT_EQ(app.doc()->trail, QStringList{"view"});

    frame->SendCommand(ID_THROWS);
    EXPECT_EQ(prompts.messages, QStringList{"the widget server failed"});

    EXPECT_TRUE(frame->IsCommandEnabled(ID_SHARED));
    EXPECT_FALSE(frame->IsCommandEnabled(ID_OFF));
    EXPECT_FALSE(frame->IsCommandEnabled(ID_UNHANDLED)) << "nobody handles it";
    frame->UpdateCommandUI();
    EXPECT_FALSE(frame->CommandAction(ID_OFF)->isEnabled());
    EXPECT_EQ(frame->windowTitle(), "Untitled - Test App");
}

TEST_F(Framework, SaveChangesQuestionDecidesWhetherToGoOn) {
    TestApp app;
    ASSERT_TRUE(app.InitInstance());
    TestDoc* doc = app.doc();
    QTemporaryDir folder;

    doc->SetModifiedFlag(true);
    prompts.answers = {IDCANCEL};
    EXPECT_FALSE(doc->SaveModified());
    EXPECT_EQ(prompts.messages.last(), "Save changes to Untitled?");

    prompts.answers = {IDNO};
    EXPECT_TRUE(doc->SaveModified());
    EXPECT_TRUE(doc->saves.isEmpty());

    prompts.answers = {IDYES}; // and then cancel the Save As dialog
    EXPECT_FALSE(doc->SaveModified()) << "a cancelled Save As stops the caller";
    EXPECT_TRUE(doc->saves.isEmpty());

    prompts.answers = {IDYES};
    prompts.files = {folder.filePath("kept.tst")};
    EXPECT_TRUE(doc->SaveModified());
    EXPECT_EQ(doc->saves, QStringList{folder.filePath("kept.tst")});
    EXPECT_EQ(prompts.fileRequests.last().initialPath, "Untitled.tst");
    EXPECT_EQ(doc->GetTitle(), "kept.tst");
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(Framework, FailedFirstDocumentTakesTheWindowAlong) {
    CSingleDocTemplate failing(
        500,
        [] {
            auto doc = std::make_unique<TestDoc>();
            doc->failNew = true;
            return doc;
        },
        [] { return std::make_unique<CFrameWnd>(); }, [] { return new TestView; });
    EXPECT_EQ(failing.OpenDocumentFile({}), nullptr);
    EXPECT_EQ(failing.Frame(), nullptr);
    EXPECT_EQ(failing.Document(), nullptr);
}

TEST_F(Framework, RecentFilesAndProfileValuesPersist) {
    platform::Registry registry(QString{});
    Profile profile(registry, "Company", "App");
    CRecentFileList list(profile, 4);
    for (const char* path : {"/a", "/b", "/c", "/d", "/e", "/c"})
        list.Add(path);
    EXPECT_EQ(list.Files(), (QStringList{"/c", "/e", "/d", "/b"}));

    CRecentFileList reread(profile, 4);
    reread.ReadList();
    EXPECT_EQ(reread.Files(), list.Files());
    EXPECT_EQ(registry.readString(platform::RootKey::CurrentUser,
                                  "Software\\Company\\App\\Recent File List", "File1"),
              "/c");

    profile.WriteProfileString("Frame", "Top", "  42px");
    profile.WriteProfileString("Frame", "Left", "wide");
    EXPECT_EQ(profile.GetProfileInt("Frame", "Top", -1), 42);
    EXPECT_EQ(profile.GetProfileInt("Frame", "Left", -1), -1);
    EXPECT_EQ(profile.GetProfileInt("Frame", "Absent", -1), -1);
    EXPECT_EQ(StringField("a\nb\n", 1), "b");
    EXPECT_EQ(StringField("a", 3), "");
}

TEST_F(Framework, RecentFilesFollowTheRegistryKeyWhicheverIsSetFirst) {
    auto& registry = platform::Registry::instance();
    registry.writeString(platform::RootKey::CurrentUser,
                         "Software\\Late Company\\Order App\\Recent File List", "File1", "/late");
    struct OrderApp : CWinApp {
        OrderApp() : CWinApp("Order App") {
            LoadStdProfileSettings(kRecentFileCount);
            SetRegistryKey("Late Company");
        }
        bool InitInstance() override { return true; }
    } app;
    EXPECT_EQ(app.RecentFiles(), QStringList{"/late"});
    app.AddToRecentFileList("/new");
    EXPECT_EQ(registry.readString(platform::RootKey::CurrentUser,
                                  "Software\\Late Company\\Order App\\Recent File List", "File1"),
              "/new");
}

int main(int argc, char** argv) {
    useTemporaryHome();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
