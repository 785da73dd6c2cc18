#pragma once

#include <QString>
#include <QVector>

// A web browser the desktop knows from its desktop entries.
struct DesktopBrowser {
    QString name; // localised for the user's locale where the entry has it
    QString path; // the program, resolved on the search path
};

// The desktop entries (*.desktop in $XDG_DATA_HOME/applications, then each
// $XDG_DATA_DIRS/applications) whose Categories include WebBrowser and that
// a desktop menu would show: not Hidden or NoDisplay, OnlyShowIn and
// NotShowIn applied to $XDG_CURRENT_DESKTOP. Each desktop file id counts
// once, the first found wins; an entry whose program cannot be found is
// skipped.
QVector<DesktopBrowser> FindDesktopBrowsers();
