#pragma once
#include "DarkColors.h"
#include "GlimmerSettings.h"

#include <QColor>
#include <QList>

// Legibility and visibility as the web content accessibility guidelines
// measure them.
namespace Contrast {

inline constexpr double MinimumRatio = 4.5;     // level AA for normal-size text (1.4.3)
inline constexpr double MinimumEdgeRatio = 3.0; // a control's boundary (1.4.11)

// Contrast ratio of two opaque colours, 1 to 21.
double ratio(const QColor& a, const QColor& b);

struct Issue {
    ButtonState state;
    double ratio; // the worst ratio found in that state
};

// The text against the worst of the fill colours in use (both stops of a
// gradient count).
double textRatio(const StateColors& colors, FillStyle fill);
// How far the button's boundary stands out from the page: the border where
// there is one, or the fill itself (its worst stop), whichever shows more.
double edgeRatio(const StateColors& colors, const QColor& border, int borderWidth, FillStyle fill,
                 const QColor& page);

// States whose text falls below the minimum in the light colours.
QList<Issue> issues(const GlimmerSettings& settings, double minimum = MinimumRatio);
// The same for the colours of any scheme.
QList<Issue> textIssues(const SchemeColors& colors, FillStyle fill, double minimum = MinimumRatio);
// States whose boundary falls below the minimum against `page`.
QList<Issue> edgeIssues(const SchemeColors& colors, const GlimmerSettings& settings,
                        const QColor& page, double minimum = MinimumEdgeRatio);

} // namespace Contrast
