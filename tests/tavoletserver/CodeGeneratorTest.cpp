#include "CodeGenerator.h"
#include "TestSettings.h"
#include "WidgetFile.h"

#include <QDir>

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

// Each rule of a style sheet with the at-rules it sits in, outermost first:
// {"@media (hover:hover)", ".gk-x.gk-x:hover"}.
QList<QStringList> rulesInContext(const QString& css) {
    QList<QStringList> rules;
    QStringList open;
    qsizetype start = 0;
    for (qsizetype i = 0; i < css.size(); ++i) {
        if (css[i] == QLatin1Char('{')) {
            open << css.mid(start, i - start).trimmed();
            if (!open.back().startsWith(QLatin1Char('@'))) rules << open;
            start = i + 1;
        } else if (css[i] == QLatin1Char('}')) {
            if (!open.isEmpty()) open.removeLast();
            start = i + 1;
        } else if (css[i] == QLatin1Char(';')) {
            start = i + 1;
        }
    }
    return rules;
}

// The declarations of the first rule whose selector is `selector` inside
// exactly the at-rules `context`.
QString declarations(const QString& css, const QStringList& context, const QString& selector) {
    QStringList wanted = context;
    wanted << selector;
    QStringList open;
    qsizetype start = 0;
    for (qsizetype i = 0; i < css.size(); ++i) {
        if (css[i] == QLatin1Char('{')) {
            open << css.mid(start, i - start).trimmed();
            if (open == wanted) return css.mid(i + 1, css.indexOf(QLatin1Char('}'), i) - i - 1);
            start = i + 1;
        } else if (css[i] == QLatin1Char('}')) {
            if (!open.isEmpty()) open.removeLast();
            start = i + 1;
        } else if (css[i] == QLatin1Char(';')) {
            start = i + 1;
        }
    }
    return {};
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
    // A hover glimmer starts on hover only where there is hover.
    EXPECT_TRUE(css.contains(QRegularExpression(
        QStringLiteral("@media \\(hover:hover\\)\\{[^@]*:hover::after\\{animation:gk-"))));
    EXPECT_TRUE(css.contains(QLatin1String(":focus-visible::after{animation:gk-")));
    EXPECT_TRUE(css.contains(QLatin1String(" 400ms ")));
    s.glimmerTrigger = GlimmerTrigger::Always;
    css = CodeGenerator::styleSheet(s);
    EXPECT_FALSE(css.contains(QLatin1String(":hover::after")));
    EXPECT_TRUE(css.contains(QLatin1String("::after{animation:gk-")));
    s.glimmerEnabled = false;
    EXPECT_FALSE(CodeGenerator::styleSheet(s).contains(QLatin1String("::after{content")));
    EXPECT_FALSE(CodeGenerator::styleSheet(s).contains(QLatin1String("animation:gk-")));
}

TEST(CodeGenerator, HoverLooksOnlyWhereAPointerHovers) {
    for (GlimmerSettings s : {GlimmerSettings{}, everySettingChanged()}) {
        s.glimmerEnabled = true;
        s.glimmerTrigger = GlimmerTrigger::Hover;
        s.darkScheme = DarkScheme::Automatic;
        int hoverRules = 0;
        for (const QStringList& rule : rulesInContext(CodeGenerator::styleSheet(s))) {
            if (!rule.back().contains(QLatin1String(":hover"))) continue;
            ++hoverRules;
            EXPECT_TRUE(rule.contains(QStringLiteral("@media (hover:hover)")))
                << rule.join(QLatin1String(" / ")).toStdString();
        }
        // Light and dark hover looks, the glimmer's start and the forced-colour edge.
        EXPECT_EQ(hoverRules, 4);
    }
}

TEST(CodeGenerator, ForcedColoursKeepAnEdgeARingAndVisibleIconsButNoGlimmer) {
    GlimmerSettings s;
    s.borderWidth = 0;
    s.iconPath = QStringLiteral("/m/go.svg");
    const QString css = CodeGenerator::styleSheet(s);
    const QString sel = QStringLiteral(".gk-%1.gk-%1").arg(CodeGenerator::widgetKey(s));
    const QStringList forced{QStringLiteral("@media (forced-colors:active)")};
    // A design without a border still gets an edge there.
    EXPECT_TRUE(
        declarations(css, forced, sel).contains(QLatin1String("border:1px solid ButtonText")));
    EXPECT_TRUE(declarations(css, forced, sel + QLatin1String(":focus-visible"))
                    .contains(QLatin1String("outline:2px solid CanvasText")));
    EXPECT_TRUE(declarations(css, forced, sel + QLatin1String(" img"))
                    .contains(QLatin1String("ButtonText")));
    EXPECT_EQ(declarations(css, forced, sel + QLatin1String("::after")),
              QStringLiteral("display:none"));
    // Wider borders keep their width; no icon, no icon rule.
    s.borderWidth = 5;
    s.iconPath.clear();
    const QString wide = CodeGenerator::styleSheet(s);
    const QString wideSel = QStringLiteral(".gk-%1.gk-%1").arg(CodeGenerator::widgetKey(s));
    EXPECT_TRUE(declarations(wide, forced, wideSel).contains(QLatin1String("border:5px solid")));
    EXPECT_EQ(declarations(wide, forced, wideSel + QLatin1String(" img")), QString());
}

