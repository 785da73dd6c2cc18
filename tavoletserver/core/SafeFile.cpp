#include "SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <functional>

namespace SafeFile {

namespace {

QString cannot(const char* what, const QString& path, const QString& reason) {
    return QStringLiteral("cannot %1 %2: %3")
        .arg(QLatin1String(what), QDir::toNativeSeparators(path), reason);
}

bool writeAll(QSaveFile& file, const char* data, qint64 size, QString& why) {
    const qint64 written = file.write(data, size);
    if (written == size) return true;
    // A short write sets no error of its own.
    why = cannot("write", file.fileName(),
                 written < 0 ? file.errorString()
                             : QStringLiteral("only part of the data was written"));
    return false;
}

// Qt's buffered QSaveFile meets a full disk only when commit() flushes, and
// then still renames the short file over the original; unbuffered, the
// failing write itself reports it. Leaving without commit() discards the
// temporary file.
bool replace(const QString& path, const std::function<bool(QSaveFile&, QString&)>& fill,
             QString* error) {
    QSaveFile file(path);
    QString why;
    const bool written =
        file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && fill(file, why) && file.commit();
    if (!written && why.isEmpty()) why = cannot("write", path, file.errorString());
    if (why.isEmpty()) return true;
    if (error) *error = why;
    return false;
}

// What open(2) gives a new file: 0666 less the umask. The umask can only be
// read by changing it, which would touch files other threads make meanwhile,
// so the kernel's report is asked first.
mode_t newFileMode() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok) return 0666 & ~mask;
            }
    // Briefly the strictest mask, so nothing made meanwhile is widened.
    const mode_t mask = ::umask(0777);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

bool write(const QString& path, const QByteArray& bytes, QString* error) {
    return replace(
        path,
        [&](QSaveFile& file, QString& why) {
            return writeAll(file, bytes.constData(), bytes.size(), why);
        },
        error);
}

bool copy(const QString& source, const QString& target, QString* error) {
    QFile in(source);
    // A device or pipe named like a picture would never end or never answer.
    QString refusal;
    if (!QFileInfo(source).isFile())
        refusal = cannot("copy", source, QStringLiteral("not a file"));
    else if (!in.open(QIODevice::ReadOnly))
        refusal = cannot("read", source, in.errorString());
    struct stat info {};
    if (refusal.isEmpty() && ::fstat(in.handle(), &info) != 0)
        refusal = cannot("read", source, QString::fromLocal8Bit(std::strerror(errno)));
    if (!refusal.isEmpty()) {
        if (error) *error = refusal;
        return false;
    }
    // Never readable by more people than the source: a private file copied
    // into a web site must not become world-readable there. QSaveFile would
    // give the new file the mode of the one it replaces.
    const mode_t mode = newFileMode() & info.st_mode & 0777;
    return replace(
        target,
        [&](QSaveFile& out, QString& why) {
            if (::fchmod(out.handle(), mode) != 0) {
                why = cannot("write", target, QString::fromLocal8Bit(std::strerror(errno)));
                return false;
            }
            char chunk[64 * 1024];
            for (;;) {
                const qint64 n = in.read(chunk, sizeof chunk);
                if (n == 0) return true;
                if (n < 0) {
                    why = cannot("read", source, in.errorString());
                    return false;
                }
                if (!writeAll(out, chunk, n, why)) return false;
            }
        },
        error);
}

} // namespace SafeFile
