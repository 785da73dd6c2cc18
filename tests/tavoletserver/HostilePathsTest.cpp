// Widget files are exchanged between users: whatever media paths one names
// and whatever links the page folder holds, loading it and placing its
// support files writes nothing outside the page folder.
#include "SupportFiles.h"
#include "WidgetFile.h"
#include "support/Files.h"
#include "support/QtPrinters.h"

#include <QDirIterator>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// Every entry below `root`, links not followed, with what it holds.
QMap<QString, QByteArray> snapshot(const QString& root) {
    QMap<QString, QByteArray> out;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        out[QDir(root).relativeFilePath(path)] = info.isSymLink()
                                                     ? "-> " + info.symLinkTarget().toUtf8()
                                                 : info.isDir() ? QByteArray("folder")
                                                                : readFile(path);
    }
    return out;
}

// The entries outside `inside/` that differ between two snapshots.
QStringList changedOutside(const QMap<QString, QByteArray>& before,
                           const QMap<QString, QByteArray>& after, const QString& inside) {
    QStringList out;
    QStringList keys = before.keys() + after.keys();
    keys.removeDuplicates();
    for (const QString& key : keys)
        if (!key.startsWith(inside + QLatin1Char('/')) && before.value(key) != after.value(key))
            out << key;
    return out;
}

QByteArray widgetFile(const QString& icon, const QString& sound) {
    const QJsonObject button{{"icon", QJsonObject{{"path", icon}}},
                             {"sounds", QJsonObject{{"hover", sound}, {"click", sound}}}};
    return QJsonDocument(
               QJsonObject{{"format", WidgetFile::FormatTag}, {"version", 1}, {"button", button}})
        .toJson();
}

// The permission bits as the file system holds them, links not followed; -1 when missing.
int modeOf(const QString& path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) return -1;
    return static_cast<int>(info.st_mode & 07777);
}

class HostilePaths : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        writeFile(root.filePath(QStringLiteral("x.png")), "X");
        writeFile(root.filePath(QStringLiteral("t.wav")), "T");
        writeFile(root.filePath(QStringLiteral("outside/victim.png")), "VICTIM");
        ASSERT_TRUE(QDir().mkpath(page));
    }

    QTemporaryDir root;
    const QString page = root.filePath(QStringLiteral("site"));
};

} // namespace

TEST_F(HostilePaths, NoMediaPathLeadsAWriteOutsideThePage) {
    const QString nul = QStringLiteral("x") + QChar(0) + QStringLiteral(".png");
    const struct {
        QString icon, sound;
        bool loads;
    } cases[] = {
        {QStringLiteral("../../x.png"), QStringLiteral("../../t.wav"), true},
        {QStringLiteral("/etc/passwd.png"), {}, true},
        {QStringLiteral("//host/share/x.png"), {}, true},
        {QStringLiteral("../../../../../../../../../../x.png"), {}, true},
        {QStringLiteral("a\\..\\..\\b.png"), {}, false},
        {{}, QStringLiteral("..\\..\\t.wav"), false},
        {nul, {}, false},
        {QStringLiteral("x\n.png"), {}, false},
        {{}, QStringLiteral("t\u0085.wav"), false},
        {QStringLiteral(".."), {}, false},
        {QStringLiteral("x.png/.."), {}, false},
        {QStringLiteral("../.png"), {}, false},
    };
    const QString widgetPath = root.filePath(QStringLiteral("share/in/w.tvt"));
    for (const auto& c : cases) {
        SCOPED_TRACE(widgetFile(c.icon, c.sound).toStdString());
        writeFile(widgetPath, widgetFile(c.icon, c.sound));
        const auto before = snapshot(root.path());
        QString error;
        const auto widget = WidgetFile::load(widgetPath, &error);
        EXPECT_EQ(bool(widget), c.loads) << error.toStdString();
        if (widget) SupportFiles::place(widget->settings, page);
        EXPECT_EQ(changedOutside(before, snapshot(root.path()), QStringLiteral("site")),
                  QStringList());
    }

    // A relative path that climbs out of the widget's folder is dropped on load, so it
    // publishes nothing of the user's; an absolute one is the user's own choice and stays.
    writeFile(widgetPath,
              widgetFile(QStringLiteral("../../x.png"), root.filePath(QStringLiteral("t.wav"))));
    const auto widget = WidgetFile::load(widgetPath);
    ASSERT_TRUE(widget);
    EXPECT_TRUE(widget->settings.iconPath.isEmpty());
    ASSERT_TRUE(SupportFiles::place(widget->settings, page));
    const auto placed = SupportFiles::list(widget->settings);
    ASSERT_EQ(placed.size(), 1);
    EXPECT_EQ(readFile(QDir(page).filePath(placed[0].webPath)), QByteArray("T"));
}

