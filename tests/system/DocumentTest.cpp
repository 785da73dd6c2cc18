#include "AppFixture.h"
#include "support/MessageLines.h"
#include "support/RecordingSeams.h"

#include "framework/Application.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "res/Resource.h"

#include "framework/FormView.h"

#include <QDialog>
#include <QListWidget>
#include <QPushButton>

using framework::IDNO;

namespace {
const QString kProgId = QStringLiteral("TavoletServer.Glimmerkey");
const QString kCreateFailed = "Create the dispatch of the " + kProgId + " Error!";

enum { IDC_CONFIGURE = 1023, IDC_COPY_CODE = 1024, IDC_NEW_PAGE = 1025, IDC_INSERT_INTO = 1026 };
} // namespace

using WidgetDocument = AppFixture;

TEST_F(WidgetDocument, StartsWithAPlainWidgetAndNoQuestions) {
    ASSERT_TRUE(doc()->HasWidget());
    EXPECT_EQ(doc()->m_pTavolet->m_dispatch.Name(), "Normal");
    EXPECT_EQ(doc()->m_pTavolet->m_dispatch.Description(), "");
    EXPECT_FALSE(doc()->IsModified());
    EXPECT_FALSE(doc()->m_bFirstNew);
    EXPECT_EQ(frame()->windowTitle(), "Untitled_TavoletServer.Glimmerkey - Vellwick Glimmerkey");
    EXPECT_EQ(fake.state().configureCalls, 0) << "the first widget is not configured unasked";
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(WidgetDocument, CancelledNewDialogLeavesAFreshPlainWidget) {
    doc()->m_pTavolet->m_dispatch.SetName("Edited");
    doc()->SetModifiedFlag(true);
    prompts.answers = {IDNO}; // do not save the edited widget
    whenDialogShows([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    frame()->SendCommand(framework::ID_FILE_NEW);

    EXPECT_EQ(prompts.messages, QStringList{"Save changes to Untitled_TavoletServer.Glimmerkey?"});
    EXPECT_EQ(doc()->m_pTavolet->m_dispatch.Name(), "Normal");
    EXPECT_FALSE(doc()->IsModified());
    EXPECT_EQ(fake.state().configureCalls, 0);
}

TEST_F(WidgetDocument, NewFromTemplateLoadsItNamesItAndConfigures) {
    const QString templatePath = fake.serverFolder() + "/Blue_TavoletServer.Glimmerkey.tvt";
    QFile(templatePath).open(QIODevice::WriteOnly);
    fake.writeWidgetFile(templatePath, kProgId, "Blue");
    whenDialogShows([](QWidget* dialog) {
        auto* list = dialog->findChild<QListWidget*>();
        ASSERT_EQ(list->count(), 1);
        EXPECT_EQ(list->item(0)->text(), "Blue");
        static_cast<QDialog*>(dialog)->findChild<QPushButton*>()->click(); // OK comes first
    });
    frame()->SendCommand(framework::ID_FILE_NEW);

    EXPECT_EQ(fake.state().name, "Normal")
        << "the name typed in the dialog wins over the template's";
    EXPECT_EQ(fake.state().auxText, "");
    EXPECT_EQ(fake.state().configureCalls, 1);
    EXPECT_TRUE(doc()->IsModified());
}

TEST_F(WidgetDocument, ForeignCorruptAndMissingFilesAreRefused) {
    const QString foreign = makeFile("foreign.tvt");
    fake.writeWidgetFile(foreign, "Other.Server", "x");
    EXPECT_EQ(app.OpenDocumentFile(foreign), nullptr);
    EXPECT_EQ(prompts.messages, QStringList{"This File is not saved by Vellwick Glimmerkey!"});
    EXPECT_EQ(doc()->m_pTavolet, nullptr);
    EXPECT_EQ(doc()->GetTitle(), "Untitled_TavoletServer.Glimmerkey");
    EXPECT_FALSE(doc()->OnSaveDocument(files.filePath("nothing.tvt")));
    EXPECT_FALSE(QFile::exists(files.filePath("nothing.tvt")));
    frame()->SendCommand(ID_VIEW_SAMPLE);

    prompts.messages.clear();
    const QString corrupt = makeFile("corrupt.tvt"); // the fake cannot read it
    EXPECT_EQ(app.OpenDocumentFile(corrupt), nullptr);
    EXPECT_EQ(prompts.messages, QStringList{"Open " + corrupt + " Error!"});

    // A file that cannot be opened at all does not even replace the widget.
    whenDialogShows([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    app.OnFileNew();
    prompts.messages.clear();
    EXPECT_EQ(app.OpenDocumentFile(files.filePath("missing.tvt")), nullptr);
    EXPECT_EQ(prompts.messages, QStringList{"Failed to open document."});
    EXPECT_TRUE(doc()->HasWidget());
}

TEST_F(WidgetDocument, OpenConfiguresAndBecomesTheDocument) {
    const QString path = makeFile("mine.tvt");
    fake.writeWidgetFile(path, kProgId, "Mine");
    ASSERT_NE(app.OpenDocumentFile(path), nullptr);
    EXPECT_EQ(fake.state().configureCalls, 1);
    EXPECT_EQ(doc()->m_pTavolet->m_dispatch.Name(), "Mine");
    EXPECT_EQ(frame()->windowTitle(), "mine.tvt - Vellwick Glimmerkey");
    EXPECT_EQ(app.RecentFiles().value(0), path);

    fake.state().configureResult = true;
    frame()->SendCommand(ID_CONFIGURE);
    EXPECT_TRUE(doc()->IsModified());
    fake.state().configureResult = false;
    frame()->SendCommand(ID_CONFIGURE);
    EXPECT_TRUE(doc()->IsModified()) << "a cancelled Configure never clears the flag";
}

TEST_F(WidgetDocument, SaveProposesTheDefaultNameAndStampsTheFile) {
    doc()->SetModifiedFlag(true);
    const QString path = files.filePath("saved.tvt");
    prompts.files = {path};
    frame()->SendCommand(framework::ID_FILE_SAVE);

    ASSERT_EQ(prompts.fileRequests.size(), 1);
    EXPECT_EQ(prompts.fileRequests[0].initialPath, "Untitled_TavoletServer.Glimmerkey.tvt");
    EXPECT_TRUE(fake.state().files.value(path).startsWith(kProgId + "\n"));
    EXPECT_TRUE(fake.state().saveTime.isValid());
    EXPECT_FALSE(doc()->IsModified());
    EXPECT_EQ(doc()->GetPathName(), path);

    fake.state().saveResult = false;
    doc()->SetModifiedFlag(true);
    frame()->SendCommand(framework::ID_FILE_SAVE);
    EXPECT_EQ(firstLines(prompts.messages), QStringList{"Save to " + path + " Error!"});
    EXPECT_TRUE(doc()->IsModified());
}

TEST_F(WidgetDocument, CreationFailuresAreReportedInOrderAndLeaveNoUsableWidget) {
    fake.state().refuseCreation = true;
    frame()->SendCommand(framework::ID_FILE_NEW);
    EXPECT_EQ(firstLines(prompts.messages),
              (QStringList{"Create Dispatch of the " + kProgId + " Error!", kCreateFailed}));
    EXPECT_TRUE(allGiveReasons(prompts.messages)) << prompts.messages.join('|').toStdString();
    EXPECT_FALSE(doc()->HasWidget());
    EXPECT_FALSE(frame()->IsCommandEnabled(ID_CONFIGURE));
    EXPECT_FALSE(frame()->IsCommandEnabled(framework::ID_FILE_SAVE));
}

TEST_F(WidgetDocument, AFailedOpenLeavesAnUntitledWindowWithEveryWidgetCommandGreyed) {
    const QString mine = makeFile("mine.tvt");
    fake.writeWidgetFile(mine, kProgId, "Mine");
    ASSERT_NE(app.OpenDocumentFile(mine), nullptr);
    const QString foreign = makeFile("foreign.tvt");
    fake.writeWidgetFile(foreign, "Other.Server", "x");
    prompts.files = {foreign};
    frame()->SendCommand(framework::ID_FILE_OPEN);
    ASSERT_EQ(doc()->m_pTavolet, nullptr);

    EXPECT_EQ(frame()->windowTitle(), "Untitled_TavoletServer.Glimmerkey - Vellwick Glimmerkey")
        << "the previous file is no longer what the window holds";
    EXPECT_EQ(doc()->GetPathName(), "");
    for (int id :
         {int(framework::ID_FILE_SAVE), int(framework::ID_FILE_SAVE_AS), int(ID_SAVE_AS_TEMPLATE),
          int(ID_SUPPORT_FILES), int(ID_CONFIGURE), int(ID_RENAME_WIDGET), int(ID_VIEW_SAMPLE),
          int(IDC_CONFIGURE), int(IDC_COPY_CODE), int(IDC_NEW_PAGE), int(IDC_INSERT_INTO)})
        EXPECT_FALSE(frame()->IsCommandEnabled(id)) << id;
    EXPECT_TRUE(frame()->IsCommandEnabled(framework::ID_FILE_NEW));
    EXPECT_TRUE(frame()->IsCommandEnabled(framework::ID_FILE_OPEN));
    // The form's buttons follow their commands.
    auto* form = frame()->findChild<framework::CFormView*>();
    ASSERT_NE(form, nullptr);
    for (int id : {IDC_CONFIGURE, IDC_COPY_CODE, IDC_NEW_PAGE, IDC_INSERT_INTO})
        EXPECT_FALSE(form->GetDlgItem(id)->isEnabled()) << id;
    EXPECT_TRUE(form->GetDlgItem(1021)->isEnabled()) << "New stays";

    // Save As, should it be reached at all, writes and renames nothing.
    prompts.messages.clear();
    const QString target = files.filePath("nothing.tvt");
    prompts.files = {target};
    frame()->SendCommand(framework::ID_FILE_SAVE_AS);
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_EQ(doc()->GetPathName(), "");
    EXPECT_FALSE(app.RecentFiles().contains(target));
    EXPECT_EQ(firstLines(prompts.messages), QStringList{"Save to " + target + " Error!"});

    // A widget again: everything comes back.
    whenDialogShows([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    frame()->SendCommand(framework::ID_FILE_NEW);
    EXPECT_TRUE(form->GetDlgItem(IDC_COPY_CODE)->isEnabled());
    EXPECT_TRUE(frame()->IsCommandEnabled(framework::ID_FILE_SAVE));
}

TEST_F(WidgetDocument, NewAfterStartingWithAFileOffersTheTemplates) {
    const QString mine = makeFile("mine.tvt");
    fake.writeWidgetFile(mine, kProgId, "Mine");
    // As at a start with a file named: the document's first act is Open.
    CVellwickToolDoc startedWithFile;
    ASSERT_TRUE(startedWithFile.OnOpenDocument(mine));
    bool offered = false;
    whenDialogShows([&](QWidget* dialog) {
        offered = true;
        static_cast<QDialog*>(dialog)->reject();
    });
    ASSERT_TRUE(startedWithFile.OnNewDocument());
    EXPECT_TRUE(offered);
}

TEST_F(WidgetDocument, SupportFilesFollowTheWidgetsFiles) {
    EXPECT_FALSE(frame()->IsCommandEnabled(ID_SUPPORT_FILES));
    fake.state().supportFiles = {{"icon.png", "/src/", "glimmerkey/icon.png"}};
    EXPECT_TRUE(frame()->IsCommandEnabled(ID_SUPPORT_FILES));
}

TEST_F(WidgetDocument, ViewSampleOpensTheServersSamplePage) {
    RecordingShell shell;
    frame()->SendCommand(ID_VIEW_SAMPLE);
    EXPECT_EQ(shell.opened, QStringList{fake.serverFolder() + "/Sample/sample.htm"});
}

TEST_F(WidgetDocument, HelpAndSamplesThatOpenNowhereSaySo) {
    RecordingShell shell;
    shell.opens = false;
    frame()->SendCommand(ID_VIEW_SAMPLE);
    const QString sample = fake.serverFolder() + "/Sample/sample.htm";
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].startsWith("Cannot open " + sample + "\n"))
        << prompts.messages[0].toStdString();

    RecordingHelp help;
    help.shows = false;
    prompts.messages.clear();
    for (int id : {int(ID_HELP_TUTORIAL), int(framework::ID_HELP_FINDER), int(ID_HELP_SEARCH)})
        frame()->SendCommand(id);
    ASSERT_EQ(prompts.messages.size(), 3);
    for (const QString& message : std::as_const(prompts.messages))
        EXPECT_TRUE(message.startsWith("Cannot open the help book " + help.Folder() + "\n"))
            << message.toStdString();
}

TEST(WidgetWrapper, ServerFolderSamplePageAndFailures) {
    ScriptedPrompts prompts;
    {
        FakeServerRegistration fake("Test.NoSample", false);
        CTavolet tavolet;
        ASSERT_TRUE(tavolet.CreateFromProgID("Test.NoSample"));
        EXPECT_EQ(tavolet.m_strProgID, "Test.NoSample");
        EXPECT_EQ(tavolet.m_strServerFolder, fake.serverFolder());
        EXPECT_EQ(tavolet.m_strSamplePage, "") << "no sample page, no path";
    }
    CTavolet unregistered;
    QString why;
    EXPECT_FALSE(unregistered.CreateFromProgID("Test.NotThere", &why));
    EXPECT_TRUE(why.contains("Test.NotThere")) << why.toStdString();
    EXPECT_FALSE(unregistered.HasServer());
    EXPECT_TRUE(prompts.messages.isEmpty()) << "the caller reports an unregistered server";
}

TEST(AppStartup, FailsWithANonZeroStatusWhenNoServerCanBeMade) {
    ScriptedPrompts prompts;
    QTemporaryDir folder;
    {
        CVellwickToolApp app(folder.path());
        EXPECT_NE(app.Run(), 0);
        EXPECT_EQ(firstLines(prompts.messages), QStringList{kCreateFailed})
            << "not registered: one message";
        EXPECT_TRUE(allGiveReasons(prompts.messages));
        EXPECT_EQ(app.m_pMainWnd, nullptr);
    }

    // Registered, but its library is gone: the wrapper speaks first.
    auto& registry = platform::Registry::instance();
    const QString clsid = QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
    registry.writeString(platform::RootKey::ClassesRoot, kProgId + "\\CLSID", {}, clsid);
    registry.writeString(platform::RootKey::ClassesRoot, "CLSID\\" + clsid + "\\ProgID", {},
                         kProgId);
    registry.writeString(platform::RootKey::ClassesRoot, "CLSID\\" + clsid + "\\InprocServer32", {},
                         folder.filePath("libGone.so"));
    prompts.messages.clear();
    {
        CVellwickToolApp app(folder.path());
        EXPECT_NE(app.Run(), 0);
    }
    registry.deleteKey(platform::RootKey::ClassesRoot, kProgId);
    registry.deleteKey(platform::RootKey::ClassesRoot, "CLSID\\" + clsid);
    EXPECT_EQ(firstLines(prompts.messages),
              (QStringList{"Create Dispatch of the " + kProgId + " Error!", kCreateFailed}));
    EXPECT_TRUE(prompts.messages.value(0).contains("libGone.so"))
        << "the reason names the missing library: " << prompts.messages.value(0).toStdString();
}
