#include "platform/Paths.h"

#include <QRegularExpression>

namespace platform {

namespace {

bool hasControlCharacter(const QString& text) {
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control) return true;
    return false;
}

} // namespace

namespace {

bool isStray(char16_t c) {
    return c >= 0xDC80 && c <= 0xDCFF;
}

// The length of the valid UTF-8 sequence at `p`, or 0.
qsizetype utf8Sequence(const uchar* p, qsizetype left) {
    const uchar c = p[0];
    const qsizetype length = c < 0x80                 ? 1
                             : c >= 0xC2 && c <= 0xDF ? 2
                             : c >= 0xE0 && c <= 0xEF ? 3
                             : c >= 0xF0 && c <= 0xF4 ? 4
                                                      : 0;
    if (length == 0 || length > left) return 0;
    for (qsizetype i = 1; i < length; ++i)
        if ((p[i] & 0xC0) != 0x80) return 0;
    // Overlong forms, surrogates and code points past U+10FFFF.
    if ((c == 0xE0 && p[1] < 0xA0) || (c == 0xED && p[1] > 0x9F) || (c == 0xF0 && p[1] < 0x90) ||
        (c == 0xF4 && p[1] > 0x8F))
        return 0;
    return length;
}

} // namespace

QString PathFromBytes(QByteArrayView bytes) {
    if (bytes.isValidUtf8()) return QString::fromUtf8(bytes);
    QString path;
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    for (qsizetype i = 0; i < bytes.size();) {
        if (const qsizetype n = utf8Sequence(p + i, bytes.size() - i)) {
            path += QString::fromUtf8(bytes.sliced(i, n));
            i += n;
        } else {
            path += QChar(char16_t(0xDC00 + p[i++]));
        }
    }
    return path;
}

bool HasStrayBytes(const QString& path) {
    for (qsizetype i = 0; i < path.size(); ++i)
        if (isStray(path[i].unicode()) && (i == 0 || !path[i - 1].isHighSurrogate())) return true;
    return false;
}

QByteArray PathBytes(const QString& path) {
    if (!HasStrayBytes(path)) return path.toUtf8();
    QByteArray bytes;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t c = path[i].unicode();
        if (isStray(c) && (i == 0 || !path[i - 1].isHighSurrogate()))
            bytes += char(c - 0xDC00);
        else if (path[i].isHighSurrogate() && i + 1 < path.size())
            bytes += QStringView(path).sliced(i++, 2).toUtf8();
        else
            bytes += QStringView(path).sliced(i, 1).toUtf8();
    }
    return bytes;
}

QString FolderOfPath(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash);
}

bool IsPlainFileName(const QString& name) {
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') &&
           !name.contains(u'\\') && !hasControlCharacter(name);
}

bool StaysInsideFolder(const QString& relativePath) {
    if (relativePath.isEmpty() || hasControlCharacter(relativePath)) return false;
    if (relativePath.startsWith(u'/') || relativePath.startsWith(u'\\')) return false;
    // "C:x" is relative to a drive's current folder, not to ours.
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
    if (drive.match(relativePath).hasMatch()) return false;
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    for (const QString& step : relativePath.split(separators))
        if (step == u"..") return false;
    return true;
}

} // namespace platform
