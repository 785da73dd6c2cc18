#include "AppFixture.h"
#include "support/RecordingSeams.h"

#include "support/Files.h"
#include "support/TestDataFolders.h"

#include "browsers/BrowserList.h"
#include "framework/Profile.h"
#include "output/Preview.h"
#include "output/publishing/HtmlCode.h"
#include "output/publishing/PreviewFiles.h"
#include "platform/Registry.h"
#include "res/Resource.h"

#include <algorithm>

#include <QDir>
#include <QMenu>

using namespace framework;
using platform::RootKey;

namespace {

const QString kOperaKey =
    QStringLiteral("SOFTWARE\\Microsoft\\windows\\CurrentVersion\\App Paths\\Opera.EXE");

// The page a program was started with: its last argument.
QString pageOf(const QString& started) {
    return started.section(' ', 1);
}

} // namespace

class Preview : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        forgetBrowsers();
        fake.state().codePartNames = {"style", "script", "cursor"};
        fake.state().codePartTexts = {"<style>s</style>", "<script>j</script>", "<a>key</a>"};
    }
    void TearDown() override {
        forgetBrowsers();
        AppFixture::TearDown();
    }
    // The profile outlives a test: no browser list or choice of another test.
    void forgetBrowsers() {
        auto& registry = platform::Registry::instance();
        registry.deleteKey(RootKey::LocalMachine, kOperaKey);
        for (const char* section : {"Specify Browser", "Preview"})
            registry.deleteKey(RootKey::CurrentUser,
                               app.GetProfile().key(QString::fromLatin1(section)));
    }
    QString tmp() const { return appFolder.filePath("tmp"); }
    QMenu* previewWith() const { return frame()->FindCommandAction(ID_PREVIEW_WITH)->menu(); }
    // The submenu's entries as it shows them when opened now.
    QList<QAction*> openPreviewWith() const {
        emit previewWith()->aboutToShow();
        QList<QAction*> entries;
        for (QAction* action : previewWith()->actions())
            if (!action->isSeparator()) entries << action;
        return entries;
    }
    QAction* entry(const QString& name) const {
        for (QAction* action : openPreviewWith())
            if (action->text() == name) return action;
        return nullptr;
    }
    QString remembered(const char* entryName) const {
        return app.GetProfile().GetProfileString("Preview", QString::fromLatin1(entryName));
    }

    RecordingShell shell;
};

TEST_F(Preview, WritesNewPagesPageIntoAFolderOfItsOwnInTmpAndOpensIt) {
    EXPECT_TRUE(frame()
                    ->FindCommandAction(ID_PREVIEW_IN_BROWSER)
                    ->shortcuts()
                    .contains(QKeySequence(Qt::Key_F12)));
    EXPECT_EQ(frame()->FindCommandAction(ID_PREVIEW_IN_BROWSER)->statusTip(),
              "Show the widget on a page in your browser");
    frame()->SendCommand(ID_PREVIEW_IN_BROWSER);
    ASSERT_EQ(shell.opened.size(), 1) << prompts.messages.join('\n').toStdString();
    EXPECT_TRUE(shell.started.isEmpty()) << "the default browser until another is chosen";
    const QString page = shell.opened[0];
    EXPECT_EQ(page, tmp() + "/preview-1/preview.htm");
    EXPECT_EQ(readFile(page),
              BuildPageText(doc()->m_pTavolet->m_strTitle, CollectCodeParts(*doc()->m_pTavolet))
                  .toUtf8());
    // The server placed its support files beside the page, as for New Page.
    const QStringList saved = fake.state().files.keys();
    EXPECT_TRUE(std::any_of(saved.cbegin(), saved.cend(), [&](const QString& file) {
        return file.startsWith(tmp() + "/preview-1/preview.") && file.endsWith(".restvt");
    }));
    EXPECT_EQ(entries(tmp() + "/preview-1"), QStringList{"preview.htm"});

    // The browser may still be reading the first preview: the next gets its own folder.
    fake.state().codePartTexts[2] = "<a>changed</a>";
    frame()->SendCommand(ID_PREVIEW_IN_BROWSER);
    ASSERT_EQ(shell.opened.size(), 2);
    EXPECT_EQ(shell.opened[1], tmp() + "/preview-2/preview.htm");
    EXPECT_TRUE(readFile(shell.opened[1]).contains("<a>changed</a>"));
    EXPECT_TRUE(readFile(page).contains("<a>key</a>"));
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('\n').toStdString();
    EXPECT_FALSE(doc()->IsModified());
}

