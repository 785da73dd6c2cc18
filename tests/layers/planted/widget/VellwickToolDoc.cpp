#include "output/VellwickToolView.h"
#include "templates/NewWidgetDlg.h"
