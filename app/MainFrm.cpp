#include "app/MainFrm.h"

#include "res/Menus.h"

#include <QStatusBar>

CMainFrame::CMainFrame() {
    LoadMenu(MainMenu());
    statusBar();
}
