#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace framework {

// Pictures are stored pre-rendered as raw premultiplied ARGB pixels behind a
// small header, written at build time and read at start-up without decoding.
QString RawPixelsName(const QString& baseName, int ratio);
QByteArray EncodeRawPixels(const QImage& image);
// A null image for data that is not a whole picture.
QImage DecodeRawPixels(const uchar* data, qint64 size);

} // namespace framework
