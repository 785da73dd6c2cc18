#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A tmpfs of a few KiB mounted on a fresh temporary folder for the test's
// lifetime, so that a full, read-only or busy file system is real and not
// faked. Mounting needs root (CI runs as root); without it available() is
// false and why() says so, and the caller skips rather than passing silently.
class TinyFileSystem {
public:
    explicit TinyFileSystem(int kibibytes = 64);
    ~TinyFileSystem(); // unmounts (lazily when busy) and removes the folder
    TinyFileSystem(const TinyFileSystem&) = delete;
    TinyFileSystem& operator=(const TinyFileSystem&) = delete;

    bool available() const { return m_why.isEmpty(); }
    QString why() const { return m_why; }
    QString path() const { return m_mountPoint; } // no trailing slash
    QString filePath(const QString& name) const { return m_mountPoint + QLatin1Char('/') + name; }

    // Takes every free byte with the hidden file ".filler" at the top, so
    // that the next write of a new byte fails with ENOSPC; `leaveBytes`
    // gives some back (4096: the one free page of a nearly full disk).
    void fill(qint64 leaveBytes = 0);
    // Root ignores permission bits, so a read-only mount is the only honest
    // read-only folder.
    void makeReadOnly();
    void makeWritable();
    // Bind-mounts an empty file over `path` (which must exist): renaming onto
    // it fails with EBUSY, a real failure between a copy and its rename.
    // Undone by unbusy() or the destructor.
    void makeBusy(const QString& path);
    void unbusy(const QString& path);

private:
    void remount(unsigned long flags);

    QTemporaryDir m_root; // holds the mount point and the empty file for makeBusy
    QString m_mountPoint;
    QString m_options;
    QString m_why;
    QStringList m_busy;
};

#define REQUIRE_TINY_FS(fs)                                                                        \
    if (!(fs).available()) GTEST_SKIP() << (fs).why().toStdString()
