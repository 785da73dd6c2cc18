#pragma once
#include "GlimmerWidget.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Reads and writes widget files (.tvt). The layout is described at the top of
// WidgetFile.cpp.
class WidgetFile {
public:
    static constexpr int CurrentVersion = 1;
    static constexpr qint64 MaxFileSize = 256 * 1024;
    static const char* const FormatTag;

    // The widget held by `bytes`, or nothing (with the reason in `error`).
    // Relative media paths are taken from `baseDir`, the file's folder; one
    // that leads out of it is dropped.
    static std::optional<GlimmerWidget> parse(const QByteArray& bytes, const QString& baseDir,
                                              QString* error = nullptr);
    // The file text for `widget`; media under `baseDir` are written relative
    // to it, so that a folder of templates can move as a whole.
    static QByteArray serialize(const GlimmerWidget& widget, const QString& baseDir);

    static std::optional<GlimmerWidget> load(const QString& path, QString* error = nullptr);
    // Writes beside and renames over, so a failed save leaves the old file whole.
    static bool save(const GlimmerWidget& widget, const QString& path, QString* error = nullptr);
};
