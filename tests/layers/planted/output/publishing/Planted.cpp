// The publishing engine works without a window.
#include "output/InsertIntoPageDlg.h"
#include "output/publishing/Page.h"
#include "widget/Tavolet.h"

#include <QString>
#include <QWidget>
