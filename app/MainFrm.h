#pragma once

#include "framework/FrameWindow.h"

// The application's main window: menu and status bar around the form.
class CMainFrame : public framework::CFrameWnd {
    Q_OBJECT
public:
    CMainFrame();
};
