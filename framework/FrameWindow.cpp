#include "framework/FrameWindow.h"

#include "framework/Application.h"
#include "framework/Document.h"
#include "framework/ErrorReport.h"
#include "framework/FormView.h"
#include "framework/Prompts.h"
#include "framework/StringTable.h"
#include "framework/View.h"
#include "platform/Help.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

namespace framework {

namespace {
void sayIfHelpFailed(bool shown) {
    if (shown) return;
    AfxMessageBox(
        "Cannot open the help book " + platform::Help::instance().Folder(),
        QStringLiteral("No program of this desktop opened it (is a web browser set up?)."));
}
} // namespace

CFrameWnd::CFrameWnd() {
    OnCommand(ID_HELP_FINDER, [] { sayIfHelpFailed(platform::Help::instance().ShowContents()); });
    OnCommand(ID_DEFAULT_HELP, [] { sayIfHelpFailed(platform::Help::instance().ShowContents()); });
    OnCommand(ID_HELP, [this] { OnHelp(); });
    OnCommand(ID_CONTEXT_HELP, [this] { OnContextHelp(); });
}

CFrameWnd::~CFrameWnd() {
    if (m_bHelpMode) leaveHelpMode();
}

void CFrameWnd::AttachView(CView* view, CDocument* document) {
    m_pView = view;
    view->m_pDocument = document;
    setCentralWidget(view);
    connect(document, &CDocument::titleChanged, this, &CFrameWnd::updateFrameTitle);
    connect(document, &CDocument::modifiedChanged, this, &CFrameWnd::UpdateCommandUI);
}

CDocument* CFrameWnd::GetActiveDocument() const {
    return m_pView ? m_pView->GetDocument() : nullptr;
}

QVector<CCommandTarget*> CFrameWnd::routingOrder() const {
    QVector<CCommandTarget*> targets;
    if (m_pView) targets << m_pView;
    if (CDocument* document = GetActiveDocument()) targets << document;
    targets << const_cast<CFrameWnd*>(this);
    if (CWinApp* app = AfxGetApp()) targets << app;
    return targets;
}

void CFrameWnd::SendCommand(int id) {
    if (m_bHelpMode && id != ID_CONTEXT_HELP) {
        // In help mode a command is not run: its help is shown.
        leaveHelpMode();
        WinHelp(kHelpCommandBase + id);
        return;
    }
    RunReportingErrors([&] {
        for (CCommandTarget* target : routingOrder())
            if (target->OnCmdMsg(id)) return;
    });
    UpdateCommandUI();
}

CCmdUI CFrameWnd::commandState(int id) const {
    for (CCommandTarget* target : routingOrder()) {
        CCmdUI ui;
        bool handled = false;
        // Runs while a menu is drawn: a failing server call disables the
        // command; the user hears of the error when running a command.
        if (!RunSilently([&] { handled = target->OnUpdateCmdUI(id, ui); })) break;
        if (handled) return ui;
    }
    // A command no target handles (or can answer for) is disabled.
    CCmdUI off;
    off.Enable(false);
    return off;
}

bool CFrameWnd::IsCommandEnabled(int id) const {
    return commandState(id).IsEnabled();
}

void CFrameWnd::UpdateCommandUI() {
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it)
        it.value()->setEnabled(IsCommandEnabled(it.key()));
    if (auto* form = qobject_cast<CFormView*>(m_pView))
        form->UpdateDialogControls([this](int id) { return IsCommandEnabled(id); });
}

void CFrameWnd::InitialUpdateFrame() {
    if (m_pView) m_pView->OnInitialUpdate();
    updateFrameTitle();
    UpdateCommandUI();
}

QAction* CFrameWnd::CommandAction(int id) {
    if (QAction* existing = m_actions.value(id)) return existing;
    auto* action = new QAction(this);
    action->setData(id);
    action->setStatusTip(StringField(LoadString(id), 0));
    connect(action, &QAction::triggered, this, [this, id] { SendCommand(id); });
    // Added to the window so that its keys work whether or not a menu shows it.
    addAction(action);
    m_actions.insert(id, action);
    return action;
}

void CFrameWnd::LoadMenu(const QVector<MenuResource>& menus) {
    for (const MenuResource& resource : menus) {
        QMenu* menu = menuBar()->addMenu(resource.title);
        menu->installEventFilter(this);
        for (const MenuItem& item : resource.items) {
            if (item.id == 0) {
                menu->addSeparator();
            } else if (item.id == ID_FILE_MRU_FILE1) {
                QAction* placeholder = menu->addAction(item.text);
                placeholder->setEnabled(false);
                connect(menu, &QMenu::aboutToShow, this,
                        [this, menu, placeholder] { fillRecentFiles(menu, placeholder); });
            } else {
                QAction* action = CommandAction(item.id);
                action->setText(item.text);
                if (!item.shortcut.isEmpty()) action->setShortcut(item.shortcut);
                menu->addAction(action);
            }
        }
        connect(menu, &QMenu::aboutToShow, this, &CFrameWnd::UpdateCommandUI);
    }
}

