#include "GlimmerSettings.h"

#include "FontCatalog.h"
#include "WebText.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

QColor opaque(const QColor& c) {
    return c.isValid() ? QColor::fromRgb(c.red(), c.green(), c.blue()) : QColor(Qt::black);
}

bool hasSuffix(const QString& path, std::initializer_list<const char*> suffixes) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return std::any_of(suffixes.begin(), suffixes.end(),
                       [&](const char* s) { return suffix == QLatin1String(s); });
}

// A media file name has to survive as one path segment of a web path.
bool isUsableMediaName(const QString& path) {
    if (path.isEmpty() || path.size() > Limits::PathLength) return false;
    const QString name = QFileInfo(path).fileName();
    if (name.isEmpty() || name.startsWith(QLatin1Char('.'))) return false;
    return std::none_of(name.begin(), name.end(), [](QChar c) {
        return c.category() == QChar::Other_Control || c == QLatin1Char('\\') || c.isSurrogate();
    });
}

QString cleanMediaPath(const QString& path, bool accepted) {
    return accepted && QFileInfo(path).isAbsolute() ? QDir::cleanPath(path) : QString();
}

} // namespace

std::array<StateColors, ButtonStateCount> GlimmerSettings::defaultStates() {
    return {{
        {QColor(0xff, 0xff, 0xff), QColor(0x1d, 0x5f, 0xa8), QColor(0x0e, 0x46, 0x86)},
        {QColor(0xff, 0xff, 0xff), QColor(0x17, 0x52, 0x94), QColor(0x0b, 0x3b, 0x72)},
        {QColor(0xff, 0xff, 0xff), QColor(0x0b, 0x3b, 0x72), QColor(0x17, 0x52, 0x94)},
        {QColor(0xff, 0xff, 0xff), QColor(0x17, 0x52, 0x94), QColor(0x0b, 0x3b, 0x72)},
    }};
}

QString cleanText(const QString& text, int maxLength, bool multiLine) {
    QString out;
    out.reserve(std::min<qsizetype>(text.size(), maxLength));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += c;
            out += text.at(++i);
            continue;
        }
        if (c.isSurrogate()) continue;
        const ushort u = c.unicode();
        if (multiLine && (u == '\n' || u == '\t')) {
            out += c;
            continue;
        }
        if (u < 0x20 || (u >= 0x7f && u < 0xa0)) continue;
        out += c;
    }
    out = multiLine ? out : out.trimmed();
    if (out.size() > maxLength) {
        out.truncate(maxLength);
        if (out.back().isHighSurrogate()) out.chop(1);
    }
    return multiLine ? out : out.trimmed();
}

void GlimmerSettings::normalize() {
    caption = cleanText(caption, Limits::CaptionLength);
    tooltip = cleanText(tooltip, Limits::TooltipLength);
    if (!FontCatalog::isKnown(fontFamily)) fontFamily = GlimmerSettings{}.fontFamily;
    fontSize = std::clamp(fontSize, Limits::MinFontSize, Limits::MaxFontSize);
    fontWeight = std::clamp((fontWeight + 50) / 100 * 100, 100, 900);

    for (StateColors& s : states) {
        s.text = opaque(s.text);
        s.fill = opaque(s.fill);
        s.fill2 = opaque(s.fill2);
    }
    width = std::clamp(width, Limits::MinWidth, Limits::MaxWidth);
    height = std::clamp(height, Limits::MinHeight, Limits::MaxHeight);
    cornerRadius = std::clamp(cornerRadius, 0, Limits::MaxCornerRadius);
    borderWidth = std::clamp(borderWidth, 0, Limits::MaxBorderWidth);
    borderColor = opaque(borderColor);
    for (StateColors& s : darkStates) {
        s.text = opaque(s.text);
        s.fill = opaque(s.fill);
        s.fill2 = opaque(s.fill2);
    }
    darkBorderColor = opaque(darkBorderColor);
    pageColor = opaque(pageColor);

    glimmerColor = opaque(glimmerColor);
    glimmerSpeed = std::clamp(glimmerSpeed, Limits::MinGlimmerSpeed, Limits::MaxGlimmerSpeed);
    iconSize = std::clamp(iconSize, Limits::MinIconSize, Limits::MaxIconSize);

    iconPath = cleanMediaPath(iconPath, isAcceptedIconFile(iconPath));
    hoverSoundPath = cleanMediaPath(hoverSoundPath, isAcceptedSoundFile(hoverSoundPath));
    clickSoundPath = cleanMediaPath(clickSoundPath, isAcceptedSoundFile(clickSoundPath));

    // A shortened address would lead somewhere else, so a long one is dropped.
    linkUrl = cleanText(linkUrl, Limits::UrlLength + 1);
    if (linkUrl.size() > Limits::UrlLength || (!linkUrl.isEmpty() && !WebText::isSafeLink(linkUrl)))
        linkUrl.clear();
    if (!isKnownLinkTarget(linkTarget)) linkTarget.clear();
}

QString stateName(ButtonState s) {
    switch (s) {
    case ButtonState::Normal:
        return QStringLiteral("normal");
    case ButtonState::Hover:
        return QStringLiteral("hover");
    case ButtonState::Pressed:
        return QStringLiteral("pressed");
    case ButtonState::Focus:
        return QStringLiteral("focus");
    }
    return {};
}

bool isKnownLinkTarget(const QString& target) {
    return target.isEmpty() || target == QLatin1String("_self") ||
           target == QLatin1String("_blank") || target == QLatin1String("_parent") ||
           target == QLatin1String("_top");
}

bool isAcceptedIconFile(const QString& path) {
    return isUsableMediaName(path) && hasSuffix(path, {"png", "jpg", "jpeg", "gif", "svg", "webp"});
}

bool isAcceptedSoundFile(const QString& path) {
    return isUsableMediaName(path) && hasSuffix(path, {"mp3", "wav", "ogg", "oga", "m4a"});
}
