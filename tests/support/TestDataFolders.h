#pragma once

#include "support/Files.h"

#include <QFile>
#include <QTemporaryDir>

// Points the desktop's data folders at a temporary one for the object's
// lifetime, so that desktop entries are the test's own.
class TestDataFolders {
public:
    TestDataFolders()
        : m_home(qEnvironmentVariable("XDG_DATA_HOME")),
          m_dirs(qEnvironmentVariable("XDG_DATA_DIRS")) {
        qputenv("XDG_DATA_HOME", (m_root.path() + "/home").toLocal8Bit());
        qputenv("XDG_DATA_DIRS", (m_root.path() + "/system").toLocal8Bit());
    }
    ~TestDataFolders() {
        qputenv("XDG_DATA_HOME", m_home.toLocal8Bit());
        qputenv("XDG_DATA_DIRS", m_dirs.toLocal8Bit());
    }
    void entry(const QString& where, const QString& id, const QString& keys) {
        writeFile(
            m_root.path() + "/" + where + "/applications/" + id,
            ("[Desktop Entry]\nType=Application\n" + keys + "\n[Desktop Action New]\nName=Other\n")
                .toUtf8());
    }
    QString program(const QString& name) {
        QString path = m_root.path() + "/bin/" + name;
        writeFile(path, "#!/bin/sh\n");
        QFile(path).setPermissions(QFile::ExeOwner | QFile::ReadOwner);
        return path;
    }

private:
    QTemporaryDir m_root;
    QString m_home, m_dirs;
};
