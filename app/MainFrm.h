#pragma once

#include "framework/FrameWindow.h"

#include <QPixmap>

namespace framework {
class CStatusBar;
class CToolBar;
} // namespace framework
class QMenu;

// The application's main window: menu, labelled tool bar and status bar
// around the form. It remembers where it was in the profile section
// "Frame" and handles the Help menu's book and ordering commands.
class CMainFrame : public framework::CFrameWnd {
    Q_OBJECT
public:
    CMainFrame();

    framework::CStatusBar* m_wndStatusBar = nullptr;
    framework::CToolBar* m_wndToolBar = nullptr;
    QPixmap m_bmpToolBar;

protected:
    bool OnClose() override;

private:
    // Before the window is first shown: the stored placement, if complete.
    void PreCreateWindow();
    void OnCreate();
    void savePlacement();
    // Preview With: the browsers as they are when the submenu opens.
    void fillPreviewBrowsers(QMenu* menu);
};
