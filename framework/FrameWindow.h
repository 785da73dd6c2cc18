#pragma once

#include "framework/CommandTarget.h"
#include "framework/MenuResource.h"

#include <QHash>
#include <QMainWindow>
#include <QVector>

class QAction;
class QMenu;

namespace framework {

class CDocument;
class CView;

// The main window of the single-document host. Commands from menus, tool
// bars and buttons are routed view, document, frame, application, and the
// first handler runs; anything a handler throws is reported, not crashed on.
// Enabling handlers set each command's state before its menu opens and
// after every command.
class CFrameWnd : public QMainWindow, public CCommandTarget {
    Q_OBJECT
public:
    CFrameWnd();
    ~CFrameWnd() override;

    void AttachView(CView* view, CDocument* document);
    CView* GetActiveView() const { return m_pView; }
    CDocument* GetActiveDocument() const;

    // Builds the menu bar; the item with ID_FILE_MRU_FILE1 stands for the recent files.
    void LoadMenu(const QVector<MenuResource>& menus);
    QAction* CommandAction(int id) const { return m_actions.value(id); }

    // A command sent to the window, as a button or another object does.
    void SendCommand(int id);
    bool IsCommandEnabled(int id) const;
    void UpdateCommandUI();
    virtual void InitialUpdateFrame();

protected:
    // Whether the window may close; asks to save a modified document.
    virtual bool OnClose();
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* actionFor(const MenuItem& item);
    void fillRecentFiles(QMenu* menu, QAction* placeholder);
    void updateFrameTitle();
    QVector<CCommandTarget*> routingOrder() const;

    CView* m_pView = nullptr;
    QHash<int, QAction*> m_actions;
    QVector<QAction*> m_recentActions;
};

} // namespace framework
