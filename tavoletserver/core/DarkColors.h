#pragma once
#include "GlimmerSettings.h"

#include <QColor>

#include <array>

// The colours a button wears in one colour scheme.
struct SchemeColors {
    std::array<StateColors, ButtonStateCount> states;
    QColor border;

    const StateColors& state(ButtonState s) const { return states[static_cast<int>(s)]; }
    bool operator==(const SchemeColors&) const = default;
};

// The button on pages that follow a dark colour scheme.
namespace DarkColors {

// The dark page that the dark colours are made and checked for.
inline const QColor DarkPage = QColor(0x12, 0x12, 0x12);

SchemeColors light(const GlimmerSettings& settings);

// The "Automatic" variant: each colour's lightness mirrored with its hue
// kept, then moved as little as needed so that every state's text keeps
// 4.5:1 against its fills and the edge keeps 3:1 against the dark page (and
// against the light page where both can hold, since a page that ignores the
// scheme stays light around a dark-scheme button).
SchemeColors derive(const GlimmerSettings& settings);

// What the chosen dark scheme shows: the light colours, the derived ones or
// the user's own.
SchemeColors dark(const GlimmerSettings& settings);

} // namespace DarkColors
