// Renders every picture of a resource list (.qrc of SVG files) at one and
// two device pixels per pixel into raw pixel files beside a new resource
// list, so that the program neither lays out SVG text nor inflates PNG at
// start-up: it only copies the pixels.
// Usage: rasterize_bitmaps IMAGES.qrc OUTPUT_FOLDER
#include "framework/RawPixels.h"
#include "platform/SafeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: rasterize_bitmaps IMAGES.qrc OUTPUT_FOLDER\n");
        return 2;
    }
    QFile list(QString::fromLocal8Bit(argv[1]));
    if (!list.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QDir source = QFileInfo(list).absoluteDir();
    const QDir output(QString::fromLocal8Bit(argv[2]));
    QDir().mkpath(output.path());

    static const QRegularExpression entry(
        QStringLiteral(R"(<file alias="([^"]+)\.svg">([^<]+)</file>)"));
    QByteArray qrc = "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/bitmaps\">\n";
    for (const auto& match : entry.globalMatch(QString::fromUtf8(list.readAll()))) {
        QSvgRenderer renderer(source.filePath(match.captured(2)));
        if (!renderer.isValid()) {
            std::fprintf(stderr, "cannot render %s\n", qPrintable(match.captured(2)));
            return 1;
        }
        for (const int ratio : {1, 2}) {
            QImage image(renderer.defaultSize() * ratio, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            renderer.render(&painter);
            painter.end();
            const QString name = framework::RawPixelsName(match.captured(1), ratio);
            if (!platform::WriteFileSafely(output.filePath(name),
                                           framework::EncodeRawPixels(image))) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(output.filePath(name)));
                return 1;
            }
            qrc += "    <file>" + name.toUtf8() + "</file>\n";
        }
    }
    qrc += "  </qresource>\n</RCC>\n";
    if (!platform::WriteFileSafely(output.filePath(QStringLiteral("bitmaps.qrc")), qrc)) {
        std::fprintf(stderr, "cannot write bitmaps.qrc\n");
        return 1;
    }
    return 0;
}
