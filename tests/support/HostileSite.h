#pragma once

#include "support/Files.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include <gtest/gtest.h>

// A site holding every case that made an update unsafe for a live site, each
// page with the widget's old block, and what must become of it: updated, or
// named with its reason and left byte for byte as it was, its owner, group,
// mode and other names kept, no file of the user's lost or written through.
// The window and the command line run the same site.
class HostileSite {
public:
    struct Case {
        QString name;    // below the site
        QString outcome; // "updated", a part of the reason, or empty: not named at all
    };

    HostileSite(const QString& folder, const QByteArray& identity, bool bSupportFilesPlaced)
        : m_strFolder(folder), m_block(Block(identity, "old")) {
        const QByteArray page = "<p>\n" + m_block + "</p>\n";
        add("plain.htm", page, "updated");
        // Files of the user's named like the transient widget file.
        add("index.htm", page, "updated");
        writeFile(path("index.restvt"), "the user's own file");
        writeFile(QDir(folder).filePath("../secret.txt"), "outside the site");
        QFile::link(QDir(folder).filePath("../secret.txt"), path("b.restvt"));
        add("b.htm", page, "updated");
        add("readonly.htm", page, "it is read-only");
        ::chmod(native("readonly.htm").constData(), 0440);
        add("kept.htm", page, "updated");
        ::chmod(native("kept.htm").constData(), 0640);
        // Root can give it a group of its own, as a web server's would be.
        if (Root() && ::chown(native("kept.htm").constData(), 0, 4242) != 0) ADD_FAILURE();
        add("hard-a.htm", page, "hard links");
        ::link(native("hard-a.htm").constData(), native("hard-b.htm").constData());
        m_cases << Case{"hard-b.htm", {}};
        add("same.htm", page, "updated");
        QFile::link(path("same.htm"), path("zz-same.htm"));
        m_cases << Case{"zz-same.htm", {}};
        ::mkfifo(native("pipe.htm").constData(), 0600);
        m_cases << Case{"pipe.htm", "not a regular file"};
        add("attr.htm", "<div title='" + m_block + "'>x</div>\n", "A marker inside a tag");
        add("textarea.htm", "<textarea>" + m_block + "</textarea>\n", "<textarea>");
        add("cdata.htm", "<![CDATA[" + m_block + "]]>\n", "CDATA");
        add("huge.htm", page, "too large");
        ::truncate(native("huge.htm").constData(), (qint64(1) << 30) + 1); // sparse
        m_pages.remove("huge.htm");
        const QByteArray badName = QFile::encodeName(path("bad")) + "\xff.htm";
        const int fd = ::open(badName.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0 || ::write(fd, page.constData(), size_t(page.size())) != page.size())
            ADD_FAILURE() << "cannot make a page whose name is not UTF-8";
        ::close(fd);
        m_cases << Case{platform::PathFromBytes("bad\xff.htm"), "updated"};
        m_pages.insert(m_cases.back().name, page);
        add("tab\tname.htm", page, "updated");
        // Where the support files' folder must go, a file is in the way.
        add("noplace/page.htm", page,
            bSupportFilesPlaced ? "support files could not be placed" : "updated");
        writeFile(path("noplace/glimmerkey"), "in the way");
        // Root reads any folder: the lock holds only for others.
        add("locked/page.htm", page, Root() ? "updated" : QString());
        if (!Root()) {
            m_cases << Case{"locked", "cannot read the folder"};
            ::chmod(native("locked").constData(), 0);
        }
    }
    ~HostileSite() {
        ::chmod(native("locked").constData(), 0755);
        // Qt cannot remove what it cannot name.
        ::unlink(platform::PathBytes(path(platform::PathFromBytes("bad\xff.htm"))).constData());
    }

    static bool Root() { return ::geteuid() == 0; }
    static QByteArray Block(const QByteArray& identity, const QByteArray& body) {
        return "<!--Insert By Mirovasta Glimmerkey-->\r\n<a data-tavolet-widget=\"" + identity +
               "\">" + body + "</a>\r\n<!--End of Glimmerkey-->\r\n";
    }
    QString path(const QString& name) const { return m_strFolder + "/" + name; }

    // `outcomeOf` gives what the run said of a path: "updated", the reason
    // it was skipped or failed, or empty when it named it not at all.
    void Check(const std::function<QString(const QString&)>& outcomeOf,
               const QByteArray& newBlock) {
        for (const Case& c : std::as_const(m_cases)) {
            const QString said = outcomeOf(path(c.name));
            SCOPED_TRACE(c.name.toStdString() + ": " + said.toStdString());
            if (c.outcome.isEmpty())
                EXPECT_TRUE(said.isEmpty());
            else
                EXPECT_TRUE(said.contains(c.outcome));
            if (!m_pages.contains(c.name)) continue;
            const QByteArray& before = m_pages[c.name];
            EXPECT_EQ(read(path(c.name)), c.outcome == u"updated"
                                              ? QByteArray(before).replace(m_block, newBlock)
                                              : before);
        }
        EXPECT_EQ(readFile(path("index.restvt")), "the user's own file");
        EXPECT_EQ(readFile(QDir(m_strFolder).filePath("../secret.txt")), "outside the site");
        EXPECT_TRUE(QFileInfo(path("b.restvt")).isSymLink());
        struct stat st {};
        ::stat(native("readonly.htm").constData(), &st);
        EXPECT_EQ(st.st_mode & 07777, 0440u);
        ::stat(native("kept.htm").constData(), &st);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        if (Root())
            EXPECT_EQ(st.st_gid, 4242u);
        else
            std::printf("[ NOTE ] not root: a page's group other than the user's was not tried\n");
        ::stat(native("hard-a.htm").constData(), &st);
        EXPECT_EQ(st.st_nlink, 2u);
        EXPECT_TRUE(QFileInfo(path("zz-same.htm")).isSymLink());
        // No transient widget file or temporary page stays behind.
        for (const QString& name : QDir(m_strFolder).entryList(QDir::Files | QDir::Hidden))
            EXPECT_FALSE(name.endsWith(".tmp") || (name.endsWith(".restvt") &&
                                                   name != u"index.restvt" && name != u"b.restvt"))
                << name.toStdString();
    }

private:
    // By the name's own bytes, valid UTF-8 or not.
    static QByteArray read(const QString& path) {
        QFile file;
        const int fd = ::open(platform::PathBytes(path).constData(), O_RDONLY);
        if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) return {};
        return file.readAll();
    }
    void add(const QString& name, const QByteArray& bytes, const QString& outcome) {
        writeFile(path(name), bytes);
        m_pages.insert(name, bytes);
        m_cases << Case{name, outcome};
    }
    QByteArray native(const QString& name) const { return QFile::encodeName(path(name)); }

    QString m_strFolder;
    QByteArray m_block;
    QList<Case> m_cases;
    QHash<QString, QByteArray> m_pages;
};
