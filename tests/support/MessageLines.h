#pragma once

#include <QStringList>

#include <algorithm>

// Each message's own text, before the line that gives the reason.
inline QStringList firstLines(const QStringList& messages) {
    QStringList lines;
    for (const QString& message : messages)
        lines << message.section(QLatin1Char('\n'), 0, 0);
    return lines;
}

// Every message carries a second line: the reason under the system's text.
inline bool allGiveReasons(const QStringList& messages) {
    return std::all_of(messages.cbegin(), messages.cend(), [](const QString& message) {
        return !message.section(QLatin1Char('\n'), 1).trimmed().isEmpty();
    });
}
