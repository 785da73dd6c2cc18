#pragma once
#include <QColor>
#include <QString>

#include <array>

// Everything that shapes one button as it appears on a web page. The values
// are kept normalised (see normalize()) so that code generation and the
// preview may rely on every number, colour and address being within bounds.

enum class ButtonState { Normal, Hover, Pressed, Focus };
inline constexpr int ButtonStateCount = 4;

enum class FillStyle { Solid, Gradient };
enum class GlimmerTrigger { Always, Hover };
enum class IconPosition { Left, Right };
// What the button wears on pages that follow a dark colour scheme.
enum class DarkScheme { Same, Automatic, Custom };

struct StateColors {
    QColor text;
    QColor fill;
    QColor fill2; // second gradient stop; unused by a solid fill but kept for switching back
    bool operator==(const StateColors&) const = default;
};

// Bounds for every number and text the user can set.
namespace Limits {
// Texts are bounded so that the code of any widget without media stays
// under 8 KB even when every character must be escaped; the widget's
// identity attribute (at most 86 bytes) comes on top.
inline constexpr int CaptionLength = 80;
inline constexpr int TooltipLength = 120;
inline constexpr int UrlLength = 512;
inline constexpr int PathLength = 4096;
inline constexpr int MinFontSize = 8, MaxFontSize = 72;
// A pointer target of at least 24 x 24 CSS pixels (WCAG 2.2, 2.5.8).
inline constexpr int MinPointerTarget = 24;
inline constexpr int MinWidth = 40, MaxWidth = 640;
inline constexpr int MinHeight = MinPointerTarget, MaxHeight = 240;
inline constexpr int MaxCornerRadius = 120;
inline constexpr int MaxBorderWidth = 12;
inline constexpr int MinGlimmerSpeed = 1, MaxGlimmerSpeed = 10;
inline constexpr int MinIconSize = 8, MaxIconSize = 128;
} // namespace Limits

struct GlimmerSettings {
    QString caption = QStringLiteral("Click me");
    QString fontFamily = QStringLiteral("Verdana");
    int fontSize = 16;
    int fontWeight = 700; // CSS weight, 100..900 in steps of 100

    FillStyle fillStyle = FillStyle::Gradient;
    std::array<StateColors, ButtonStateCount> states = defaultStates();

    int width = 160;
    int height = 44;
    int cornerRadius = 8;
    int borderWidth = 1;
    QColor borderColor = QColor(0x0b, 0x3d, 0x6e);

    bool glimmerEnabled = true;
    QColor glimmerColor = QColor(0xff, 0xff, 0xff);
    int glimmerSpeed = 5; // 1 slowest .. 10 fastest
    GlimmerTrigger glimmerTrigger = GlimmerTrigger::Hover;

    QString iconPath; // absolute, or empty for no icon
    IconPosition iconPosition = IconPosition::Left;
    int iconSize = 18;

    QString linkUrl;    // empty: a plain <button>
    QString linkTarget; // "", "_self", "_blank", "_parent" or "_top"
    QString tooltip;

    QString hoverSoundPath;
    QString clickSoundPath;

    DarkScheme darkScheme = DarkScheme::Same;
    // The user's own dark colours; used only by DarkScheme::Custom but kept
    // for switching back.
    std::array<StateColors, ButtonStateCount> darkStates = defaultStates();
    QColor darkBorderColor = QColor(0x9e, 0xc5, 0xf0);

    // The page the preview and the contrast checks assume; it does not shape
    // the widget's code.
    QColor pageColor = QColor(0xff, 0xff, 0xff);

    StateColors& state(ButtonState s) { return states[static_cast<int>(s)]; }
    const StateColors& state(ButtonState s) const { return states[static_cast<int>(s)]; }

    // Sweep period of the glimmer band in milliseconds.
    int glimmerPeriodMs() const { return 4400 - 400 * glimmerSpeed; }

    // Clamps numbers, trims and truncates texts, makes colours opaque RGB and
    // drops what cannot be trusted: an unsafe link, an unknown target or font,
    // a media file of the wrong kind.
    void normalize();

    bool operator==(const GlimmerSettings&) const = default;

    static std::array<StateColors, ButtonStateCount> defaultStates();
};

QString stateName(ButtonState s);
bool isKnownLinkTarget(const QString& target);
// Media files that may be chosen as icon or sound, judged by the file name.
bool isAcceptedIconFile(const QString& path);
bool isAcceptedSoundFile(const QString& path);
// Texts lose control characters (except where multi-line text is allowed),
// lone surrogates and surrounding blanks, and are cut to the limit.
QString cleanText(const QString& text, int maxLength, bool multiLine = false);
