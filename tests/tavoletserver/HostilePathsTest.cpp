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

    // A relative path that climbs out names a source, never a target: the copy lands in the page.
    writeFile(widgetPath, widgetFile(QStringLiteral("../../x.png"), {}));
    const auto widget = WidgetFile::load(widgetPath);
    ASSERT_TRUE(widget);
    ASSERT_TRUE(SupportFiles::place(widget->settings, page));
    EXPECT_EQ(readFile(QDir(page).filePath(SupportFiles::list(widget->settings)[0].webPath)),
              QByteArray("X"));
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
