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

} // namespace framework
