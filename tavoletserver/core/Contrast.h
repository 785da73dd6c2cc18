#pragma once
#include "GlimmerSettings.h"

#include <QColor>
#include <QList>

// Text legibility as the web content accessibility guidelines measure it.
namespace Contrast {

inline constexpr double MinimumRatio = 4.5; // level AA for normal-size text

// Contrast ratio of two opaque colours, 1 to 21.
double ratio(const QColor& a, const QColor& b);

struct Issue {
    ButtonState state;
    double ratio; // the worst ratio of the text against the fill colours in use
};

// States whose text falls below the minimum against any fill colour it is
// drawn on (both stops of a gradient count).
QList<Issue> issues(const GlimmerSettings& settings, double minimum = MinimumRatio);

} // namespace Contrast
