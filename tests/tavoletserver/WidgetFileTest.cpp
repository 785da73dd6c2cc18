#include "WidgetFile.h"
#include "TestSettings.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray withButton(const QByteArray& buttonJson) {
    return "{\"format\":\"Glimmerkey widget\",\"version\":1,\"button\":" + buttonJson + "}";
}

std::optional<GlimmerWidget> parse(const QByteArray& bytes, QString* error = nullptr) {
    return WidgetFile::parse(bytes, QStringLiteral("/base"), error);
}

} // namespace

TEST(WidgetFile, EverySettingSurvivesSaveAndLoad) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    GlimmerWidget w;
    w.ownerProgId = QStringLiteral("TavoletServer.Glimmerkey");
    w.name = QStringLiteral("Mine");
    w.description = QStringLiteral("Two\nlines");
    w.auxText = QStringLiteral("aux");
    w.saveTime = QDateTime(QDate(2024, 2, 29), QTime(13, 14, 15, 160), Qt::UTC);
    w.settings = everySettingChanged(dir.filePath(QStringLiteral("media")));
    ASSERT_EQ(w.settings, [&] {
        auto s = w.settings;
        s.normalize();
        return s;
    }());

    const QString path = dir.filePath(QStringLiteral("w.tvt"));
    ASSERT_TRUE(WidgetFile::save(w, path));
    const auto loaded = WidgetFile::load(path);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(*loaded, w);

    // Media beside the file are stored relative to it, so the folder can move.
    const QJsonObject root = QJsonDocument::fromJson(WidgetFile::serialize(w, dir.path())).object();
    const QJsonObject button = root.value(QLatin1String("button")).toObject();
    EXPECT_EQ(button["icon"].toObject()["path"].toString(), QStringLiteral("media/icon one.png"));
    EXPECT_EQ(button["sounds"].toObject()["click"].toString(),
              QStringLiteral("/elsewhere/click.mp3"));
}

TEST(WidgetFile, OlderFileWithMissingMembersTakesDefaults) {
    const QByteArray old =
        "{\"format\":\"Glimmerkey widget\",\"version\":1,\"name\":\"Old\","
        "\"button\":{\"caption\":\"Go\",\"font\":{\"size\":20},"
        "\"states\":{\"hover\":{\"fill\":\"#102030\"}},\"icon\":{\"path\":\"pic.gif\"}}}";
    const auto w = parse(old);
    ASSERT_TRUE(w);
    GlimmerSettings expected;
    expected.caption = QStringLiteral("Go");
    expected.fontSize = 20;
    expected.state(ButtonState::Hover).fill = QColor(0x10, 0x20, 0x30);
    expected.iconPath = QStringLiteral("/base/pic.gif");
    EXPECT_EQ(w->settings, expected);
    EXPECT_EQ(w->name, QStringLiteral("Old"));
    EXPECT_EQ(w->description, QString());
    EXPECT_FALSE(w->saveTime.isValid());
    // Written before dark pages were a choice: the same colours there.
    EXPECT_EQ(w->settings.darkScheme, DarkScheme::Same);
    EXPECT_FALSE(w->enlargedFrom.isValid());
}

TEST(WidgetFile, ButtonsBelowTheSmallestTargetAreEnlargedOnLoad) {
    const auto small = parse(withButton("{\"width\":120,\"height\":20}"));
    ASSERT_TRUE(small);
    EXPECT_EQ(small->settings.height, 24);
    EXPECT_EQ(small->settings.width, 120);
    EXPECT_EQ(small->enlargedFrom, QSize(120, 20));

    const auto fits = parse(withButton("{\"width\":120,\"height\":24}"));
    ASSERT_TRUE(fits);
    EXPECT_FALSE(fits->enlargedFrom.isValid());

    // Saved again, the file holds the new size and says nothing more.
    const auto again = parse(WidgetFile::serialize(*small, QStringLiteral("/base")));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->settings, small->settings);
    EXPECT_FALSE(again->enlargedFrom.isValid());
}

