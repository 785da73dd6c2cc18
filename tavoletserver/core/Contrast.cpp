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

} // namespace

namespace Contrast {

double ratio(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QList<Issue> issues(const GlimmerSettings& s, double minimum) {
    QList<Issue> out;
    for (int i = 0; i < ButtonStateCount; ++i) {
        const StateColors& c = s.states[i];
        double worst = ratio(c.text, c.fill);
        if (s.fillStyle == FillStyle::Gradient) worst = std::min(worst, ratio(c.text, c.fill2));
        if (worst < minimum) out << Issue{static_cast<ButtonState>(i), worst};
    }
    return out;
}

} // namespace Contrast
