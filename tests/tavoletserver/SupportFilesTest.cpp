#include "SupportFiles.h"
#include "CodeGenerator.h"
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(SupportFiles, ListsIconAndSoundsOnceEachUnderTheWidgetFolder) {
    GlimmerSettings s;
    EXPECT_TRUE(SupportFiles::list(s).isEmpty());
    s.iconPath = QStringLiteral("/lib/icons/go.svg");
    s.hoverSoundPath = QStringLiteral("/lib/sounds/tick.wav");
    s.clickSoundPath = QStringLiteral("/lib/sounds/tick.wav");
    const QString folder =
        QStringLiteral("glimmerkey/") + CodeGenerator::widgetKey(s) + QLatin1Char('/');
    const QList<SupportFile> files = SupportFiles::list(s);
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(files[0], (SupportFile{QStringLiteral("go.svg"), QStringLiteral("/lib/icons/"),
                                     folder + QStringLiteral("go.svg")}));
    EXPECT_EQ(files[1], (SupportFile{QStringLiteral("tick.wav"), QStringLiteral("/lib/sounds/"),
                                     folder + QStringLiteral("tick.wav")}));
}

TEST(SupportFiles, SameNameFromTwoFoldersGetsTwoWebPaths) {
    GlimmerSettings s;
    s.hoverSoundPath = QStringLiteral("/a/tick.wav");
    s.clickSoundPath = QStringLiteral("/b/tick.wav");
    const QList<SupportFile> files = SupportFiles::list(s);
    ASSERT_EQ(files.size(), 2);
    EXPECT_NE(files[0].webPath, files[1].webPath);
    EXPECT_TRUE(files[1].webPath.endsWith(QLatin1String("/click/tick.wav")));
    // The code refers to the same web paths the list gives.
    const QString cursor = CodeGenerator::cursor(s);
    EXPECT_TRUE(cursor.contains(files[0].webPath));
    EXPECT_TRUE(cursor.contains(files[1].webPath));
}

TEST(SupportFiles, PlaceCopiesToWebPathsAndReportsMissingSources) {
    QTemporaryDir dir;
    const QString media = dir.filePath(QStringLiteral("media"));
    writeFile(media + QStringLiteral("/go.png"), "PNG");
    writeFile(media + QStringLiteral("/tick.wav"), "WAV");
    GlimmerSettings s;
    s.iconPath = media + QStringLiteral("/go.png");
    s.clickSoundPath = media + QStringLiteral("/tick.wav");
    const QString page = dir.filePath(QStringLiteral("site"));
    QDir().mkpath(page);

    // An older copy at the web path is replaced.
    const QString iconTarget = QDir(page).filePath(SupportFiles::list(s)[0].webPath);
    writeFile(iconTarget, "OLD");
    ASSERT_TRUE(SupportFiles::place(s, page));
    EXPECT_EQ(readFile(iconTarget), QByteArray("PNG"));
    EXPECT_EQ(readFile(QDir(page).filePath(SupportFiles::list(s)[1].webPath)), QByteArray("WAV"));

    s.hoverSoundPath = media + QStringLiteral("/gone.mp3");
    QString error;
    EXPECT_FALSE(SupportFiles::place(s, page, &error));
    EXPECT_TRUE(error.contains(QLatin1String("gone.mp3")));
    EXPECT_EQ(readFile(iconTarget), QByteArray("PNG")); // the others were still placed
}
