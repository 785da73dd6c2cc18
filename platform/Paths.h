#pragma once
#include <QString>

namespace platform {

// The text of a path before its last separator; empty when it has none.
QString FolderOfPath(const QString& path);

} // namespace platform
