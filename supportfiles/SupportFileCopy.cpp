#include "supportfiles/SupportFileCopy.h"

#include "platform/Paths.h"
#include "platform/SafeFile.h"
#include "widget/TavoletDispatch.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

// Where a support file goes in `folder`: at its web path when that is a
// plain relative path staying inside the folder, so that a page in the
// folder finds it where its code looks; else under its own name. Empty when
// neither stays inside (names and paths come from widget files users exchange).
QString supportFileTarget(const QString& folder, const QString& name, QString webPath) {
    webPath.replace(QLatin1Char('\\'), QLatin1Char('/'));
    static const QRegularExpression notAPlainPath(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:|[?#]"));
    if (!notAPlainPath.match(webPath).hasMatch() && platform::StaysInsideFolder(webPath) &&
        !webPath.endsWith(QLatin1Char('/')))
        return folder + "/" + webPath;
    if (platform::IsPlainFileName(name)) return folder + "/" + name;
    return {};
}

} // namespace

QList<SupportFileRow> ListSupportFiles(TavoletDispatch& widget) {
    QList<SupportFileRow> rows;
    for (int i = 0; i < widget.SupportFileCount(); ++i) {
        SupportFileRow row{widget.SupportFileName(i), widget.SupportFileSource(i),
                           widget.SupportFileWebPath(i)};
        // Only the first row of a name is compared, as a list view finds it.
        const auto same = std::find_if(rows.cbegin(), rows.cend(), [&](const SupportFileRow& r) {
            return r.strName.compare(row.strName, Qt::CaseInsensitive) == 0;
        });
        if (same != rows.cend() && same->strSource == row.strSource &&
            same->strWebPath == row.strWebPath)
            continue;
        rows << std::move(row);
    }
    return rows;
}

QStringList CopySupportFiles(const QList<SupportFileRow>& rows, const QString& folder,
                             QStringList* copied) {
    QStringList failed;
    for (const SupportFileRow& row : rows) {
        const QString& name = row.strName;
        const QString target = supportFileTarget(folder, name, row.strWebPath);
        if (target.isEmpty()) {
            failed << name + " (it would be placed outside the folder)";
            continue;
        }
        // The name is joined to the source folder too: it must not lead out of that.
        if (!platform::IsPlainFileName(name)) {
            failed << name + " (its name leads outside its source folder)";
            continue;
        }
        // A link named like a picture could publish any file it leads to.
        if (QFileInfo(row.strSource + name).isSymLink()) {
            failed << name + " (it is a symbolic link; only regular files are copied)";
            continue;
        }
        QString error;
        if (!QDir().mkpath(QFileInfo(target).absolutePath()))
            error = "cannot make the folder " + QFileInfo(target).absolutePath();
        else
            platform::CopyFileSafely(row.strSource + name, target, &error);
        if (!error.isEmpty())
            failed << name + " (" + error + ")";
        else if (copied)
            *copied << target;
    }
    return failed;
}

QString CopySupportFilesReport(const QString& folder, const QStringList& failed) {
    // A copy that failed is no success, whatever the others did.
    if (!failed.isEmpty())
        return "Copy support files to " + folder +
               " failure! Not copied: " + failed.join(QStringLiteral(", "));
    return "Copy support files to " + folder + " success!";
}
