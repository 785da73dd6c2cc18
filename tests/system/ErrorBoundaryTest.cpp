#include "AppFixture.h"

#include "platform/DispatchContract.h"
#include "res/Resource.h"

#include <QDialog>
#include <QListWidget>
#include <QPushButton>

// A failing server call inside a handler that Qt runs ends that handler with
// one report; nothing reaches Qt's event loop, and no dialog is left half open.
using ErrorBoundary = AppFixture;

namespace {
const QString kLoadFailed =
    QStringLiteral("The fake server failed call %1.").arg(dispatch::DISPID_LOAD_FROM_FILE);

// A template the fake server knows, as a file the listing finds.
void addTemplate(FakeServerRegistration& fake, const QString& name) {
    const QString path = fake.serverFolder() + "/" + name + "_TavoletServer.Glimmerkey.tvt";
    QFile(path).open(QIODevice::WriteOnly);
    fake.writeWidgetFile(path, "TavoletServer.Glimmerkey", name);
}
} // namespace

TEST_F(ErrorBoundary, FailingInitialisationClosesTheDialogAfterOneReport) {
    addTemplate(fake, "Blue");
    fake.state().failingCalls = {dispatch::DISPID_LOAD_FROM_FILE}; // listing the templates fails
    bool leftOpen = false;
    // A watchdog, well after the dialog's own end: only a dialog left open is found.
    QObject watchdogScope; // ends the watchdog with the test
    QTimer::singleShot(200, &watchdogScope, [&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            leftOpen = true;
            dialog->reject();
        }
    });
    frame()->SendCommand(framework::ID_FILE_NEW);
    EXPECT_FALSE(leftOpen);

    EXPECT_EQ(prompts.messages, QStringList{kLoadFailed});
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    // Taken as a cancelled New: a plain widget, not modified.
    EXPECT_TRUE(doc()->HasWidget());
    EXPECT_FALSE(doc()->IsModified());
}

TEST_F(ErrorBoundary, FailingButtonHandlerLeavesTheDialogUsable) {
    addTemplate(fake, "Blue");
    bool stillOpen = false;
    whenDialogShows([&](QWidget* dialog) {
        fake.state().failingCalls = {dispatch::DISPID_LOAD_FROM_FILE};
        dialog->findChild<QPushButton*>()->click(); // OK loads the template: fails
        stillOpen = dialog->isVisible();
        fake.state().failingCalls.clear();
        dialog->findChild<QPushButton*>()->click(); // and works once the server does
    });
    frame()->SendCommand(framework::ID_FILE_NEW);

    EXPECT_EQ(prompts.messages, QStringList{kLoadFailed});
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(doc()->IsModified()) << "the second OK made the widget";
    EXPECT_EQ(fake.state().configureCalls, 1);
}

TEST_F(ErrorBoundary, FailingEnablingHandlerDisablesSilentlyAndTheCommandReports) {
    fake.state().supportFiles = {{"icon.png", "/src/", "gk/icon.png"}};
    ASSERT_TRUE(frame()->IsCommandEnabled(ID_SUPPORT_FILES));
    fake.state().failingCalls = {dispatch::DISPID_SUPPORT_FILE_COUNT};
    frame()->UpdateCommandUI();
    EXPECT_FALSE(frame()->IsCommandEnabled(ID_SUPPORT_FILES));
    EXPECT_FALSE(frame()->CommandAction(ID_SUPPORT_FILES)->isEnabled());
    EXPECT_TRUE(prompts.messages.isEmpty()) << "no message box while a menu is drawn";

    // Run anyway (a shortcut taken before the menu was refreshed): one report.
    frame()->SendCommand(ID_SUPPORT_FILES);
    EXPECT_EQ(prompts.messages, QStringList{QStringLiteral("The fake server failed call %1.")
                                                .arg(dispatch::DISPID_SUPPORT_FILE_COUNT)});
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
