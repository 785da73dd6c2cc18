#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace platform {

// A file name need not be valid UTF-8, and Qt cannot open one that is not.
// Such a name is held with each stray byte as a lone low surrogate
// (U+DC80 to U+DCFF), so that it shows and goes back to its own bytes; pages
// are found, read and written by these bytes.
QString PathFromBytes(QByteArrayView bytes);
QByteArray PathBytes(const QString& path);
// Whether a path is held with such stray bytes, so that only code that uses
// PathBytes can reach it.
bool HasStrayBytes(const QString& path);

// The text of a path before its last separator; empty when it has none.
QString FolderOfPath(const QString& path);

// Names and paths that come from widget files, which users exchange, must
// never lead a write outside the folder chosen for it.

// A file name and nothing else: not empty, not "." or "..", no separator of
// any platform, no control character.
bool IsPlainFileName(const QString& name);
// A relative path that stays below the folder it is taken from: no leading
// separator, drive or "//host" prefix, and no ".." step, with "/" and "\"
// both counted as separators.
bool StaysInsideFolder(const QString& relativePath);

} // namespace platform
