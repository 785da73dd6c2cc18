#include "AppFixture.h"
#include "support/RecordingSeams.h"

#include "app/MainFrm.h"
#include "framework/Profile.h"
#include "framework/StatusBar.h"
#include "framework/ToolBar.h"
#include "platform/Help.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "res/Resource.h"

#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <QToolButton>

using namespace framework;

namespace {

const QString kFrameKey = QStringLiteral("Software\\Mirovasta\\Vellwick Glimmerkey\\Frame");

void storePlacement(int status, int top, int left, int bottom, int right) {
    auto& registry = platform::Registry::instance();
    registry.deleteKey(platform::RootKey::CurrentUser, kFrameKey);
    const std::pair<const char*, int> values[] = {
        {"Status", status}, {"Top", top}, {"Left", left}, {"Bottom", bottom}, {"Right", right}};
    for (const auto& [name, value] : values)
        if (value != -2) // -2: not stored at all
            registry.writeString(platform::RootKey::CurrentUser, kFrameKey, name,
                                 QString::number(value));
}

int storedValue(const char* name) {
    return platform::Registry::instance()
        .readString(platform::RootKey::CurrentUser, kFrameKey, name)
        .value_or("absent")
        .toInt();
}

QToolButton* toolButton(CFrameWnd* frame, int id) {
    auto* bar = frame->findChild<CToolBar*>();
    return bar ? qobject_cast<QToolButton*>(bar->widgetForAction(frame->FindCommandAction(id)))
               : nullptr;
}

} // namespace

using MainFrame = AppFixture;

TEST_F(MainFrame, MenusToolBarAndStatusBarAsDesigned) {
    QStringList titles;
    for (QAction* menu : frame()->menuBar()->actions())
        titles << menu->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&Option", "&Help"}));
    EXPECT_FALSE(frame()->windowFlags() & Qt::WindowMaximizeButtonHint);

    auto* bar = frame()->findChild<CToolBar*>();
    ASSERT_NE(bar, nullptr);
    QStringList labels;
    for (QAction* action : bar->actions())
        if (bar->widgetForAction(action) && !action->iconText().isEmpty())
            labels << action->iconText();
    EXPECT_EQ(labels, (QStringList{"Save", "As Template", "Support Files", "Tips"}));
    EXPECT_EQ(bar->iconSize(), QSize(32, 32));
    EXPECT_EQ(bar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    EXPECT_EQ(bar->allowedAreas(), Qt::AllToolBarAreas);
    QToolButton* save = toolButton(frame(), ID_FILE_SAVE);
    ASSERT_NE(save, nullptr);
    EXPECT_GE(save->minimumWidth(), 50);
    EXPECT_LE(save->maximumWidth(), 150);
    EXPECT_FALSE(save->icon().isNull());

    // Keys of the accelerator table reach the commands' actions.
    EXPECT_TRUE(frame()
                    ->FindCommandAction(ID_SAVE_AS_TEMPLATE)
                    ->shortcuts()
                    .contains(QKeySequence("Ctrl+T")));
    EXPECT_TRUE(
        frame()->FindCommandAction(ID_CONFIGURE)->shortcuts().contains(QKeySequence("Alt+Return")));
    EXPECT_TRUE(frame()->FindCommandAction(ID_HELP)->shortcuts().contains(QKeySequence("F1")));
    EXPECT_TRUE(
        frame()->FindCommandAction(ID_EDIT_PASTE)->shortcuts().contains(QKeySequence("Shift+Ins")));

    auto* status = frame()->findChild<CStatusBar*>();
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->currentMessage(), "Ready");
    EXPECT_EQ(frame()->FindCommandAction(ID_SUPPORT_FILES)->statusTip(),
              "List the files using by the widget");
    EXPECT_EQ(frame()->FindCommandAction(ID_HELP_ORDERING)->statusTip(),
              QString::fromLatin1(kOrderPageUrl));
}

TEST_F(MainFrame, SupportFilesGreysOutOnTheToolBarAndInTheMenuTogether) {
    frame()->UpdateCommandUI();
    QToolButton* button = toolButton(frame(), ID_SUPPORT_FILES);
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->isEnabled());
    EXPECT_FALSE(frame()->FindCommandAction(ID_SUPPORT_FILES)->isEnabled());
    fake.state().supportFiles = {{"icon.png", "/src/", "gk/icon.png"}};
    frame()->UpdateCommandUI();
    EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(frame()->FindCommandAction(ID_SUPPORT_FILES)->isEnabled());
}

