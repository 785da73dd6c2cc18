#pragma once

#include <QByteArray>
#include <QString>

// Writes a user's file so that a failure never costs the file already there:
// the bytes go to a temporary file beside the target, which is renamed over
// it only when every byte has been written. On failure the temporary file is
// gone and `error` names the file and the reason.
namespace SafeFile {

bool write(const QString& path, const QByteArray& bytes, QString* error = nullptr);
// The same for a copy of `source`, read in chunks, so size is no concern.
bool copy(const QString& source, const QString& target, QString* error = nullptr);

} // namespace SafeFile
