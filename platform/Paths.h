#pragma once
#include <QString>

namespace platform {

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
