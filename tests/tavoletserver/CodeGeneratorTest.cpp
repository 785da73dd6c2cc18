#include "CodeGenerator.h"
#include "TestSettings.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

const QString kHostile = QStringLiteral("\"><script>alert(1)</script>'&amp;");

QString allCode(const GlimmerSettings& s) {
    QString out;
    for (const CodePart& p : CodeGenerator::parts(s))
        out += p.text;
    return out;
}

int scriptElements(const QString& code) {
    return code.count(QLatin1String("<script"));
}

} // namespace

TEST(CodeGenerator, PartsComeInTheOrderTheHostExpects) {
    const QList<CodePart> parts = CodeGenerator::parts(GlimmerSettings{});
    ASSERT_EQ(parts.size(), 3);
    EXPECT_EQ(parts[0].name, QStringLiteral("cursor"));
    EXPECT_EQ(parts[1].name, QStringLiteral("style"));
    EXPECT_EQ(parts[2].name, QStringLiteral("script"));
    EXPECT_TRUE(parts[1].text.startsWith(QLatin1String("<style")));
    EXPECT_TRUE(parts[2].text.startsWith(QLatin1String("<script>")));
    EXPECT_TRUE(parts[2].text.endsWith(QLatin1String("</script>")));
}

TEST(CodeGenerator, HostileTextIsEscapedWhereverItLands) {
    GlimmerSettings s;
    s.caption = kHostile;
    s.tooltip = kHostile;
    s.linkUrl = QStringLiteral("page.htm?a=\"><script>x</script>");
    s.normalize();
    const QString code = allCode(s);
    EXPECT_EQ(scriptElements(code),
              2); // the runtime in the cursor and the script part, nothing more
    EXPECT_FALSE(code.contains(QLatin1String("<script>alert")));
    EXPECT_FALSE(code.contains(QLatin1String("x</script>")));
    EXPECT_TRUE(code.contains(QLatin1String(
        "<span>&quot;&gt;&lt;script&gt;alert(1)&lt;/script&gt;&#39;&amp;amp;</span>")));
    EXPECT_TRUE(code.contains(QLatin1String("title=\"&quot;&gt;&lt;script&gt;")));
    EXPECT_TRUE(
        code.contains(QLatin1String("href=\"page.htm?a=%22%3e%3cscript%3ex%3c/script%3e\"")));
}

TEST(CodeGenerator, RefusedLinksBecomePlainButtons) {
    GlimmerSettings s;
    s.linkUrl = QStringLiteral("javascript:alert(1)");
    EXPECT_FALSE(CodeGenerator::cursor(s).contains(QLatin1String("javascript")));
    EXPECT_TRUE(CodeGenerator::cursor(s).startsWith(QLatin1String("<button type=\"button\"")));
    s.linkUrl = QStringLiteral("https://example.com/");
    s.linkTarget = QStringLiteral("_blank");
    const QString link = CodeGenerator::cursor(s);
    EXPECT_TRUE(link.startsWith(QLatin1String("<a class=\"gk-")));
    EXPECT_TRUE(link.contains(QLatin1String("target=\"_blank\" rel=\"noopener\"")));
}

TEST(CodeGenerator, MediaNamesAreEncodedInMarkupAndScript) {
    GlimmerSettings s;
    s.iconPath = QStringLiteral("/m/a\"b<c>.png");
    s.clickSoundPath = QStringLiteral("/m/a\"<!--x.wav");
    s.normalize();
    ASSERT_FALSE(s.clickSoundPath.isEmpty());
    const QString cursor = CodeGenerator::cursor(s);
    EXPECT_EQ(scriptElements(cursor), 1);
    EXPECT_EQ(cursor.count(QLatin1String("</script>")), 1);
    EXPECT_TRUE(cursor.contains(QLatin1String("a%22b%3cc%3e.png\" alt=\"\"")));
    EXPECT_TRUE(cursor.contains(QLatin1String("a%22%3c!--x.wav\");")));
}

TEST(CodeGenerator, CaptionlessButtonStillHasAName) {
    GlimmerSettings s;
    s.caption.clear();
    s.tooltip = QStringLiteral("Home");
    EXPECT_TRUE(CodeGenerator::cursor(s).contains(QLatin1String("aria-label=\"Home\"")));
    s.tooltip.clear();
    EXPECT_TRUE(CodeGenerator::cursor(s).contains(QLatin1String("aria-label=\"Button\"")));
}

