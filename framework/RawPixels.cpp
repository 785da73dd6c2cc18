#include "framework/RawPixels.h"

#include <cstring>

namespace framework {

namespace {
constexpr char kMagic[4] = {'V', 'G', 'P', 'X'};
struct Header {
    char magic[4];
    quint32 width;
    quint32 height;
};
constexpr quint32 kLargestSide = 1 << 14;
} // namespace

QString RawPixelsName(const QString& baseName, int ratio) {
    return baseName + (ratio == 1 ? QStringLiteral(".px") : QStringLiteral("@%1x.px").arg(ratio));
}

QByteArray EncodeRawPixels(const QImage& image) {
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    Header header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.width = quint32(pixels.width());
    header.height = quint32(pixels.height());
    QByteArray data(reinterpret_cast<const char*>(&header), sizeof header);
    // 32-bit lines carry no padding, so the pixels are one block.
    data.append(reinterpret_cast<const char*>(pixels.constBits()), pixels.sizeInBytes());
    return data;
}

QImage DecodeRawPixels(const uchar* data, qint64 size) {
    Header header{};
    if (!data || size < qint64(sizeof header)) return {};
    std::memcpy(&header, data, sizeof header);
    if (std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || header.width == 0 ||
        header.height == 0 || header.width > kLargestSide || header.height > kLargestSide ||
        size != qint64(sizeof header) + qint64(header.width) * header.height * 4)
        return {};
    // Copied rather than wrapped: resource data need not be aligned for pixels.
    QImage image(int(header.width), int(header.height), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return {};
    std::memcpy(image.bits(), data + sizeof header, std::size_t(image.sizeInBytes()));
    return image;
}

} // namespace framework
