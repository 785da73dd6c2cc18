#include "browsers/DesktopBrowsers.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <QStandardPaths>

namespace {

// The folders applications live in, most important first.
QStringList applicationFolders() {
    QString home = qEnvironmentVariable("XDG_DATA_HOME");
    if (home.isEmpty()) home = QDir::homePath() + QStringLiteral("/.local/share");
    QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dirs.isEmpty()) dirs = QStringLiteral("/usr/local/share:/usr/share");
    QStringList folders{home + QStringLiteral("/applications")};
    for (const QString& dir : dirs.split(u':', Qt::SkipEmptyParts))
        folders << dir + QStringLiteral("/applications");
    return folders;
}

// The keys of the [Desktop Entry] group.
QHash<QString, QString> desktopEntry(const QString& path) {
    QHash<QString, QString> keys;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return keys;
    bool inEntry = false;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(u'[')) {
            inEntry = line == u"[Desktop Entry]";
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inEntry || line.startsWith(u'#') || equals <= 0) continue;
        const QString key = line.left(equals).trimmed();
        if (!keys.contains(key)) keys.insert(key, line.mid(equals + 1).trimmed());
    }
    return keys;
}

QStringList listValue(const QString& value) {
    return value.split(u';', Qt::SkipEmptyParts);
}

// The entry's Name in the user's language where it has one: Name[ll_CC], then Name[ll].
QString localisedName(const QHash<QString, QString>& entry) {
    const QString locale = QLocale().name(); // ll_CC
    for (const QString& tag : {locale, locale.section(u'_', 0, 0)})
        if (const auto it = entry.constFind("Name[" + tag + "]"); it != entry.constEnd())
            return *it;
    return entry.value(QStringLiteral("Name"));
}

// The program an Exec line starts: its first word, quotes taken off.
QString programOf(const QString& exec) {
    const QString text = exec.trimmed();
    if (text.startsWith(u'"')) return text.mid(1, text.indexOf(u'"', 1) - 1);
    return text.section(u' ', 0, 0);
}

bool shownOnThisDesktop(const QHash<QString, QString>& entry) {
    if (entry.value(QStringLiteral("Hidden")) == u"true" ||
        entry.value(QStringLiteral("NoDisplay")) == u"true")
        return false;
    const QStringList desktops =
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts);
    const auto onAny = [&](const QString& key) {
        for (const QString& desktop : listValue(entry.value(key)))
            if (desktops.contains(desktop)) return true;
        return false;
    };
    if (entry.contains(QStringLiteral("OnlyShowIn")) && !onAny(QStringLiteral("OnlyShowIn")))
        return false;
    return !onAny(QStringLiteral("NotShowIn"));
}

} // namespace

QVector<DesktopBrowser> FindDesktopBrowsers() {
    QVector<DesktopBrowser> browsers;
    QSet<QString> seen;
    for (const QString& folder : applicationFolders()) {
        QStringList files;
        QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
        files.sort(); // a stable order within one folder
        for (const QString& file : files) {
            // The desktop file id: the path below the folder, "/" as "-".
            const QString id = QDir(folder).relativeFilePath(file).replace(u'/', u'-');
            if (seen.contains(id)) continue;
            seen.insert(id);
            const QHash<QString, QString> entry = desktopEntry(file);
            if (entry.value(QStringLiteral("Type"), QStringLiteral("Application")) !=
                    u"Application" ||
                !listValue(entry.value(QStringLiteral("Categories"))).contains(u"WebBrowser") ||
                !shownOnThisDesktop(entry))
                continue;
            QString program = entry.value(QStringLiteral("TryExec"));
            if (program.isEmpty()) program = programOf(entry.value(QStringLiteral("Exec")));
            const QString path = QDir::isAbsolutePath(program)
                                     ? (QFileInfo(program).isExecutable() ? program : QString())
                                     : QStandardPaths::findExecutable(program);
            const QString name = localisedName(entry);
            if (path.isEmpty() || name.isEmpty()) continue;
            browsers.append({name, path});
        }
    }
    return browsers;
}
