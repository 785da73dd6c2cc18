#pragma once
#include "GlimmerSettings.h"

#include <QList>
#include <QString>

// A file the widget's code refers to and that must lie beside the page.
struct SupportFile {
    QString name;         // file name, as found in the source folder
    QString sourceFolder; // folder holding the source, ending with "/"
    QString webPath;      // relative path the code uses, "/"-separated
    bool operator==(const SupportFile&) const = default;
};

namespace SupportFiles {

// The icon, hover sound and click sound in that order, each once. They live
// under "glimmerkey/<widget key>/" so that widgets on one page never
// overwrite each other's files.
QList<SupportFile> list(const GlimmerSettings& settings);

// Copies every support file to its web path below `pageFolder`; an older
// copy is replaced only by a whole new one. A path that would lead outside
// `pageFolder`, by its name or through a link already there, is refused, and
// so is a source that is not a regular file reached without a link.
// Returns false, after placing all it could, with the first reason in `error`.
bool place(const GlimmerSettings& settings, const QString& pageFolder, QString* error = nullptr);

} // namespace SupportFiles
