#include "app/MainFrm.h"

#include "browsers/WebBrowserDlg.h"
#include "framework/Application.h"
#include "framework/Bitmaps.h"
#include "framework/ErrorReport.h"
#include "framework/Profile.h"
#include "framework/Prompts.h"
#include "framework/StatusBar.h"
#include "framework/StringTable.h"
#include "framework/ToolBar.h"
#include "output/Preview.h"
#include "output/VellwickToolView.h"
#include "platform/FontConfigWarmUp.h"
#include "res/Menus.h"
#include "res/Resource.h"
#include "templates/ManageTemplatesDlg.h"

#include <QActionGroup>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

using namespace framework;

namespace {

const QString kSection = QStringLiteral("Frame");
// The size of a large icon: at least this much of a restored window stays on the screen.
constexpr int kIconSize = 32;

QScreen* screenOf(const QWidget* window) {
    QScreen* screen = window->screen();
    return screen ? screen : QGuiApplication::primaryScreen();
}

} // namespace

CMainFrame::CMainFrame() {
    m_nIDHelp = IDR_MAINFRAME;
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    PreCreateWindow();
    OnCreate();

    OnCommand(ID_HELP_TUTORIAL, [this] { WinHelp(kHelpCommandBase + ID_HELP_TUTORIAL); });
    OnCommand(ID_WORK_WITH, [this] { WinHelp(kHelpCommandBase + ID_WORK_WITH); });
    OnCommand(ID_HELP_FAQ, [this] { WinHelp(kHelpCommandBase + ID_HELP_FAQ); });
    OnCommand(ID_HELP_SEARCH, [this] { WinHelpKeywordSearch(); });
    OnCommand(ID_OPTION_WEB_BROWSER, [] {
        CWebBrowserDlg dialog;
        dialog.DoModal();
    });
    OnCommand(ID_OPTION_TEMPLATE, [] {
        CManageTemplatesDlg dialog;
        dialog.DoModal();
    });
    OnCommand(ID_HELP_ORDERING, [] { framework::OpenOrSay(QString::fromLatin1(kOrderPageUrl)); });
}

void CMainFrame::PreCreateWindow() {
    const Profile& profile = AfxGetApp()->GetProfile();
    int values[5];
    const char* const names[] = {"Status", "Top", "Left", "Bottom", "Right"};
    for (int i = 0; i < 5; ++i) {
        values[i] = profile.GetProfileInt(kSection, QString::fromLatin1(names[i]), -1);
        if (values[i] == -1) return; // incomplete: the default place and size
    }
    const auto [status, top, left, bottom, right] = values;
    AfxGetApp()->m_nCmdShow = status;
    QScreen* screen = screenOf(this);
    const QRect work = screen->availableGeometry();
    const QSize whole = screen->geometry().size();
    // Only the right and bottom edges pull a window back, and only so far
    // that an icon-sized piece of it stays on the screen.
    const int x = std::min(left + work.left(), whole.width() - kIconSize);
    const int y = std::min(top + work.top(), whole.height() - kIconSize);
    resize(right - left, bottom - top);
    move(x, y);
}

void CMainFrame::OnCreate() {
    LoadMenu(MainMenu());
    LoadAccelTable(MainAccelerators());
    // Filled when it opens: start-up reads no browser list.
    auto* previewWith = new QMenu(this);
    CommandAction(ID_PREVIEW_WITH)->setMenu(previewWith);
    connect(previewWith, &QMenu::aboutToShow, this,
            Guarded([this, previewWith] { fillPreviewBrowsers(previewWith); }));

    m_wndToolBar = new CToolBar(this);
    m_wndToolBar->setObjectName(QStringLiteral("ToolBar"));
    m_bmpToolBar = LoadBitmap(IDB_TOOLBAR);
    m_wndToolBar->SetButtons(MainToolBar(), m_bmpToolBar, QSize(32, 32), 50, 150, 2);
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);

    // The status bar measures the first text of the run.
    platform::WaitForFontConfig();
    m_wndStatusBar = new CStatusBar(this, LoadString(AFX_IDS_IDLEMESSAGE));
    setStatusBar(m_wndStatusBar);
}

void CMainFrame::savePlacement() {
    const QRect work = screenOf(this)->availableGeometry();
    // The normal rectangle, also while minimised or maximised.
    const QPoint decoration = geometry().topLeft() - pos();
    const QRect normal(normalGeometry().topLeft() - decoration, normalGeometry().size());
    const int status = isMinimized()   ? SW_SHOWMINIMIZED
                       : isMaximized() ? SW_SHOWMAXIMIZED
                                       : SW_SHOWNORMAL;
    const int left = normal.left() - work.left(), top = normal.top() - work.top();
    Profile& profile = AfxGetApp()->GetProfile();
    profile.WriteProfileInts(kSection, {{QStringLiteral("Status"), status},
                                        {QStringLiteral("Top"), top},
                                        {QStringLiteral("Left"), left},
                                        {QStringLiteral("Bottom"), top + normal.height()},
                                        {QStringLiteral("Right"), left + normal.width()}});
}

bool CMainFrame::OnClose() {
    savePlacement();
    return CFrameWnd::OnClose();
}

void CMainFrame::fillPreviewBrowsers(QMenu* menu) {
    menu->clear();
    auto* group = menu->findChild<QActionGroup*>();
    if (!group) group = new QActionGroup(menu);
    Profile& profile = AfxGetApp()->GetProfile();
    const PreviewBrowser chosen = RememberedPreviewBrowser(profile);
    const QString prompt = StringField(LoadString(ID_PREVIEW_WITH), 0);
    for (const PreviewBrowser& browser : ListPreviewBrowsers(profile)) {
        QAction* action = menu->addAction(QString(browser.name).replace('&', "&&"));
        action->setCheckable(true);
        action->setChecked(browser == chosen);
        action->setActionGroup(group);
        action->setStatusTip(prompt);
        // F1 on an entry gives the submenu's help.
        action->setData(int(ID_PREVIEW_WITH));
        connect(action, &QAction::triggered, this, [this, browser] {
            // In help mode a click asks for the command's help instead.
            if (InHelpMode()) return SendCommand(ID_PREVIEW_WITH);
            RunReportingErrors([&] {
                if (auto* view = qobject_cast<CVellwickToolView*>(GetActiveView()))
                    view->OnPreviewWith(browser);
            });
            UpdateCommandUI();
        });
        if (browser.IsDefault()) menu->addSeparator();
    }
}
