// Failed writes made real on a tiny file system: whatever fails, the user's
// file already there keeps its bytes and no temporary file is left beside it.
#include "SafeFile.h"
#include "SupportFiles.h"
#include "WidgetFile.h"
#include "support/CopySourceCases.h"
#include "support/Files.h"
#include "support/QtPrinters.h"
#include "support/TinyFileSystem.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {} // namespace

TEST(SafeWrites, CopiesOnlyRegularFiles) {
    CheckCopySources([](const QString& source, const QString& target, QString* error) {
        return SafeFile::copy(source, target, error);
    });
}

TEST(SafeWrites, WidgetFileOnAFullDiskFailsAndKeepsTheOldFile) {
    TinyFileSystem fs;
    REQUIRE_TINY_FS(fs);
    const QString folder = fs.filePath(QStringLiteral("widgets"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/w.tvt");
    GlimmerWidget widget;
    widget.name = QStringLiteral("Old");
    ASSERT_TRUE(WidgetFile::save(widget, path));
    const QByteArray before = readFile(path);
    fs.fill();

    widget.name = QStringLiteral("New");
    QString error;
    EXPECT_FALSE(WidgetFile::save(widget, path, &error));
    EXPECT_TRUE(error.contains(QLatin1String("w.tvt"))) << error.toStdString();
    EXPECT_EQ(readFile(path), before);

    error.clear();
    EXPECT_FALSE(WidgetFile::save(widget, folder + QStringLiteral("/new.tvt"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(entries(folder), QStringList{QStringLiteral("w.tvt")});
}

TEST(SafeWrites, PlaceKeepsTheOldCopyWhateverFails) {
    struct Sabotage {
        const char* what;
        std::function<void(TinyFileSystem&, const QString&source, const QString&target)> apply,
            undo;
    };
    const auto none = [](TinyFileSystem&, const QString&, const QString&) {};
    const Sabotage sabotages[] = {
        {"full disk", [](TinyFileSystem& fs, const QString&, const QString&) { fs.fill(); }, none},
        {"read-only", [](TinyFileSystem& fs, const QString&, const QString&) { fs.makeReadOnly(); },
         [](TinyFileSystem& fs, const QString&, const QString&) { fs.makeWritable(); }},
        {"rename fails",
         [](TinyFileSystem& fs, const QString&, const QString& t) { fs.makeBusy(t); },
         [](TinyFileSystem& fs, const QString&, const QString& t) { fs.unbusy(t); }},
        {"missing source",
         [](TinyFileSystem&, const QString& s, const QString&) { QFile::remove(s); }, none},
    };
    for (const Sabotage& sabotage : sabotages) {
        SCOPED_TRACE(sabotage.what);
        TinyFileSystem fs;
        REQUIRE_TINY_FS(fs);
        QTemporaryDir media;
        // Larger than the old copy, so that freeing the old copy first would not make room.
        const QString source = media.filePath(QStringLiteral("go.png"));
        writeFile(source, QByteArray(12288, 'N'));
        GlimmerSettings settings;
        settings.iconPath = source;
        const QString page = fs.filePath(QStringLiteral("site"));
        const QString target = QDir(page).filePath(SupportFiles::list(settings)[0].webPath);
        writeFile(target, "OLD");

        sabotage.apply(fs, source, target);
        QString error;
        EXPECT_FALSE(SupportFiles::place(settings, page, &error));
        EXPECT_TRUE(error.contains(QLatin1String("go.png"))) << error.toStdString();
        sabotage.undo(fs, source, target);
        EXPECT_EQ(readFile(target), QByteArray("OLD"));
        EXPECT_EQ(entries(QFileInfo(target).path()), QStringList{QStringLiteral("go.png")});
    }
}