TEST(WidgetFile, OutOfRangeValuesAreClampedOrDropped) {
    const auto w = parse(
        withButton("{\"width\":99999,\"height\":-5,\"cornerRadius\":1e300,\"font\":{\"size\":0.4,"
                   "\"weight\":1234,"
                   "\"family\":\"Comic Sans; } body{display:none\"},\"glimmer\":{\"speed\":-1e300},"
                   "\"caption\":\"" +
                   QByteArray(500, 'x') + "\"}"));
    ASSERT_TRUE(w);
    const GlimmerSettings& s = w->settings;
    EXPECT_EQ(s.width, Limits::MaxWidth);
    EXPECT_EQ(s.height, Limits::MinHeight);
    EXPECT_EQ(s.cornerRadius, Limits::MaxCornerRadius);
    EXPECT_EQ(s.fontSize, Limits::MinFontSize);
    EXPECT_EQ(s.fontWeight, 900);
    EXPECT_EQ(s.fontFamily, GlimmerSettings{}.fontFamily);
    EXPECT_EQ(s.glimmerSpeed, Limits::MinGlimmerSpeed);
    EXPECT_EQ(s.caption.size(), Limits::CaptionLength);
}

TEST(WidgetFile, BadFilesAreRefusedWithAReason) {
    QByteArray good = WidgetFile::serialize(GlimmerWidget{}, QStringLiteral("/base"));
    ASSERT_TRUE(parse(good));
    const QList<QByteArray> bad = {
        good.left(good.size() / 2),                             // truncated
        QByteArray("\x00\xff garbage \x01", 12),                // garbage
        "<HTML><BODY>not a widget</BODY></HTML>",               // foreign
        "{\"format\":\"Other widget\",\"version\":1}",          // foreign JSON
        "[1,2,3]",                                              // not an object
        "{\"format\":\"Glimmerkey widget\",\"version\":2}",     // newer than this reader
        "{\"format\":\"Glimmerkey widget\",\"version\":\"1\"}", // version of the wrong type
        "{\"format\":\"Glimmerkey widget\",\"version\":1,\"name\":5}",
        "{\"format\":\"Glimmerkey widget\",\"version\":1,\"saveTime\":\"yesterday\"}",
        withButton("{\"width\":\"wide\"}"),
        withButton("{\"font\":[]}"),
        withButton("{\"glimmer\":{\"enabled\":1}}"),
        withButton("{\"fill\":\"plaid\"}"),
        withButton("{\"states\":{\"normal\":{\"text\":\"red\"}}}"),
        withButton("{\"states\":{\"focus\":{\"fill\":\"#12345\"}}}"),
        withButton("{\"link\":{\"url\":\"javascript:alert(1)\"}}"),
        withButton("{\"link\":{\"target\":\"evil\\\" onclick=\\\"x\"}}"),
        withButton("{\"icon\":{\"path\":\"virus.exe\"}}"),
        withButton("{\"sounds\":{\"click\":\"pic.png\"}}"),
        withButton("{\"dark\":{\"scheme\":\"night\"}}"),
        withButton("{\"dark\":{\"states\":{\"hover\":{\"text\":\"#fff\"}}}}"),
        withButton("{\"preview\":{\"pageColor\":\"white\"}}"),
        QByteArray(WidgetFile::MaxFileSize + 1, ' ') + good, // huge
    };
    for (const QByteArray& bytes : bad) {
        QString error;
        EXPECT_FALSE(parse(bytes, &error)) << bytes.left(80).constData();
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(WidgetFile, LoadRefusesHugeFilesAndMissingFiles) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("huge.tvt"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(WidgetFile::serialize(GlimmerWidget{}, dir.path()));
    f.write(QByteArray(WidgetFile::MaxFileSize, ' '));
    f.close();
    EXPECT_FALSE(WidgetFile::load(path));
    EXPECT_FALSE(WidgetFile::load(dir.filePath(QStringLiteral("missing.tvt"))));
}

TEST(WidgetFile, FailedSaveLeavesTheOldFileWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("w.tvt"));
    GlimmerWidget first;
    first.name = QStringLiteral("First");
    ASSERT_TRUE(WidgetFile::save(first, path));
    EXPECT_FALSE(
        WidgetFile::save(GlimmerWidget{}, dir.filePath(QStringLiteral("no/such/folder/w.tvt"))));
    // A read-only folder refuses the new file but keeps the old one.
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    GlimmerWidget second;
    second.name = QStringLiteral("Second");
    const bool saved = WidgetFile::save(second, path);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const auto loaded = WidgetFile::load(path);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->name, saved ? QStringLiteral("Second") : QStringLiteral("First"));
}
