#include "templates/NewWidgetDlg.h"
#include "output/VellwickToolView.h"