TEST(CodeGenerator, ReducedMotionStopsEveryAnimationAndTransition) {
    for (const bool glimmer : {true, false}) {
        GlimmerSettings s;
        s.glimmerEnabled = glimmer;
        const QString sel = QStringLiteral(".gk-%1.gk-%1").arg(CodeGenerator::widgetKey(s));
        const QString rule =
            declarations(CodeGenerator::styleSheet(s),
                         {QStringLiteral("@media (prefers-reduced-motion:reduce)")},
                         QStringLiteral("%1,%1 *,%1::after").arg(sel));
        EXPECT_TRUE(rule.contains(QLatin1String("animation:none!important")));
        EXPECT_TRUE(rule.contains(QLatin1String("transition:none!important")));
    }
}

TEST(CodeGenerator, DarkRulesFollowTheChosenScheme) {
    GlimmerSettings s;
    const QString light = CodeGenerator::styleSheet(s);
    // Older widgets read as "Same colours": not a single dark-scheme rule.
    EXPECT_FALSE(light.contains(QLatin1String("prefers-color-scheme")));

    s.darkScheme = DarkScheme::Custom;
    s.darkStates[static_cast<int>(ButtonState::Pressed)].fill = QColor(0x12, 0x34, 0x56);
    s.darkStates[static_cast<int>(ButtonState::Pressed)].fill2 = QColor(0x65, 0x43, 0x21);
    s.darkBorderColor = QColor(0xab, 0xcd, 0xef);
    const QString css = CodeGenerator::styleSheet(s);
    const QString sel = QStringLiteral(".gk-%1.gk-%1").arg(CodeGenerator::widgetKey(s));
    const QStringList dark{QStringLiteral("@media (prefers-color-scheme:dark)")};
    EXPECT_TRUE(declarations(css, dark, sel + QLatin1String(":active"))
                    .contains(QLatin1String("linear-gradient(#123456,#654321)")));
    EXPECT_TRUE(declarations(css, dark, sel).contains(QLatin1String("border-color:#abcdef")));
    // The dark rules come before the forced-colour ones, which must win.
    EXPECT_LT(css.indexOf(dark[0]), css.indexOf(QLatin1String("@media (forced-colors:active)")));
}

TEST(CodeGenerator, PublishedWidgetsKeepTheirKeys) {
    // The keys the shipped templates were published under before the dark
    // scheme existed; a new member of the widget file must not rename them.
    const QList<std::pair<const char*, const char*>> published = {
        {"Azure", "bbe4791b"},  {"Candy", "3272dedd"},    {"Ember", "a76cd6c0"},
        {"Forest", "50a22a8f"}, {"Midnight", "46cae32a"}, {"Mint", "50f33d6c"},
        {"Paper", "c002b0b7"},  {"Slate", "cc76aa94"},    {"Sunrise", "fa165ff3"},
        {"Violet", "84621c09"}};
    const QDir dir(QStringLiteral(TAVOLET_TEMPLATE_DIR));
    for (const auto& [name, key] : published) {
        auto w = WidgetFile::load(dir.filePath(
            QStringLiteral("%1_TavoletServer.Glimmerkey.tvt").arg(QLatin1String(name))));
        ASSERT_TRUE(w) << name;
        // As the file was then: no dark variant.
        w->settings.darkScheme = DarkScheme::Same;
        EXPECT_EQ(CodeGenerator::widgetKey(w->settings), QLatin1String(key)) << name;
        // What does not reach the code does not reach the key either.
        w->settings.pageColor = QColor(1, 2, 3);
        w->settings.darkStates[0].text = QColor(4, 5, 6);
        EXPECT_EQ(CodeGenerator::widgetKey(w->settings), QLatin1String(key)) << name;
        w->settings.darkScheme = DarkScheme::Automatic;
        EXPECT_NE(CodeGenerator::widgetKey(w->settings), QLatin1String(key)) << name;
    }
}
