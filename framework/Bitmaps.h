#pragma once

#include <QHash>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace framework {

struct BitmapResource {
    QString path; // an SVG file or Qt resource, e.g. ":/bitmaps/146.svg"
    QSize size;   // in device-independent pixels
};

// The application's bitmap resources, installed at start-up like the
// string table. LoadBitmap renders the SVG at its size for the screen's
// device pixel ratio, so it is crisp on a high-density screen.
void InstallBitmapTable(QHash<int, BitmapResource> table);
// A null pixmap for an unknown ID or an unreadable picture.
QPixmap LoadBitmap(int nID);
// A bitmap resource by name, the name its picture is installed under
// (":/bitmaps/NAME.svg"), as text that names pictures refers to them.
QPixmap LoadBitmap(const QString& strName);

} // namespace framework
