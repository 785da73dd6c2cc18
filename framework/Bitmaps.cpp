#include "framework/Bitmaps.h"

#include "framework/RawPixels.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QResource>
#include <QSvgRenderer>

#include <cmath>

namespace framework {

namespace {
QHash<int, BitmapResource>& table() {
    static QHash<int, BitmapResource> bitmaps;
    return bitmaps;
}
} // namespace

void InstallBitmapTable(QHash<int, BitmapResource> bitmaps) {
    table() = std::move(bitmaps);
}

QPixmap LoadBitmap(int nID) {
    const auto it = table().constFind(nID);
    if (it == table().constEnd()) return {};
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    // Pixels rendered at build time for the common ratios, where there are some.
    if (it->path.endsWith(QLatin1String(".svg")) && (ratio == 1.0 || ratio == 2.0)) {
        const QResource raster(RawPixelsName(it->path.chopped(4), int(ratio)));
        if (raster.isValid() && raster.compressionAlgorithm() == QResource::NoCompression) {
            QPixmap pixmap = QPixmap::fromImage(DecodeRawPixels(raster.data(), raster.size()));
            if (!pixmap.isNull()) {
                pixmap.setDevicePixelRatio(ratio);
                return pixmap;
            }
        }
    }
    QSvgRenderer renderer(it->path);
    if (!renderer.isValid()) return {};
    QPixmap pixmap(
        QSize(int(std::ceil(it->size.width() * ratio)), int(std::ceil(it->size.height() * ratio))));
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

QPixmap LoadBitmap(const QString& strName) {
    for (auto it = table().cbegin(); it != table().cend(); ++it)
        if (QFileInfo(it->path).completeBaseName() == strName) return LoadBitmap(it.key());
    return {};
}

} // namespace framework
