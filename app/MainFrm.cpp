#include "app/MainFrm.h"

#include "res/Resource.h"

#include <QStatusBar>

CMainFrame::CMainFrame() {
    LoadMenu(MainMenu());
    statusBar();
}