TEST_F(Preview, FailuresToWriteOrOpenAreSaidWithTheirReasons) {
    // A file where the scratch folder should be.
    writeFile(tmp(), "not a folder");
    frame()->SendCommand(ID_PREVIEW_IN_BROWSER);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(
        prompts.messages[0].startsWith("Cannot write the preview page into " + tmp() + "\n"))
        << prompts.messages[0].toStdString();
    EXPECT_TRUE(shell.opened.isEmpty());
    QFile::remove(tmp());

    prompts.messages.clear();
    shell.opens = false; // a desktop without a default browser
    frame()->SendCommand(ID_PREVIEW_IN_BROWSER);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].startsWith("Cannot open " + tmp() + "/preview-1/preview.htm\n"))
        << prompts.messages[0].toStdString();
}

TEST_F(Preview, GreyedWithoutAWidget) {
    EXPECT_TRUE(frame()->IsCommandEnabled(ID_PREVIEW_IN_BROWSER));
    EXPECT_TRUE(frame()->IsCommandEnabled(ID_PREVIEW_WITH));
    fake.state().refuseCreation = true;
    frame()->SendCommand(ID_FILE_NEW);
    ASSERT_FALSE(doc()->HasWidget());
    frame()->UpdateCommandUI();
    EXPECT_FALSE(frame()->FindCommandAction(ID_PREVIEW_IN_BROWSER)->isEnabled());
    EXPECT_FALSE(frame()->FindCommandAction(ID_PREVIEW_WITH)->isEnabled());
    prompts.messages.clear();
    frame()->SendCommand(ID_PREVIEW_IN_BROWSER);
    EXPECT_TRUE(shell.opened.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(tmp()));
}

TEST_F(Preview, PreviewWithListsEveryKindReadWhenItOpensAndRemembersTheChoice) {
    // Nothing of the browsers is read before the submenu first opens.
    EXPECT_TRUE(previewWith()->actions().isEmpty());

    // Browsers that appear after start-up are listed: the list is read on opening.
    TestDataFolders data;
    const QString webby = data.program("webby");
    data.entry("home", "webby.desktop",
               "Name=Web & Co\nExec=" + webby + "\nCategories=WebBrowser;");
    platform::Registry::instance().writeString(RootKey::LocalMachine, kOperaKey, {}, "/opt/opera");
    ASSERT_TRUE(CBrowserList(app.GetProfile()).AddSpecifiedBrowser("/opt/mine/browser", "Mine"));

    QStringList names;
    for (QAction* action : openPreviewWith())
        names << action->text();
    EXPECT_EQ(names, (QStringList{"Default Browser", "Opera", "Web && Co", "Mine"}));
    EXPECT_TRUE(entry("Default Browser")->isChecked());
    EXPECT_EQ(entry("Mine")->statusTip(), "Choose the browser that shows the preview, and show it");

    // Choosing one previews in it at once, the page as its one argument.
    shell.startable = webby;
    entry("Web && Co")->trigger();
    ASSERT_EQ(shell.started.size(), 1) << prompts.messages.join('\n').toStdString();
    EXPECT_EQ(shell.started[0], webby + " " + tmp() + "/preview-1/preview.htm");
    EXPECT_TRUE(shell.opened.isEmpty());
    EXPECT_EQ(remembered("Browser"), "Web & Co");
    EXPECT_EQ(remembered("Path"), webby);
    EXPECT_TRUE(entry("Web && Co")->isChecked());
    EXPECT_FALSE(entry("Default Browser")->isChecked());

    // F12 uses the choice.
    frame()->SendCommand(ID_PREVIEW_IN_BROWSER);
    ASSERT_EQ(shell.started.size(), 2);
    EXPECT_EQ(shell.started[1], webby + " " + tmp() + "/preview-2/preview.htm");
    EXPECT_TRUE(QFileInfo::exists(pageOf(shell.started[1])));

    // Back to the default.
    entry("Default Browser")->trigger();
    EXPECT_EQ(shell.opened, QStringList{tmp() + "/preview-3/preview.htm"});
    frame()->SendCommand(ID_PREVIEW_IN_BROWSER);
    EXPECT_EQ(shell.opened.size(), 2);
    EXPECT_EQ(shell.started.size(), 2);
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('\n').toStdString();
}

