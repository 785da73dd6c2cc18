#include "CodeGenerator.h"
#include "Contrast.h"
#include "WidgetFile.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

QStringList templateFiles() {
    return QDir(QStringLiteral(TAVOLET_TEMPLATE_DIR))
        .entryList({QStringLiteral("*_TavoletServer.Glimmerkey.tvt")}, QDir::Files, QDir::Name);
}

} // namespace

TEST(Templates, AtLeastEightDistinctReadableTemplates) {
    const QStringList files = templateFiles();
    ASSERT_GE(files.size(), 8);
    QSet<QString> looks;
    const QRegularExpression asciiName(QStringLiteral("^[A-Za-z0-9]+$"));
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        QString error;
        const auto w =
            WidgetFile::load(QDir(QStringLiteral(TAVOLET_TEMPLATE_DIR)).filePath(file), &error);
        ASSERT_TRUE(w) << error.toStdString();
        EXPECT_EQ(w->ownerProgId, QStringLiteral("TavoletServer.Glimmerkey"));
        EXPECT_TRUE(asciiName.match(w->name).hasMatch());
        EXPECT_EQ(file, w->name + QStringLiteral("_TavoletServer.Glimmerkey.tvt"));
        EXPECT_FALSE(w->description.isEmpty());
        EXPECT_TRUE(Contrast::issues(w->settings).isEmpty()) << "a template below 4.5:1";
        EXPECT_TRUE(
            Contrast::edgeIssues(DarkColors::light(w->settings), w->settings, Qt::white).isEmpty())
            << "a template whose edge fades into a white page";
        for (const QString& media :
             {w->settings.iconPath, w->settings.hoverSoundPath, w->settings.clickSoundPath})
            if (!media.isEmpty()) {
                EXPECT_TRUE(QFileInfo::exists(media)) << media.toStdString();
            }
        QString code;
        for (const CodePart& p : CodeGenerator::parts(w->settings))
            code += p.text;
        EXPECT_LT(code.size(), 8 * 1024);
        looks.insert(CodeGenerator::styleSheet(w->settings));
    }
    EXPECT_EQ(looks.size(), files.size());
}

TEST(Templates, StayWithinTheWeightBudgetWhateverTheDarkScheme) {
    for (const QString& file : templateFiles()) {
        auto w = WidgetFile::load(QDir(QStringLiteral(TAVOLET_TEMPLATE_DIR)).filePath(file));
        ASSERT_TRUE(w);
        for (const DarkScheme scheme :
             {DarkScheme::Same, DarkScheme::Automatic, DarkScheme::Custom}) {
            w->settings.darkScheme = scheme;
            QString code;
            for (const CodePart& p : CodeGenerator::parts(w->settings))
                code += p.text;
            EXPECT_LT(code.toUtf8().size(), 8 * 1024) << file.toStdString();
        }
    }
}
