#pragma once
#include "GlimmerSettings.h"

#include <QDateTime>
#include <QSize>
#include <QString>

inline constexpr char GlimmerProgId[] = "TavoletServer.Glimmerkey";

// One widget as a widget file holds it: the button's settings and the
// host's bookkeeping about it.
struct GlimmerWidget {
    QString ownerProgId = QString::fromLatin1(GlimmerProgId);
    QString name = QStringLiteral("Normal");
    QString description;
    QString auxText;
    QDateTime saveTime;
    GlimmerSettings settings;
    // Not stored: the size a file asked for when it was below today's
    // smallest button and was enlarged on load; empty otherwise.
    QSize enlargedFrom;

    static constexpr int NameLength = 200;
    static constexpr int DescriptionLength = 2000;
    static constexpr int AuxTextLength = 8000;

    // Cleans the texts (see cleanText) and normalises the settings.
    void normalize() {
        ownerProgId = cleanText(ownerProgId, NameLength);
        name = cleanText(name, NameLength);
        description = cleanText(description, DescriptionLength, true);
        auxText = cleanText(auxText, AuxTextLength, true);
        if (saveTime.isValid()) saveTime = saveTime.toUTC();
        settings.normalize();
    }

    bool operator==(const GlimmerWidget&) const = default;
};
