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
// bars, accelerators and buttons are routed view, document, frame,
// application, and the first handler runs; anything a handler throws is
// reported, not crashed on. Each command has one action, shared by its menu
// item, tool button and keys, so one enabling handler sets them all; the
// handlers run before a menu opens and after every command.
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
    void LoadAccelTable(const QVector<Accelerator>& accelerators);
    // The command's action, made on first use with its prompt from the string table.
    QAction* CommandAction(int id);
    QAction* FindCommandAction(int id) const { return m_actions.value(id); }

    // A command sent to the window, as a button or another object does.
    void SendCommand(int id);
    bool IsCommandEnabled(int id) const;
    void UpdateCommandUI();
    virtual void InitialUpdateFrame();

    void ShowWindow(int nCmdShow);
    // Resizes the window so that its view gets `viewSize`, never growing it.
    void ShrinkToFitView(QSize viewSize);

    // The help book at a context number (HELP_CONTEXT) or its keyword search (HELP_KEY).
    void WinHelp(int context);
    void WinHelpKeywordSearch();
    bool InHelpMode() const { return m_bHelpMode; }

protected:
    // Whether the window may close; asks to save a modified document.
    virtual bool OnClose();
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The resource ID whose help F1 gives when no menu item is highlighted.
    int m_nIDHelp = 0;

private:
    void fillRecentFiles(QMenu* menu, QAction* placeholder);
    void updateFrameTitle();
    QVector<CCommandTarget*> routingOrder() const;
    CCmdUI commandState(int id) const;
    void OnHelp();
    void OnContextHelp();
    void leaveHelpMode();

    CView* m_pView = nullptr;
    QHash<int, QAction*> m_actions;
    QVector<QAction*> m_recentActions;
    bool m_bHelpMode = false;
};

} // namespace framework
