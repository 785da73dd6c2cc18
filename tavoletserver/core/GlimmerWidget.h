#pragma once
#include "GlimmerSettings.h"
#include "platform/DispatchContract.h"

#include <QDateTime>
#include <QSize>
#include <QString>
#include <QUuid>

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
    // Which widget a published block came from; written into the body code
    // but kept out of the widget key, so it never renames a published class.
    // Empty until the server gives one (a template's file holds none).
    QString identity;
    // Not stored: the size a file asked for when it was below today's
    // smallest button and was enlarged on load; empty otherwise.
    QSize enlargedFrom;

    static constexpr int NameLength = 200;
    static constexpr int DescriptionLength = 2000;
    static constexpr int AuxTextLength = 8000;
    static QString newIdentity() { return QUuid::createUuid().toString(QUuid::WithoutBraces); }

    // Cleans the texts (see cleanText) and normalises the settings.
    void normalize() {
        ownerProgId = cleanText(ownerProgId, NameLength);
        name = cleanText(name, NameLength);
        description = cleanText(description, DescriptionLength, true);
        auxText = cleanText(auxText, AuxTextLength, true);
        if (saveTime.isValid()) saveTime = saveTime.toUTC();
        if (!dispatch::IsWidgetIdentity(identity)) identity.clear();
        settings.normalize();
    }

    bool operator==(const GlimmerWidget&) const = default;
};