TEST_F(Preview, ABrowserThatFailsOrIsGoneIsNamed) {
    TestDataFolders data;
    const QString webby = data.program("webby");
    data.entry("home", "webby.desktop", "Name=Webby\nExec=" + webby + "\nCategories=WebBrowser;");
    CBrowserList(app.GetProfile()).AddSpecifiedBrowser("/no/such/browser", "Mine");

    // Listed, but its program is not there: named, with the reason; still the choice.
    entry("Mine")->trigger();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0], "Cannot start the browser Mine to show " + tmp() +
                                       "/preview-1/preview.htm\n/no/such/browser does not exist.");
    EXPECT_EQ(shell.started, QStringList{"/no/such/browser " + tmp() + "/preview-1/preview.htm"});
    EXPECT_TRUE(shell.opened.isEmpty()) << "no silent fallback for a listed browser";
    EXPECT_EQ(remembered("Browser"), "Mine");

    // A remembered program that moved is found again by its name.
    shell.startable = webby;
    prompts.messages.clear();
    RememberPreviewBrowser(app.GetProfile(), {"Webby", "/usr/lib/old/webby"});
    frame()->SendCommand(ID_PREVIEW_IN_BROWSER);
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('\n').toStdString();
    EXPECT_EQ(shell.started.last(), webby + " " + tmp() + "/preview-2/preview.htm");

    // No longer listed: said, then the default browser, from now on.
    CBrowserList(app.GetProfile()).DeleteSpecifiedBrowser("Mine");
    RememberPreviewBrowser(app.GetProfile(), {"Mine", "/no/such/browser"});
    frame()->SendCommand(ID_PREVIEW_IN_BROWSER);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].startsWith("The browser Mine is no longer installed"));
    EXPECT_EQ(shell.opened, QStringList{tmp() + "/preview-3/preview.htm"});
    EXPECT_EQ(RememberedPreviewBrowser(app.GetProfile()), DefaultPreviewBrowser());
    frame()->SendCommand(ID_PREVIEW_IN_BROWSER);
    EXPECT_EQ(prompts.messages.size(), 1) << "said once";
    EXPECT_EQ(shell.opened.size(), 2);
}

TEST_F(Preview, ExitRemovesThePreviewsAndLeavesTheUsersFolders) {
    writeFile(tmp() + "/keep/inner", "the user's");
    writeFile(tmp() + "/preview-1/theirs", "a folder of that name the program did not make");
    frame()->SendCommand(ID_PREVIEW_IN_BROWSER);
    frame()->SendCommand(ID_PREVIEW_IN_BROWSER);
    ASSERT_EQ(shell.opened,
              (QStringList{tmp() + "/preview-2/preview.htm", tmp() + "/preview-3/preview.htm"}));
    // Support files as a server places them: in folders below the page.
    writeFile(tmp() + "/preview-2/glimmerkey/k1/icon/icon.png", "PNG");
    writeFile(tmp() + "/preview-2/.hidden");
    QFile::link(tmp() + "/keep", tmp() + "/preview-3/link");

    app.ExitInstance();
    EXPECT_EQ(entries(tmp()), (QStringList{"keep", "preview-1"}));
    EXPECT_EQ(readFile(tmp() + "/keep/inner"), "the user's") << "not reached through the link";
    EXPECT_EQ(entries(tmp() + "/preview-1"), QStringList{"theirs"});

    // With nothing of the user's, the folder itself goes.
    QDir(tmp()).removeRecursively();
    frame()->SendCommand(ID_PREVIEW_IN_BROWSER);
    ASSERT_TRUE(QFileInfo::exists(tmp() + "/preview-1/preview.htm"));
    app.ExitInstance();
    EXPECT_FALSE(QFileInfo::exists(tmp()));
}
