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
