#include "platform/SafeFile.h"

#include <QFile>
#include <QSaveFile>

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

bool RemoveFile(const QString& path, QString* error) {
    QFile file(path);
    if (file.remove()) return true;
    return fail(error, file.errorString());
}

} // namespace platform