TEST_F(HostilePaths, LinksInThePageFolderAreNotFollowedOutside) {
    GlimmerSettings settings;
    settings.iconPath = root.filePath(QStringLiteral("x.png"));
    const QString webPath = SupportFiles::list(settings)[0].webPath;
    const QString keyFolder = QFileInfo(webPath).path();
    const QString outside = root.filePath(QStringLiteral("outside"));
    const struct {
        const char* what;
        QString link, to;
    } links[] = {
        {"folder link", QStringLiteral("glimmerkey"), outside},
        {"file link", webPath, outside + QStringLiteral("/victim.png")},
        {"dangling file link", webPath, outside + QStringLiteral("/new.png")},
        {"dangling folder link", keyFolder, outside + QStringLiteral("/new")},
    };
    for (const auto& l : links) {
        SCOPED_TRACE(l.what);
        ASSERT_TRUE(QDir(page).removeRecursively() &&
                    QDir().mkpath(QFileInfo(QDir(page).filePath(l.link)).path()));
        ASSERT_TRUE(QFile::link(l.to, QDir(page).filePath(l.link)));
        const auto before = snapshot(root.path());
        QString error;
        EXPECT_FALSE(SupportFiles::place(settings, page, &error));
        EXPECT_TRUE(error.contains(QLatin1String("x.png"))) << error.toStdString();
        EXPECT_EQ(changedOutside(before, snapshot(root.path()), QStringLiteral("site")),
                  QStringList());
    }

    // A link that stays inside the page is fine.
    ASSERT_TRUE(QDir(page).removeRecursively() && QDir().mkpath(page + QStringLiteral("/real")));
    ASSERT_TRUE(QFile::link(page + QStringLiteral("/real"), page + QStringLiteral("/glimmerkey")));
    EXPECT_TRUE(SupportFiles::place(settings, page));
    EXPECT_EQ(readFile(page + QStringLiteral("/real/") + webPath.mid(webPath.indexOf('/') + 1)),
              QByteArray("X"));
}

TEST_F(HostilePaths, OnlyRegularFilesReachedWithoutALinkArePublished) {
    // Modes are judged against a known umask, restored however the test ends.
    struct UmaskGuard {
        mode_t old = ::umask(022);
        ~UmaskGuard() { ::umask(old); }
    } const umaskGuard;
    const QString secret = root.filePath(QStringLiteral("private/shadow"));
    writeFile(secret, "SECRET");
    ASSERT_TRUE(
        QFile::setPermissions(secret, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const QString media = root.filePath(QStringLiteral("widget"));
    const auto regular = [&](const char* name, QFile::Permissions permissions) {
        writeFile(media + '/' + name, name);
        EXPECT_TRUE(QFile::setPermissions(media + '/' + name, permissions));
        return media + '/' + name;
    };
    const QFile::Permissions rw = QFile::ReadOwner | QFile::WriteOwner;
    const QString r640 = regular("r640.png", rw | QFile::ReadGroup);
    const QString r644 = regular("r644.png", rw | QFile::ReadGroup | QFile::ReadOther);
    const QString r600 = regular("r600.png", rw);
    const QString sound = regular("ok.wav", rw | QFile::ReadGroup | QFile::ReadOther);
    regular("real/inner.png", rw | QFile::ReadGroup | QFile::ReadOther);
    ASSERT_TRUE(QFile::link(secret, media + QStringLiteral("/shadow.png")));
    ASSERT_TRUE(QFile::link(root.filePath(QStringLiteral("private")),
                            media + QStringLiteral("/folder-link.png")));
    ASSERT_TRUE(QFile::link(media + QStringLiteral("/real"), media + QStringLiteral("/linked")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(media + QStringLiteral("/pipe.png")).constData(), 0644),
              0);

    const struct {
        QString icon;
        const char* why; // null: placed
        int mode;
        bool olderCopy;
    } cases[] = {
        {media + QStringLiteral("/shadow.png"), "is a symbolic link", 0, false},
        {media + QStringLiteral("/folder-link.png"), "is a symbolic link", 0, false},
        {media + QStringLiteral("/linked/inner.png"), "through a symbolic link", 0, false},
        {media + QStringLiteral("/pipe.png"), "is not a regular file", 0, false},
        {QStringLiteral("/dev/null"), "is not a regular file", 0, false},
        {r640, nullptr, 0640, false},
        {r644, nullptr, 0644, false},
        // The copy it replaces does not lend it its wider mode.
        {r600, nullptr, 0600, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.icon.toStdString());
        GlimmerSettings settings;
        settings.iconPath = c.icon;
        settings.clickSoundPath = sound;
        const QList<SupportFile> files = SupportFiles::list(settings);
        ASSERT_EQ(files.size(), 2);
        const QString target = QDir(page).filePath(files[0].webPath);
        ASSERT_TRUE(QDir(page).removeRecursively() && QDir().mkpath(page));
        if (c.olderCopy) {
            writeFile(target, "OLD");
            ASSERT_TRUE(QFile::setPermissions(target, rw | QFile::ReadGroup | QFile::ReadOther));
        }

        QString error;
        EXPECT_EQ(SupportFiles::place(settings, page, &error), !c.why) << error.toStdString();
        // The other media file is placed whatever happens to the icon.
        EXPECT_EQ(readFile(QDir(page).filePath(files[1].webPath)), QByteArray("ok.wav"));
        if (c.why) {
            EXPECT_TRUE(error.contains(QLatin1String(c.why)) && error.contains(c.icon))
                << error.toStdString();
            EXPECT_EQ(modeOf(target), -1);
        } else {
            EXPECT_EQ(readFile(target), QFileInfo(c.icon).fileName().toUtf8());
            EXPECT_EQ(modeOf(target), c.mode);
        }
    }
}
