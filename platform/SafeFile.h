#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace platform {

// The one way the system writes or copies a file of the user's: the new
// bytes go to a temporary file beside the target, every byte is checked to
// have reached it, and only then is it renamed over the target. On any
// failure (no space left, a read-only folder, an unreadable source, a
// failed rename) the target is left exactly as it was, no temporary file
// stays behind, and `error` says what went wrong. A file replaced keeps its
// owner, group and mode; a new one gets the mode of a new file (umask).
bool WriteFileSafely(const QString& path, const QByteArray& bytes, QString* error = nullptr);
// A copy never gets more permission than its source.
bool CopyFileSafely(const QString& source, const QString& target, QString* error = nullptr);

// What became of a replacement that may be called off at the last moment.
enum class Replaced { Written, Refused, Failed };
// Asked right before the new file takes the old one's place: why not to
// replace it after all (the file changed meanwhile), or empty to go on.
using LastCheck = std::function<QString()>;
// WriteFileSafely with a last check. Refused, with the reason, when the
// check calls it off or the file's owner and group cannot be kept (a web
// server could no longer read it); Failed when writing failed.
Replaced ReplaceFileSafely(const QString& path, const QByteArray& bytes, const LastCheck& check,
                           QString* error);

// Makes an empty file of a name no file has, in `folder`, beginning with
// `stem` and ending with `suffix`; never follows a link and never takes an
// existing name. Empty, with the reason, when it could not.
QString CreateUniqueFile(const QString& folder, const QString& stem, const QString& suffix,
                         QString* error = nullptr);

// Why another party (a widget server) could not write `path`, as far as
// the file system tells: a missing folder, a folder in the way, no
// permission, a read-only mount, no space left. Empty when nothing shows.
QString WhyNotWritable(const QString& path);
// Removes a file of the user's; false, with the reason, when it is still there.
bool RemoveFile(const QString& path, QString* error = nullptr);

} // namespace platform
