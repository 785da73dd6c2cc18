#include "platform/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

constexpr qint64 kCopyChunk = 1 << 20;

bool fail(QString* error, const QString& why) {
    if (error) *error = why;
    return false;
}

// Unbuffered: a buffered QSaveFile meets a full disk only in commit()'s final
// flush, and Qt then still renames the short file over the target.
bool openBeside(QSaveFile& file, QString* error) {
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return true;
    return fail(error, "Cannot write " + file.fileName() + ": " + file.errorString());
}

bool writeAll(QSaveFile& file, const char* data, qint64 size, QString* error) {
    while (size > 0) {
        const qint64 written = file.write(data, size);
        if (written <= 0) {
            const QString why = file.errorString();
            file.cancelWriting();
            return fail(error, "Cannot write " + file.fileName() + ": " + why);
        }
        data += written;
        size -= written;
    }
    return true;
}

bool commit(QSaveFile& file, QString* error) {
    if (file.commit()) return true;
    return fail(error, "Cannot write " + file.fileName() + ": " + file.errorString());
}

} // namespace

bool WriteFileSafely(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    return openBeside(file, error) && writeAll(file, bytes.constData(), bytes.size(), error) &&
           commit(file, error);
}

bool CopyFileSafely(const QString& source, const QString& target, QString* error) {
    // A folder, a device or a pipe is no file to copy: reading one could
    // block for ever or copy what was never meant.
    const QFileInfo from(source);
    if (!from.exists()) return fail(error, "Cannot read " + source + ": no such file");
    if (!from.isFile()) return fail(error, "Cannot read " + source + ": it is not a regular file");
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(error, "Cannot read " + source + ": " + in.errorString());
    QSaveFile out(target);
    if (!openBeside(out, error)) return false;
    QByteArray chunk;
    for (;;) {
        chunk = in.read(kCopyChunk);
        if (in.error() != QFileDevice::NoError) {
            out.cancelWriting();
            return fail(error, "Cannot read " + source + ": " + in.errorString());
        }
        if (chunk.isEmpty()) break;
        if (!writeAll(out, chunk.constData(), chunk.size(), error)) return false;
    }
    return commit(out, error);
}

QString WhyNotWritable(const QString& path) {
    const QFileInfo file(path);
    const QString folder = file.absolutePath();
    if (!QFileInfo(folder).isDir()) return "The folder " + folder + " does not exist.";
    if (file.isDir()) return path + " is a folder.";
    // The same test the kernel makes: modes, a read-only mount, root.
    const QByteArray probe = QFile::encodeName(file.exists() ? path : folder);
    if (::access(probe.constData(), W_OK) != 0)
        return QString::fromLocal8Bit(std::strerror(errno)) + ": " +
               (file.exists() ? path : folder);
    struct statvfs space {};
    if (::statvfs(QFile::encodeName(folder).constData(), &space) == 0 && space.f_bavail == 0)
        return QString::fromLocal8Bit(std::strerror(ENOSPC)) + ": " + folder;
    return {};
}

bool RemoveFile(const QString& path, QString* error) {
    QFile file(path);
    if (file.remove()) return true;
    return fail(error, file.errorString());
}

} // namespace platform
