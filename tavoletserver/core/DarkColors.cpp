#include "DarkColors.h"

#include "Contrast.h"

#include <QList>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

namespace {

// Oklab: a lightness that follows what the eye sees, with hue and chroma
// apart from it, so that mirroring lightness keeps a colour recognisable.
struct Lab {
    double L, a, b;
};

double toLinear(int v) {
    const double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double fromLinear(double c) {
    return c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
}

Lab toLab(const QColor& c) {
    const double r = toLinear(c.red()), g = toLinear(c.green()), b = toLinear(c.blue());
    const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
    const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
    const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
    return {0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
            1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
            0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}

// Linear RGB of a Lab colour; false when it lies outside sRGB.
bool toLinearRgb(const Lab& c, double rgb[3]) {
    const double l = std::pow(c.L + 0.3963377774 * c.a + 0.2158037573 * c.b, 3);
    const double m = std::pow(c.L - 0.1055613458 * c.a - 0.0638541728 * c.b, 3);
    const double s = std::pow(c.L - 0.0894841775 * c.a - 1.2914855480 * c.b, 3);
    rgb[0] = 4.0767416621 * l - 3.3077115913 * m + 0.2309699292 * s;
    rgb[1] = -1.2684380046 * l + 2.6097574011 * m - 0.3413193965 * s;
    rgb[2] = -0.0041960863 * l - 0.7034186147 * m + 1.7076147010 * s;
    constexpr double slack = 1e-7;
    return std::all_of(rgb, rgb + 3, [](double v) { return v >= -slack && v <= 1 + slack; });
}

// The colour of lightness L with the hue of `hue`; chroma is given up only
// as far as sRGB needs.
QColor withLightness(const Lab& hue, double L) {
    double rgb[3];
    if (!toLinearRgb({L, hue.a, hue.b}, rgb)) {
        double in = 0, out = 1;
        for (int i = 0; i < 14; ++i) {
            const double k = (in + out) / 2;
            (toLinearRgb({L, hue.a * k, hue.b * k}, rgb) ? in : out) = k;
        }
        toLinearRgb({L, hue.a * in, hue.b * in}, rgb);
    }
    auto byte = [](double v) {
        return static_cast<int>(std::lround(255 * fromLinear(std::clamp(v, 0.0, 1.0))));
    };
    return QColor(byte(rgb[0]), byte(rgb[1]), byte(rgb[2]));
}

QColor mirrored(const QColor& c) {
    const Lab lab = toLab(c);
    return withLightness(lab, 1 - lab.L);
}

// The colour nearest to `c` in lightness, of the same hue, that `fits`;
// nothing when no lightness does. `towards` 0 looks both ways, -1 only
// darker, +1 only lighter.
std::optional<QColor>
nearestFitting(const QColor& c, const std::function<bool(const QColor&)>& fits, int towards = 0) {
    if (fits(c)) return c;
    const Lab lab = toLab(c);
    constexpr int steps = 200;
    const int start = static_cast<int>(std::lround(std::clamp(lab.L, 0.0, 1.0) * steps));
    for (int d = 1; d <= steps; ++d)
        for (const int i : {start + d, start - d}) {
            if (i < 0 || i > steps || (towards > 0 && i < start) || (towards < 0 && i > start))
                continue;
            const QColor candidate = withLightness(lab, double(i) / steps);
            if (fits(candidate)) return candidate;
        }
    return std::nullopt;
}

class Deriver {
public:
    explicit Deriver(const GlimmerSettings& s) : m_s(s) {
        // Both pages only where some colour can stand out from both.
        for (int v = 0; v < 256 && !m_bothPages; ++v) {
            const QColor grey(v, v, v);
            m_bothPages =
                Contrast::ratio(grey, DarkColors::DarkPage) >= Contrast::MinimumEdgeRatio &&
                Contrast::ratio(grey, s.pageColor) >= Contrast::MinimumEdgeRatio;
        }
    }

    SchemeColors run() const {
        SchemeColors out;
        out.border = mirrored(m_s.borderColor);
        if (m_s.borderWidth > 0)
            out.border = nearestFitting(out.border, edgeFits()).value_or(out.border);
        for (int i = 0; i < ButtonStateCount; ++i)
            out.states[i] = state(m_s.states[i]);
        return out;
    }

private:
    std::function<bool(const QColor&)> edgeFits() const {
        return [this](const QColor& c) {
            return Contrast::ratio(c, DarkColors::DarkPage) >= Contrast::MinimumEdgeRatio &&
                   (!m_bothPages ||
                    Contrast::ratio(c, m_s.pageColor) >= Contrast::MinimumEdgeRatio);
        };
    }

    bool fillIsEdge() const { return m_s.borderWidth == 0; }

    QList<QColor*> stops(StateColors& c) const {
        if (m_s.fillStyle == FillStyle::Gradient) return {&c.fill, &c.fill2};
        return {&c.fill};
    }

    StateColors state(const StateColors& light) const {
        StateColors c{mirrored(light.text), mirrored(light.fill), mirrored(light.fill2)};
        if (fillIsEdge())
            for (QColor* stop : stops(c))
                *stop = nearestFitting(*stop, edgeFits()).value_or(*stop);

        // The text keeps the side of lightness it was mirrored to, so that all
        // states read alike: first it moves towards its end, then the fills
        // move away from it, and only then does it change sides.
        const bool darkText = toLab(c.text).L < 0.5;
        const QList<QColor*> fills = stops(c);
        auto readsOn = [&](const QColor& text) {
            return std::all_of(fills.begin(), fills.end(), [&](const QColor* f) {
                return Contrast::ratio(text, *f) >= Contrast::MinimumRatio;
            });
        };
        if (const auto text = nearestFitting(c.text, readsOn, darkText ? -1 : 1)) {
            c.text = *text;
            return c;
        }
        for (const QColor& text : darkText ? std::array{QColor(Qt::black), QColor(Qt::white)}
                                           : std::array{QColor(Qt::white), QColor(Qt::black)})
            if (auto moved = withFillsAwayFrom(c, text)) return *moved;
        return c;
    }

    // `c` with `text` and its fills moved as little as needed to read 4.5:1
    // against it (and to keep the edge, where the fill is the edge).
    std::optional<StateColors> withFillsAwayFrom(StateColors c, const QColor& text) const {
        c.text = text;
        for (QColor* stop : stops(c)) {
            const auto moved = nearestFitting(*stop, [&](const QColor& f) {
                return Contrast::ratio(text, f) >= Contrast::MinimumRatio &&
                       (!fillIsEdge() || edgeFits()(f));
            });
            if (!moved) return std::nullopt;
            *stop = *moved;
        }
        return c;
    }

    const GlimmerSettings& m_s;
    bool m_bothPages = false;
};

} // namespace

namespace DarkColors {

SchemeColors light(const GlimmerSettings& s) {
    return {s.states, s.borderColor};
}

SchemeColors derive(const GlimmerSettings& s) {
    return Deriver(s).run();
}

SchemeColors dark(const GlimmerSettings& s) {
    switch (s.darkScheme) {
    case DarkScheme::Same:
        break;
    case DarkScheme::Automatic:
        return derive(s);
    case DarkScheme::Custom:
        return {s.darkStates, s.darkBorderColor};
    }
    return light(s);
}

} // namespace DarkColors