void CFrameWnd::LoadAccelTable(const QVector<Accelerator>& accelerators) {
    for (const Accelerator& accelerator : accelerators) {
        QAction* action = CommandAction(accelerator.id);
        QList<QKeySequence> keys = action->shortcuts();
        if (!keys.contains(accelerator.key)) keys << accelerator.key;
        action->setShortcuts(keys);
    }
}

void CFrameWnd::fillRecentFiles(QMenu* menu, QAction* placeholder) {
    qDeleteAll(m_recentActions);
    m_recentActions.clear();
    const QStringList files = AfxGetApp() ? AfxGetApp()->RecentFiles() : QStringList();
    placeholder->setVisible(files.isEmpty());
    for (int i = 0; i < files.size(); ++i) {
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(files[i]), menu);
        action->setStatusTip(StringField(LoadString(ID_FILE_MRU_FILE1), 0));
        const int id = ID_FILE_MRU_FILE1 + i;
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, id] { SendCommand(id); });
        menu->insertAction(placeholder, action);
        m_recentActions.append(action);
    }
}

void CFrameWnd::updateFrameTitle() {
    const CDocument* document = GetActiveDocument();
    const QString app = AfxGetApp() ? AfxGetApp()->DisplayName() : QString();
    setWindowTitle(document && !document->GetTitle().isEmpty() ? document->GetTitle() + " - " + app
                                                               : app);
}

void CFrameWnd::ShowWindow(int nCmdShow) {
    switch (nCmdShow) {
    case SW_SHOWMINIMIZED:
        showMinimized();
        break;
    case SW_SHOWMAXIMIZED:
        showMaximized();
        break;
    default:
        show();
        break;
    }
}

void CFrameWnd::ShrinkToFitView(QSize viewSize) {
    // A window nobody sized takes its size hint when shown, which fits the view.
    if (!centralWidget() || !testAttribute(Qt::WA_Resized)) return;
    if (layout()) layout()->activate();
    // What the window needs around its view: menu, tool bars, status bar, frame.
    const QSize around = size() - centralWidget()->size();
    const QSize fitting = viewSize + around;
    resize(std::min(width(), fitting.width()), std::min(height(), fitting.height()));
}

void CFrameWnd::WinHelp(int context) {
    sayIfHelpFailed(platform::Help::instance().ShowContext(context));
}

void CFrameWnd::WinHelpKeywordSearch() {
    sayIfHelpFailed(platform::Help::instance().ShowKeywordSearch());
}

void CFrameWnd::OnHelp() {
    WinHelp(kHelpResourceBase + m_nIDHelp);
}

void CFrameWnd::OnContextHelp() {
    if (m_bHelpMode) return;
    m_bHelpMode = true;
    QApplication::setOverrideCursor(Qt::WhatsThisCursor);
    qApp->installEventFilter(this);
}

void CFrameWnd::leaveHelpMode() {
    m_bHelpMode = false;
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
}

bool CFrameWnd::eventFilter(QObject* watched, QEvent* event) {
    const auto* key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event) : nullptr;
    // F1 on a highlighted menu item asks for that command's help.
    if (auto* menu = qobject_cast<QMenu*>(watched); menu && key && key->key() == Qt::Key_F1) {
        const QAction* item = menu->activeAction();
        const int id = item ? item->data().toInt() : 0;
        menu->close();
        WinHelp(id ? kHelpCommandBase + id : kHelpResourceBase + m_nIDHelp);
        return true;
    }
    if (m_bHelpMode) {
        if (key && key->key() == Qt::Key_Escape) {
            leaveHelpMode();
            return true;
        }
        // A click that runs no command asks for the window's help; one that
        // does is answered in SendCommand, which ends the mode first.
        if (event->type() == QEvent::MouseButtonRelease && !qobject_cast<QMenu*>(watched) &&
            !qobject_cast<QMenuBar*>(watched))
            QTimer::singleShot(0, this, [this] {
                if (!m_bHelpMode) return;
                leaveHelpMode();
                OnHelp();
            });
    }
    return QMainWindow::eventFilter(watched, event);
}

bool CFrameWnd::OnClose() {
    CDocument* document = GetActiveDocument();
    return !document || document->SaveModified();
}

void CFrameWnd::closeEvent(QCloseEvent* event) {
    bool close = false;
    RunReportingErrors([&] { close = OnClose(); });
    if (close)
        event->accept();
    else
        event->ignore();
}

} // namespace framework
