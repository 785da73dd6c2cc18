#pragma once

#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>

// One table of sources that a safe copy must refuse or take, run against
// each of the system's copy helpers: only a regular file (or a link to one)
// is copied; a folder, a pipe or a device is refused with a reason, never
// read (a pipe would block for ever), and the target is left as it was.
using CopyHelper =
    std::function<bool(const QString& source, const QString& target, QString* error)>;

inline void CheckCopySources(const CopyHelper& copy) {
    QTemporaryDir dir;
    const QString target = dir.filePath("target.png");
    writeFile(dir.filePath("real.png"), "picture");
    QFile::link(dir.filePath("real.png"), dir.filePath("link.png"));
    QDir().mkpath(dir.filePath("folder.png"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("pipe.png")).constData(), 0600), 0);

    struct Case {
        QString source;
        bool copies;
    };
    const Case cases[] = {
        {dir.filePath("real.png"), true},     {dir.filePath("link.png"), true},
        {dir.filePath("folder.png"), false},  {dir.filePath("pipe.png"), false},
        {QStringLiteral("/dev/zero"), false}, {dir.filePath("missing.png"), false},
    };
    for (const Case& c : cases) {
        writeFile(target, "old");
        QString error;
        EXPECT_EQ(copy(c.source, target, &error), c.copies) << c.source.toStdString();
        EXPECT_EQ(readFile(target), c.copies ? "picture" : "old") << c.source.toStdString();
        EXPECT_EQ(error.isEmpty(), c.copies)
            << c.source.toStdString() << ": " << error.toStdString();
    }
    // No temporary file stays beside the target.
    EXPECT_EQ(entries(dir.path()),
              (QStringList{"folder.png", "link.png", "pipe.png", "real.png", "target.png"}));
}
