#include "framework/FrameWindow.h"

#include "framework/Application.h"
#include "framework/Document.h"
#include "framework/ErrorReport.h"
#include "framework/StringTable.h"
#include "framework/View.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QMenuBar>

namespace framework {

CFrameWnd::CFrameWnd() = default;
CFrameWnd::~CFrameWnd() = default;

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
    RunReportingErrors([&] {
        for (CCommandTarget* target : routingOrder())
            if (target->OnCmdMsg(id)) return;
    });
    UpdateCommandUI();
}

bool CFrameWnd::IsCommandEnabled(int id) const {
    // A command no target handles is disabled.
    for (CCommandTarget* target : routingOrder()) {
        CCmdUI ui;
        bool handled = false;
        // Runs while a menu is drawn: a failing server call disables the
        // command; the user hears of the error when running a command.
        if (!RunSilently([&] { handled = target->OnUpdateCmdUI(id, ui); })) return false;
        if (handled) return ui.IsEnabled();
    }
    return false;
}

void CFrameWnd::UpdateCommandUI() {
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it)
        it.value()->setEnabled(IsCommandEnabled(it.key()));
}

void CFrameWnd::InitialUpdateFrame() {
    if (m_pView) m_pView->OnInitialUpdate();
    updateFrameTitle();
    UpdateCommandUI();
}

QAction* CFrameWnd::actionFor(const MenuItem& item) {
    if (QAction* existing = m_actions.value(item.id)) return existing;
    auto* action = new QAction(item.text, this);
    action->setShortcut(item.shortcut);
    action->setStatusTip(StringField(LoadString(item.id), 0));
    const int id = item.id;
    connect(action, &QAction::triggered, this, [this, id] { SendCommand(id); });
    m_actions.insert(id, action);
    return action;
}

void CFrameWnd::LoadMenu(const QVector<MenuResource>& menus) {
    for (const MenuResource& resource : menus) {
        QMenu* menu = menuBar()->addMenu(resource.title);
        for (const MenuItem& item : resource.items) {
            if (item.id == 0) {
                menu->addSeparator();
            } else if (item.id == ID_FILE_MRU_FILE1) {
                QAction* placeholder = menu->addAction(item.text);
                placeholder->setEnabled(false);
                connect(menu, &QMenu::aboutToShow, this,
                        [this, menu, placeholder] { fillRecentFiles(menu, placeholder); });
            } else {
                menu->addAction(actionFor(item));
            }
        }
        connect(menu, &QMenu::aboutToShow, this, &CFrameWnd::UpdateCommandUI);
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
