#include "DarkColors.h"
#include "Contrast.h"
#include "WidgetFile.h"

#include <QDir>
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

QList<QColor> fillsOf(const StateColors& c, FillStyle fill) {
    if (fill == FillStyle::Gradient) return {c.fill, c.fill2};
    return {c.fill};
}

// Checks the promise of the automatic variant with nothing but the ratio
// itself: text 4.5:1 against every fill stop; the edge (border, or the
// fill where there is none) 3:1 against the dark page and, on a white page
// setting, against white too. Returns what failed, empty when nothing did.
QString brokenPromises(const GlimmerSettings& s, const SchemeColors& dark) {
    QString out;
    for (int i = 0; i < ButtonStateCount; ++i) {
        const StateColors& c = dark.states[i];
        const QString state = stateName(static_cast<ButtonState>(i));
        for (const QColor& f : fillsOf(c, s.fillStyle))
            if (Contrast::ratio(c.text, f) < 4.5)
                out += QStringLiteral("%1 text %2 on %3; ").arg(state, c.text.name(), f.name());
        QList<QColor> edges =
            s.borderWidth > 0 ? QList<QColor>{dark.border} : fillsOf(c, s.fillStyle);
        for (const QColor& e : edges) {
            if (Contrast::ratio(e, DarkColors::DarkPage) < 3)
                out += QStringLiteral("%1 edge %2 on the dark page; ").arg(state, e.name());
            if (s.pageColor == Qt::white && Contrast::ratio(e, Qt::white) < 3)
                out += QStringLiteral("%1 edge %2 on white; ").arg(state, e.name());
        }
    }
    return out;
}

QColor randomColor(QRandomGenerator& rng) {
    return QColor(rng.bounded(256), rng.bounded(256), rng.bounded(256));
}

GlimmerSettings randomDesign(QRandomGenerator& rng) {
    GlimmerSettings s;
    s.fillStyle = rng.bounded(2) ? FillStyle::Solid : FillStyle::Gradient;
    s.borderWidth = rng.bounded(4);
    s.borderColor = randomColor(rng);
    for (StateColors& c : s.states)
        c = {randomColor(rng), randomColor(rng), randomColor(rng)};
    s.darkScheme = DarkScheme::Automatic;
    return s;
}

QList<GlimmerWidget> shippedTemplates() {
    QList<GlimmerWidget> out;
    const QDir dir(QStringLiteral(TAVOLET_TEMPLATE_DIR));
    for (const QString& file : dir.entryList({QStringLiteral("*.tvt")}, QDir::Files, QDir::Name))
        out << *WidgetFile::load(dir.filePath(file));
    return out;
}

} // namespace

TEST(DarkColors, AutomaticKeepsTextAndEdgeContrastForEveryTemplate) {
    const QList<GlimmerWidget> templates = shippedTemplates();
    ASSERT_GE(templates.size(), 8);
    for (GlimmerWidget w : templates) {
        w.settings.darkScheme = DarkScheme::Automatic;
        const SchemeColors dark = DarkColors::dark(w.settings);
        EXPECT_EQ(brokenPromises(w.settings, dark), QString()) << w.name.toStdString();
        EXPECT_TRUE(Contrast::textIssues(dark, w.settings.fillStyle).isEmpty());
    }
}

TEST(DarkColors, AutomaticKeepsItsPromiseForRandomDesigns) {
    QRandomGenerator rng(20240523);
    for (int i = 0; i < 1000; ++i) {
        GlimmerSettings s = randomDesign(rng);
        // Every tenth design assumes a page colour of its own, where only the
        // dark page is promised.
        if (i % 10 == 9) s.pageColor = randomColor(rng);
        const SchemeColors dark = DarkColors::derive(s);
        ASSERT_EQ(brokenPromises(s, dark), QString()) << "design " << i;
        // Configure's checks agree: nothing to warn about.
        ASSERT_TRUE(Contrast::textIssues(dark, s.fillStyle).isEmpty()) << "design " << i;
        ASSERT_TRUE(Contrast::edgeIssues(dark, s, DarkColors::DarkPage).isEmpty())
            << "design " << i;
    }
}

TEST(DarkColors, AutomaticMirrorsLightnessAndKeepsOneTextPolarity) {
    // White text on dark blues: the dark variant reads dark text on lighter fills.
    GlimmerSettings s;
    s.darkScheme = DarkScheme::Automatic;
    const SchemeColors dark = DarkColors::dark(s);
    for (int i = 0; i < ButtonStateCount; ++i) {
        SCOPED_TRACE(stateName(static_cast<ButtonState>(i)).toStdString());
        EXPECT_LT(dark.states[i].text.lightnessF(), 0.3);
        EXPECT_GT(dark.states[i].fill.lightnessF(), s.states[i].fill.lightnessF());
        // The hue survives the mirror.
        EXPECT_NEAR(dark.states[i].fill.hueF(), s.states[i].fill.hueF(), 0.05);
    }
}

TEST(DarkColors, SameAndCustomServeTheirOwnColours) {
    GlimmerSettings s;
    EXPECT_EQ(DarkColors::dark(s), DarkColors::light(s));
    s.darkScheme = DarkScheme::Custom;
    s.darkStates[1].fill = QColor(1, 2, 3);
    s.darkBorderColor = QColor(4, 5, 6);
    const SchemeColors custom = DarkColors::dark(s);
    EXPECT_EQ(custom.states, s.darkStates);
    EXPECT_EQ(custom.border, QColor(4, 5, 6));
}

TEST(Contrast, EdgeCountsTheBorderOrTheFillWhicheverShowsMore) {
    const StateColors white{Qt::black, Qt::white, Qt::white};
    // A white button without a border vanishes on a white page...
    EXPECT_LT(Contrast::edgeRatio(white, Qt::black, 0, FillStyle::Solid, Qt::white), 1.01);
    // ...a dark border brings it back, a border of no width does not.
    EXPECT_GT(Contrast::edgeRatio(white, Qt::black, 1, FillStyle::Solid, Qt::white), 20);
    // Both gradient stops must stand out where the fill is the edge.
    const StateColors half{Qt::black, Qt::black, Qt::white};
    EXPECT_LT(Contrast::edgeRatio(half, Qt::black, 0, FillStyle::Gradient, Qt::white), 1.01);
    EXPECT_GT(Contrast::edgeRatio(half, Qt::black, 0, FillStyle::Solid, Qt::white), 20);
}