TEST(CodeGenerator, CodeIsAsciiAndWithinTheWeightBudget) {
    // The largest code a widget without media can have: every text at its
    // limit and made of characters that grow most when escaped, the longest
    // font stack, a gradient and the glimmer.
    GlimmerSettings s;
    s.caption = QString(Limits::CaptionLength, QChar(0x4e2d));
    s.tooltip = QString(Limits::TooltipLength, QChar('"'));
    s.linkUrl = QString(Limits::UrlLength, QChar('"'));
    s.linkTarget = QStringLiteral("_parent");
    s.fontFamily = QStringLiteral("Times New Roman");
    s.normalize();
    ASSERT_EQ(s.linkUrl.size(), Limits::UrlLength);
    GlimmerSettings captionless = s;
    captionless.caption.clear(); // the tooltip then names the button twice
    for (const GlimmerSettings& worst : {s, captionless}) {
        const QString code = allCode(worst);
        EXPECT_LT(code.toUtf8().size(), 8 * 1024);
        for (QChar c : code)
            ASSERT_LT(c.unicode(), 0x80) << "non-ASCII in emitted code";
    }
    // One character more would not fit the limit, so the link is dropped rather than cut.
    s.linkUrl += QLatin1Char('x');
    s.normalize();
    EXPECT_TRUE(s.linkUrl.isEmpty());
}

TEST(CodeGenerator, EveryRuleIsScopedToTheWidget) {
    GlimmerSettings s = everySettingChanged();
    s.glimmerEnabled = true;
    const QString key = CodeGenerator::widgetKey(s);
    ASSERT_TRUE(QRegularExpression(QStringLiteral("^[0-9a-f]{8}$")).match(key).hasMatch());
    const QString css = CodeGenerator::styleSheet(s);
    // Each selector, keyframe name or media block names the widget's class.
    const QRegularExpression rule(QStringLiteral("(?:^|\\})([^{}]+)\\{"));
    for (auto it = rule.globalMatch(css); it.hasNext();) {
        const QString selector = it.next().captured(1);
        if (selector.startsWith(QLatin1String("@media"))) continue;
        if (selector.startsWith(QLatin1String("to"))) continue;
        EXPECT_TRUE(selector.contains(QStringLiteral("gk-") + key)) << selector.toStdString();
    }
    EXPECT_TRUE(
        CodeGenerator::style(s).contains(QStringLiteral("data-glimmerkey=\"%1\"").arg(key)));
    EXPECT_TRUE(
        CodeGenerator::cursor(s).contains(QStringLiteral("Glimmerkey.css(\"%1\"").arg(key)));
    EXPECT_TRUE(css.contains(QLatin1String("prefers-reduced-motion:reduce")));
    EXPECT_TRUE(css.contains(QLatin1String(":focus-visible{")));
}

TEST(CodeGenerator, KeyFollowsTheLookNotTheMediaFolder) {
    GlimmerSettings a = everySettingChanged(QStringLiteral("/one"));
    GlimmerSettings b = everySettingChanged(QStringLiteral("/two"));
    EXPECT_EQ(CodeGenerator::widgetKey(a), CodeGenerator::widgetKey(b));
    b.state(ButtonState::Pressed).fill = QColor(9, 9, 9);
    EXPECT_NE(CodeGenerator::widgetKey(a), CodeGenerator::widgetKey(b));
    EXPECT_NE(CodeGenerator::styleSheet(a), CodeGenerator::styleSheet(b));
}

TEST(CodeGenerator, GlimmerFollowsItsSettings) {
    GlimmerSettings s;
    s.glimmerTrigger = GlimmerTrigger::Hover;
    s.glimmerSpeed = 10;
    QString css = CodeGenerator::styleSheet(s);
    EXPECT_TRUE(css.contains(QLatin1String(":hover::after,")));
    EXPECT_TRUE(css.contains(QLatin1String(":focus-visible::after{animation:gk-")));
    EXPECT_TRUE(css.contains(QLatin1String(" 400ms ")));
    s.glimmerTrigger = GlimmerTrigger::Always;
    css = CodeGenerator::styleSheet(s);
    EXPECT_FALSE(css.contains(QLatin1String(":hover::after")));
    EXPECT_TRUE(css.contains(QLatin1String("::after{animation:gk-")));
    s.glimmerEnabled = false;
    EXPECT_FALSE(CodeGenerator::styleSheet(s).contains(QLatin1String("::after")));
}
