#include "platform/SafeFile.h"

#include "platform/Paths.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

constexpr qint64 kCopyChunk = 1 << 20;

QString strError(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

bool fail(QString* error, const QString& why) {
    if (error) *error = why;
    return false;
}

// Opens a new file of a name no file has, never through a link.
int createUnique(const QByteArray& prefix, const QByteArray& suffix, mode_t mode,
                 QByteArray* name) {
    for (int attempt = 0; attempt < 64; ++attempt) {
        const QByteArray candidate =
            prefix + QByteArray::number(QRandomGenerator::system()->generate64(), 36) + suffix;
        const int fd = ::open(candidate.constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0) {
            *name = candidate;
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    errno = EEXIST;
    return -1;
}

// A file being replaced: the new bytes go to a temporary file beside it,
// which takes its place only in Finish; until then, and on any failure,
// the file is as it was and the temporary file is removed.
class Replacement {
public:
    explicit Replacement(const QString& path) : m_strPath(path) {}
    ~Replacement() {
        if (m_fd >= 0) ::close(m_fd);
        if (!m_temp.isEmpty()) ::unlink(m_temp.constData());
    }
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

    // `modeLimit`: permission bits the new file may have at most.
    bool Open(mode_t modeLimit, QString* error) {
        // A link is written through, as editors do: the file it leads to is replaced.
        m_target = PathBytes(m_strPath);
        struct stat old {};
        if (::lstat(m_target.constData(), &old) == 0 && S_ISLNK(old.st_mode)) {
            char* real = ::realpath(m_target.constData(), nullptr);
            if (!real) return cannot(error, QStringLiteral("it is a link that leads nowhere"));
            m_target = real;
            std::free(real);
        }
        const bool exists = ::stat(m_target.constData(), &old) == 0;
        if (exists && S_ISDIR(old.st_mode)) return cannot(error, QStringLiteral("it is a folder"));
        if (exists && !S_ISREG(old.st_mode))
            return cannot(error, QStringLiteral("it is not a regular file"));
        const qsizetype slash = m_target.lastIndexOf('/');
        const QByteArray folder = slash < 0 ? QByteArray(".") : m_target.left(slash + 1);
        const QByteArray name = m_target.mid(slash + 1);
        // Private until it has the old file's owner and mode; a new file's
        // mode is the umask's, as the kernel gives it.
        m_fd = createUnique(folder + "." + name + ".", QByteArray(".tmp"), exists ? 0600 : 0666,
                            &m_temp);
        if (m_fd < 0) return cannot(error, strError(errno));
        struct stat made {};
        if (::fstat(m_fd, &made) != 0) return cannot(error, strError(errno));
        const mode_t mode = (exists ? old.st_mode : made.st_mode) & 07777 & modeLimit;
        if (exists && (old.st_uid != made.st_uid || old.st_gid != made.st_gid) &&
            ::fchown(m_fd, old.st_uid, old.st_gid) != 0) {
            m_bOwnerLost = true;
            return cannot(error, "its owner and group (" + QString::number(old.st_uid) + ":" +
                                     QString::number(old.st_gid) +
                                     ") cannot be kept: " + strError(errno));
        }
        if ((made.st_mode & 07777) != mode && ::fchmod(m_fd, mode) != 0)
            return cannot(error, strError(errno));
        return true;
    }

    bool Write(const char* data, qint64 size, QString* error) {
        while (size > 0) {
            const ssize_t written = ::write(m_fd, data, size_t(size));
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) return cannot(error, strError(written < 0 ? errno : ENOSPC));
            data += written;
            size -= written;
        }
        return true;
    }

    Replaced Finish(const LastCheck& check, QString* error) {
        if (::fsync(m_fd) != 0 || ::close(std::exchange(m_fd, -1)) != 0) {
            cannot(error, strError(errno));
            return Replaced::Failed;
        }
        if (check) {
            if (const QString why = check(); !why.isEmpty()) {
                fail(error, why);
                return Replaced::Refused;
            }
        }
        if (::rename(m_temp.constData(), m_target.constData()) != 0) {
            cannot(error, strError(errno));
            return Replaced::Failed;
        }
        m_temp.clear();
        return Replaced::Written;
    }

    // Open failed for a reason of the file's own, not of the disk.
    bool OwnerLost() const { return m_bOwnerLost; }

private:
    bool cannot(QString* error, const QString& why) const {
        return fail(error, "Cannot write " + m_strPath + ": " + why);
    }

    QString m_strPath;
    QByteArray m_target;
    QByteArray m_temp;
    int m_fd = -1;
    bool m_bOwnerLost = false;
};

} // namespace

Replaced ReplaceFileSafely(const QString& path, const QByteArray& bytes, const LastCheck& check,
                           QString* error) {
    Replacement file(path);
    if (!file.Open(07777, error)) return file.OwnerLost() ? Replaced::Refused : Replaced::Failed;
    if (!file.Write(bytes.constData(), bytes.size(), error)) return Replaced::Failed;
    return file.Finish(check, error);
}

bool WriteFileSafely(const QString& path, const QByteArray& bytes, QString* error) {
    return ReplaceFileSafely(path, bytes, {}, error) == Replaced::Written;
}

bool CopyFileSafely(const QString& source, const QString& target, QString* error) {
    // A folder, a device or a pipe is no file to copy: reading one could
    // block for ever or copy what was never meant.
    const QFileInfo from(source);
    if (!from.exists()) return fail(error, "Cannot read " + source + ": no such file");
    if (!from.isFile()) return fail(error, "Cannot read " + source + ": it is not a regular file");
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(error, "Cannot read " + source + ": " + in.errorString());
    struct stat st {};
    if (::fstat(in.handle(), &st) != 0)
        return fail(error, "Cannot read " + source + ": " + strError(errno));
    Replacement out(target);
    if (!out.Open(st.st_mode & 07777, error)) return false;
    QByteArray chunk;
    for (;;) {
        chunk = in.read(kCopyChunk);
        if (in.error() != QFileDevice::NoError)
            return fail(error, "Cannot read " + source + ": " + in.errorString());
        if (chunk.isEmpty()) break;
        if (!out.Write(chunk.constData(), chunk.size(), error)) return false;
    }
    return out.Finish({}, error) == Replaced::Written;
}

QString CreateUniqueFile(const QString& folder, const QString& stem, const QString& suffix,
                         QString* error) {
    QByteArray name;
    const int fd = createUnique(PathBytes(folder + "/" + stem), PathBytes(suffix), 0600, &name);
    if (fd < 0) {
        fail(error, "Cannot make a file in " + folder + ": " + strError(errno));
        return {};
    }
    ::close(fd);
    return PathFromBytes(name);
}

QString WhyNotWritable(const QString& path) {
    const QFileInfo file(path);
    const QString folder = file.absolutePath();
    if (!QFileInfo(folder).isDir()) return "The folder " + folder + " does not exist.";
    if (file.isDir()) return path + " is a folder.";
    // The same test the kernel makes: modes, a read-only mount, root.
    const QByteArray probe = QFile::encodeName(file.exists() ? path : folder);
    if (::access(probe.constData(), W_OK) != 0)
        return strError(errno) + ": " + (file.exists() ? path : folder);
    struct statvfs space {};
    if (::statvfs(QFile::encodeName(folder).constData(), &space) == 0 && space.f_bavail == 0)
        return strError(ENOSPC) + ": " + folder;
    return {};
}

bool RemoveFile(const QString& path, QString* error) {
    QFile file(path);
    if (file.remove()) return true;
    return fail(error, file.errorString());
}

} // namespace platform
