#pragma once
#include "GlimmerSettings.h"

#include <QDir>

// Settings in which every member differs from its default, so that a lost
// member shows up in any comparison.
inline GlimmerSettings
everySettingChanged(const QString& mediaFolder = QStringLiteral("/media/lib")) {
    GlimmerSettings s;
    s.caption = QStringLiteral("Buy \u00e9t\u00e9 \U0001F600");
    s.fontFamily = QStringLiteral("Georgia");
    s.fontSize = 21;
    s.fontWeight = 300;
    s.fillStyle = FillStyle::Solid;
    for (int i = 0; i < ButtonStateCount; ++i)
        s.states[i] = {QColor(10 + i, 20, 30), QColor(200, 210 + i, 220),
                       QColor(100, 110, 120 + i)};
    s.width = 301;
    s.height = 61;
    s.cornerRadius = 17;
    s.borderWidth = 3;
    s.borderColor = QColor(1, 2, 3);
    s.glimmerEnabled = false;
    s.glimmerColor = QColor(4, 5, 6);
    s.glimmerSpeed = 9;
    s.glimmerTrigger = GlimmerTrigger::Always;
    s.iconPath = QDir(mediaFolder).filePath(QStringLiteral("icon one.png"));
    s.iconPosition = IconPosition::Right;
    s.iconSize = 33;
    s.linkUrl = QStringLiteral("https://example.com/a?b=1&c=2#d");
    s.linkTarget = QStringLiteral("_parent");
    s.tooltip = QStringLiteral("Tip \"quoted\"");
    s.hoverSoundPath = QDir(mediaFolder).filePath(QStringLiteral("hover.ogg"));
    s.clickSoundPath = QStringLiteral("/elsewhere/click.mp3");
    s.darkScheme = DarkScheme::Custom;
    for (int i = 0; i < ButtonStateCount; ++i)
        s.darkStates[i] = {QColor(240 - i, 230, 220), QColor(20, 30 + i, 40),
                           QColor(50, 60, 70 + i)};
    s.darkBorderColor = QColor(7, 8, 9);
    s.pageColor = QColor(250, 240, 230);
    return s;
}
