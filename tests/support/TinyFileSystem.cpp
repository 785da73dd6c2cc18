#include "TinyFileSystem.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

QString lastError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

// Undoes a mount; a mount still in use is detached instead, so that a
// failing test never leaves it behind.
bool unmount(const QString& path) {
    return ::umount2(native(path).constData(), 0) == 0 ||
           ::umount2(native(path).constData(), MNT_DETACH) == 0;
}

QString emptyFile(const QTemporaryDir& root) {
    return root.filePath(QStringLiteral("empty"));
}

} // namespace

TinyFileSystem::TinyFileSystem(int kibibytes)
    : m_options(QStringLiteral("size=%1k,mode=0755").arg(kibibytes)) {
    if (!m_root.isValid()) {
        m_why = QStringLiteral("no temporary folder: ") + m_root.errorString();
        return;
    }
    m_mountPoint = m_root.filePath(QStringLiteral("mnt"));
    QFile empty(emptyFile(m_root));
    if (!QDir().mkpath(m_mountPoint) || !empty.open(QIODevice::WriteOnly)) {
        m_why = QStringLiteral("cannot prepare ") + m_root.path();
        return;
    }
    if (::mount("tinyfs", native(m_mountPoint).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                m_options.toLatin1().constData()) != 0)
        m_why = QStringLiteral("cannot mount a tmpfs on %1 (needs root): %2")
                    .arg(m_mountPoint, lastError());
}

TinyFileSystem::~TinyFileSystem() {
    while (!m_busy.isEmpty())
        unbusy(m_busy.last());
    if (available() && !unmount(m_mountPoint))
        ADD_FAILURE() << "cannot unmount " << m_mountPoint.toStdString() << ": "
                      << lastError().toStdString();
}

void TinyFileSystem::fill(qint64 leaveBytes) {
    const int fd = ::open(native(filePath(QStringLiteral(".filler"))).constData(),
                          O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        ADD_FAILURE() << "cannot create the filler: " << lastError().toStdString();
        return;
    }
    const QByteArray page(4096, 'f');
    while (::write(fd, page.constData(), page.size()) > 0) {
    }
    const int error = errno;
    const off_t size = ::lseek(fd, 0, SEEK_END);
    if (leaveBytes > 0 && ::ftruncate(fd, size > leaveBytes ? size - leaveBytes : 0) != 0)
        ADD_FAILURE() << "cannot free " << leaveBytes << " bytes: " << lastError().toStdString();
    ::close(fd);
    if (error != ENOSPC)
        ADD_FAILURE() << "filling stopped without ENOSPC: " << std::strerror(error);
}

void TinyFileSystem::makeReadOnly() {
    remount(MS_RDONLY);
}

void TinyFileSystem::makeWritable() {
    remount(0);
}

void TinyFileSystem::remount(unsigned long flags) {
    if (::mount(nullptr, native(m_mountPoint).constData(), nullptr, MS_REMOUNT | flags,
                m_options.toLatin1().constData()) != 0)
        ADD_FAILURE() << "cannot remount " << m_mountPoint.toStdString() << ": "
                      << lastError().toStdString();
}

void TinyFileSystem::makeBusy(const QString& path) {
    if (::mount(native(emptyFile(m_root)).constData(), native(path).constData(), nullptr, MS_BIND,
                nullptr) != 0) {
        ADD_FAILURE() << "cannot bind-mount over " << path.toStdString() << ": "
                      << lastError().toStdString();
        return;
    }
    m_busy << path;
}

void TinyFileSystem::unbusy(const QString& path) {
    if (!m_busy.removeOne(path)) return;
    if (!unmount(path))
        ADD_FAILURE() << "cannot unmount " << path.toStdString() << ": "
                      << lastError().toStdString();
}
