#include "Contrast.h"

#include <algorithm>
#include <cmath>

namespace {

double channel(int value) {
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& c) {
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double worstFill(const StateColors& c, FillStyle fill, const QColor& against) {
    double worst = Contrast::ratio(against, c.fill);
    if (fill == FillStyle::Gradient) worst = std::min(worst, Contrast::ratio(against, c.fill2));
    return worst;
}

} // namespace

namespace Contrast {

double ratio(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

double textRatio(const StateColors& c, FillStyle fill) {
    return worstFill(c, fill, c.text);
}

double edgeRatio(const StateColors& c, const QColor& border, int borderWidth, FillStyle fill,
                 const QColor& page) {
    const double ofFill = worstFill(c, fill, page);
    return borderWidth > 0 ? std::max(ofFill, ratio(border, page)) : ofFill;
}

QList<Issue> issues(const GlimmerSettings& s, double minimum) {
    return textIssues(DarkColors::light(s), s.fillStyle, minimum);
}

QList<Issue> textIssues(const SchemeColors& colors, FillStyle fill, double minimum) {
    QList<Issue> out;
    for (int i = 0; i < ButtonStateCount; ++i)
        if (const double r = textRatio(colors.states[i], fill); r < minimum)
            out << Issue{static_cast<ButtonState>(i), r};
    return out;
}

QList<Issue> edgeIssues(const SchemeColors& colors, const GlimmerSettings& s, const QColor& page,
                        double minimum) {
    QList<Issue> out;
    for (int i = 0; i < ButtonStateCount; ++i)
        if (const double r =
                edgeRatio(colors.states[i], colors.border, s.borderWidth, s.fillStyle, page);
            r < minimum)
            out << Issue{static_cast<ButtonState>(i), r};
    return out;
}

} // namespace Contrast