TEST_F(MainFrame, HelpCommandsAskTheBookForTheirContextNumbers) {
    RecordingHelp help;
    RecordingShell shell;
    for (int id :
         std::initializer_list<int>{ID_HELP_TUTORIAL, ID_WORK_WITH, ID_HELP_FAQ, ID_HELP_SEARCH,
                                    ID_HELP_FINDER, ID_DEFAULT_HELP, ID_HELP})
        frame()->SendCommand(id);
    EXPECT_EQ(help.asked,
              (QStringList{"98329", "98319", "98326", "search", "contents", "contents", "131200"}));
    frame()->SendCommand(ID_HELP_ORDERING);
    EXPECT_EQ(shell.opened, QStringList{QString::fromLatin1(kOrderPageUrl)});

    // Shift+F1, then a command: its help instead of the command.
    help.asked.clear();
    frame()->SendCommand(ID_CONTEXT_HELP);
    EXPECT_TRUE(frame()->InHelpMode());
    frame()->SendCommand(ID_VIEW_SAMPLE);
    EXPECT_FALSE(frame()->InHelpMode());
    EXPECT_EQ(help.asked, QStringList{QString::number(kHelpCommandBase + ID_VIEW_SAMPLE)});
    EXPECT_TRUE(shell.opened.size() == 1) << "the command itself did not run";

    // F1 on a highlighted menu item.
    help.asked.clear();
    QMenu* file = frame()->menuBar()->actions().first()->menu();
    file->popup(QPoint(0, 0));
    file->setActiveAction(frame()->FindCommandAction(ID_FILE_SAVE_AS));
    QTest::keyClick(file, Qt::Key_F1);
    EXPECT_EQ(help.asked, QStringList{QString::number(kHelpCommandBase + ID_FILE_SAVE_AS)});
    EXPECT_FALSE(file->isVisible());
}

namespace {
// Runs the application on the fixture's folders, with a placement stored first.
struct PlacedApp {
    explicit PlacedApp(const QString& folder) : app(folder) { started = app.InitInstance(); }
    ~PlacedApp() { app.ExitInstance(); }
    CFrameWnd* frame() const { return app.m_pMainWnd; }
    CVellwickToolApp app;
    bool started;
};
} // namespace

TEST_F(MainFrame, PlacementRoundTripAndItsRules) {
    app.m_pMainWnd->close(); // the fixture's own window stores its placement too
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();

    storePlacement(-2, 10, 20, 310, 420); // no Status: incomplete, the default place
    {
        PlacedApp placed(appFolder.path());
        ASSERT_TRUE(placed.started);
        EXPECT_FALSE(placed.frame()->testAttribute(Qt::WA_Moved));
    }

    storePlacement(SW_SHOWNORMAL, 40, 30, 340, 530);
    {
        PlacedApp placed(appFolder.path());
        EXPECT_EQ(placed.frame()->pos(), QPoint(30, 40) + work.topLeft());
        EXPECT_EQ(placed.frame()->size(), QSize(500, 300));
        placed.frame()->move(work.topLeft() + QPoint(60, 70));
        placed.frame()->close();
    }
    EXPECT_EQ(storedValue("Status"), SW_SHOWNORMAL);
    EXPECT_EQ(storedValue("Left"), 60);
    EXPECT_EQ(storedValue("Top"), 70);
    EXPECT_EQ(storedValue("Right") - storedValue("Left"), 500);
    EXPECT_EQ(storedValue("Bottom") - storedValue("Top"), 300);

    // Beyond the right and bottom edges: pulled back to an icon inside; the
    // left and top are never clamped.
    storePlacement(SW_SHOWNORMAL, 5000, 4000, 5300, 4500);
    {
        PlacedApp placed(appFolder.path());
        EXPECT_EQ(placed.frame()->pos(), QPoint(screen.width() - 32, screen.height() - 32));
    }
    storePlacement(SW_SHOWNORMAL, -150, -300, 150, 200);
    {
        PlacedApp placed(appFolder.path());
        EXPECT_EQ(placed.frame()->pos(), QPoint(-300, -150) + work.topLeft());
    }

    // Closed minimised, opened minimised.
    storePlacement(SW_SHOWNORMAL, 40, 30, 340, 530);
    {
        PlacedApp placed(appFolder.path());
        placed.frame()->showMinimized();
        placed.frame()->close();
    }
    EXPECT_EQ(storedValue("Status"), SW_SHOWMINIMIZED);
    {
        PlacedApp placed(appFolder.path());
        EXPECT_TRUE(placed.frame()->isMinimized());
    }
}
