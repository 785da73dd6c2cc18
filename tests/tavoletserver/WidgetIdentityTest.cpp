#include "CodeGenerator.h"
#include "TestSettings.h"
#include "WidgetFile.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

const QString kIdentity = QStringLiteral("0f3c9a2e-7b41-4d8e-9c11-5a6b7c8d9e0f");

QString attribute(const QString& identity) {
    return QStringLiteral(" data-tavolet-widget=\"%1\"").arg(identity);
}

QByteArray fileWithIdentity(const QJsonValue& identity) {
    QJsonObject root{{"format", "Glimmerkey widget"},
                     {"version", 1},
                     {"name", "Held"},
                     {"button", QJsonObject{{"caption", "Go"}}}};
    root.insert(QLatin1String("identity"), identity);
    return QJsonDocument(root).toJson();
}

} // namespace

TEST(WidgetIdentity, MarksTheOutermostElementOnceAndChangesNothingElse) {
    GlimmerSettings link = everySettingChanged();
    link.normalize();
    GlimmerSettings captionless;
    captionless.caption.clear();
    captionless.tooltip = QStringLiteral("Home");
    for (const GlimmerSettings& s : {GlimmerSettings{}, link, captionless}) {
        const QList<CodePart> plain = CodeGenerator::parts(s);
        const QList<CodePart> marked = CodeGenerator::parts(s, kIdentity);
        ASSERT_EQ(marked.size(), plain.size());
        const QString cursor = marked[0].text;
        EXPECT_EQ(cursor.count(QLatin1String("data-tavolet-widget")), 1);
        // On the button's own opening tag, the first element of the body code.
        const qsizetype at = cursor.indexOf(attribute(kIdentity));
        ASSERT_GE(at, 0) << cursor.toStdString();
        EXPECT_LT(at, cursor.indexOf(QLatin1Char('>')));
        EXPECT_EQ(QString(cursor).remove(attribute(kIdentity)), plain[0].text);
        for (qsizetype i = 1; i < plain.size(); ++i)
            EXPECT_EQ(marked[i], plain[i]) << "the identity is in the body code only";
    }
}

TEST(WidgetIdentity, OnlyWellFormedIdentitiesAreWritten) {
    const GlimmerSettings s;
    const QString plain = CodeGenerator::cursor(s);
    EXPECT_NE(CodeGenerator::cursor(s, QString(64, QLatin1Char('A'))), plain);
    for (const QString& bad :
         {QStringLiteral("\"><script>alert(1)</script>"), QStringLiteral("a b"),
          QStringLiteral("x'y"), QStringLiteral("a<b"), QString(65, QLatin1Char('a')),
          QStringLiteral("\u0661\u0662"), QStringLiteral("id_1")})
        EXPECT_EQ(CodeGenerator::cursor(s, bad), plain) << bad.toStdString();
}

TEST(WidgetIdentity, WidgetFileKeepsItAndReadsAMalformedOneAsNone) {
    GlimmerWidget w;
    w.identity = kIdentity;
    const QByteArray bytes = WidgetFile::serialize(w, {});
    const auto back = WidgetFile::parse(bytes, {});
    ASSERT_TRUE(back);
    EXPECT_EQ(back->identity, kIdentity);

    // Templates are written without one, so loading one never copies it.
    const QJsonObject none = QJsonDocument::fromJson(WidgetFile::serialize({}, {})).object();
    EXPECT_FALSE(none.contains(QLatin1String("identity")));

    for (const QString& hostile : {QStringLiteral("\" onclick=\"alert(1)"), QStringLiteral("<b>"),
                                   QString(65, QLatin1Char('f')), QString()}) {
        QString error;
        const auto read = WidgetFile::parse(fileWithIdentity(hostile), {}, &error);
        ASSERT_TRUE(read) << error.toStdString();
        EXPECT_TRUE(read->identity.isEmpty()) << hostile.toStdString();
        EXPECT_EQ(read->name, QStringLiteral("Held")) << "the rest of the file still reads";
    }
    // A member of the wrong type is refused like any other.
    QString error;
    EXPECT_FALSE(WidgetFile::parse(fileWithIdentity(42), {}, &error));
    EXPECT_TRUE(error.contains(QLatin1String("identity")));
}
