#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The one way the system writes or copies a file of the user's: the new
// bytes go to a temporary file beside the target, every byte is checked to
// have reached it, and only then is it renamed over the target. On any
// failure (no space left, a read-only folder, an unreadable source, a
// failed rename) the target is left exactly as it was, no temporary file
// stays behind, and `error` says what went wrong.
bool WriteFileSafely(const QString& path, const QByteArray& bytes, QString* error = nullptr);
bool CopyFileSafely(const QString& source, const QString& target, QString* error = nullptr);
// Why another party (a widget server) could not write `path`, as far as
// the file system tells: a missing folder, a folder in the way, no
// permission, a read-only mount, no space left. Empty when nothing shows.
QString WhyNotWritable(const QString& path);
// Removes a file of the user's; false, with the reason, when it is still there.
bool RemoveFile(const QString& path, QString* error = nullptr);

} // namespace platform
