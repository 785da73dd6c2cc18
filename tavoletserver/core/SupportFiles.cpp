#include "SupportFiles.h"

#include "CodeGenerator.h"
#include "SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace SupportFiles {

namespace {

// `path` as the file system will follow it: its deepest existing part with
// every link resolved, then the part still to be made. Empty when a link on
// the way dangles, since where it would lead cannot be judged.
QString resolved(const QString& path) {
    QFileInfo existing(path);
    QString rest;
    while (!existing.exists()) {
        if (existing.isSymLink()) return {};
        rest = QLatin1Char('/') + existing.fileName() + rest;
        existing.setFile(existing.path());
    }
    return QDir::cleanPath(existing.canonicalFilePath() + rest);
}

bool isInside(const QString& path, const QString& folder) {
    if (folder.isEmpty()) return false;
    return path.startsWith(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
}

// Why `source` may not be published, or empty. A widget folder comes from
// someone else: a link named like a picture could hand over a private file.
// A missing file is left to the copy, which says so.
QString unpublishable(const QString& source) {
    struct stat info {};
    if (::lstat(QFile::encodeName(source).constData(), &info) != 0) return {};
    if (S_ISLNK(info.st_mode)) return QStringLiteral("is a symbolic link");
    if (!S_ISREG(info.st_mode)) return QStringLiteral("is not a regular file");
    // A media folder handed over as a link leads anywhere; links higher up
    // (a home folder on another disk) are the user's own.
    if (QFileInfo(QFileInfo(source).absolutePath()).isSymLink())
        return QStringLiteral("is reached through a symbolic link");
    return {};
}

} // namespace

QList<SupportFile> list(const GlimmerSettings& s) {
    const QString folder =
        QStringLiteral("glimmerkey/") + CodeGenerator::widgetKey(s) + QLatin1Char('/');
    const std::pair<const QString*, const char*> media[] = {
        {&s.iconPath, "icon/"}, {&s.hoverSoundPath, "hover/"}, {&s.clickSoundPath, "click/"}};
    QList<SupportFile> out;
    for (const auto& [path, role] : media) {
        if (path->isEmpty()) continue;
        const QFileInfo info(*path);
        SupportFile file{info.fileName(), info.absolutePath(), folder + info.fileName()};
        if (!file.sourceFolder.endsWith(QLatin1Char('/'))) file.sourceFolder += QLatin1Char('/');
        bool duplicate = false;
        for (const SupportFile& other : out) {
            if (other.webPath != file.webPath) continue;
            if (other.sourceFolder == file.sourceFolder) duplicate = true;
            // Two different files of one name: the later one gets its own folder.
            else
                file.webPath = folder + QLatin1String(role) + file.name;
        }
        if (!duplicate) out << file;
    }
    return out;
}

bool place(const GlimmerSettings& settings, const QString& pageFolder, QString* error) {
    bool ok = true;
    auto fail = [&](const QString& why) {
        if (error && ok) *error = why;
        ok = false;
    };
    const QString page = QDir::cleanPath(QDir(pageFolder).absolutePath());
    const QString realPage = resolved(page);
    for (const SupportFile& file : list(settings)) {
        const QString source = file.sourceFolder + file.name;
        const QString target = QDir::cleanPath(page + QLatin1Char('/') + file.webPath);
        // Widget files come from other people: whatever they name, and
        // whatever links the page folder holds, nothing lands outside it.
        if (!isInside(target, page) || !isInside(resolved(target), realPage)) {
            fail(QStringLiteral("refused to place %1: %2 leads outside the page folder %3")
                     .arg(file.name, target, page));
            continue;
        }
        if (const QString why = unpublishable(source); !why.isEmpty()) {
            fail(QStringLiteral("refused to place %1: %2 %3; only regular files are published")
                     .arg(file.name, source, why));
            continue;
        }
        if (QFileInfo(source).canonicalFilePath() == QFileInfo(target).canonicalFilePath() &&
            QFileInfo::exists(target))
            continue;
        QString why;
        if (!QDir().mkpath(QFileInfo(target).absolutePath()))
            fail(QStringLiteral("cannot make the folder for %1").arg(target));
        else if (!SafeFile::copy(source, target, &why))
            fail(why);
    }
    return ok;
}

} // namespace SupportFiles
