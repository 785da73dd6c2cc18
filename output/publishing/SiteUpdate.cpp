#include "output/publishing/SiteUpdate.h"

#include "output/publishing/HtmlCode.h"
#include "output/publishing/Page.h"
#include "platform/Paths.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

QString PageOutcome::Text() const {
    switch (kind) {
    case Updated:
        return QStringLiteral("updated");
    case Current:
        return QStringLiteral("already current");
    case Skipped:
        return "skipped: " + strReason;
    case Failed:
        break;
    }
    return "failed: " + strReason;
}

const char* PageOutcome::Key() const {
    constexpr const char* keys[] = {"updated", "current", "skipped", "failed"};
    return keys[kind];
}

namespace SiteUpdate {

namespace {

bool inside(const QString& canonical, const QString& root) {
    return !canonical.isEmpty() && canonical.startsWith(root + QLatin1Char('/'));
}

// Where a path really leads, every link followed; empty when it leads nowhere.
QString canonical(const QString& path) {
    char* real = ::realpath(platform::PathBytes(path).constData(), nullptr);
    if (!real) return {};
    QString result = platform::PathFromBytes(real);
    std::free(real);
    return result;
}

QString strError(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

// The blocks of the widget `identity` (every one when it is empty).
QList<MarkedBlock> chosen(const QList<MarkedBlock>& blocks, const QString& identity) {
    QList<MarkedBlock> own;
    for (const MarkedBlock& block : blocks) {
        if (identity.isEmpty()) {
            own << block;
        } else if (block.identity == identity) {
            own << block;
            // One string shared by all: the list of a site's pages stays small.
            own.back().identity = identity;
        }
    }
    return own;
}

} // namespace

std::optional<QStringList> PageExtensions(const QString& extra, QString* error) {
    QStringList extensions{"htm", "html", "xhtml", "shtml"};
    static const QRegularExpression plain(QStringLiteral("^[a-z0-9_+-]{1,16}$"));
    for (QString ending :
         extra.split(QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts)) {
        ending = ending.toLower();
        if (ending.startsWith(QLatin1Char('.'))) ending.remove(0, 1);
        if (!plain.match(ending).hasMatch()) {
            if (error) *error = "\"" + ending + "\" is no file name ending";
            return std::nullopt;
        }
        if (!extensions.contains(ending)) extensions << ending;
    }
    return extensions;
}

PageFinder::PageFinder(const QStringList& paths, const QStringList& extensions) : m_named(paths) {
    for (const QString& extension : extensions)
        m_extensions << "." + extension.toLatin1();
}

bool PageFinder::isPageName(QByteArrayView name) const {
    return std::any_of(m_extensions.cbegin(), m_extensions.cend(), [&](const QByteArray& ending) {
        return name.size() > ending.size() &&
               name.sliced(name.size() - ending.size()).compare(ending, Qt::CaseInsensitive) == 0;
    });
}

FoundPage PageFinder::Next() {
    while (m_found.isEmpty()) {
        if (!m_pending.isEmpty())
            readFolder(m_pending.takeFirst());
        else if (!m_named.isEmpty())
            takeNamed(m_named.takeFirst());
        else
            return {};
    }
    return m_found.takeFirst();
}

bool PageFinder::firstTime(const struct stat& st) {
    const std::pair<quint64, quint64> file{quint64(st.st_dev), quint64(st.st_ino)};
    if (m_files.contains(file)) return false;
    m_files.insert(file);
    return true;
}

void PageFinder::takeNamed(const QString& given) {
    const QString path = QFileInfo(given).absoluteFilePath();
    struct stat st {};
    if (::stat(platform::PathBytes(path).constData(), &st) != 0) {
        m_found << FoundPage{
            path, {}, errno == ENOENT ? QStringLiteral("no such file or folder") : strError(errno)};
        return;
    }
    if (S_ISDIR(st.st_mode)) {
        const QString root = canonical(path);
        // A link back to the folder itself is the folder, already visited.
        if (!m_visited.contains(root)) {
            m_visited.insert(root);
            m_pending.append({path, root, root});
        }
        return;
    }
    // Named by the user: taken whatever its name, as the link it may be.
    if (firstTime(st))
        m_found << FoundPage{
            path, {}, S_ISREG(st.st_mode) ? QString() : QStringLiteral("it is not a regular file")};
}

void PageFinder::readFolder(const Folder& folder) {
    const auto problem = [&](const QString& path, const QString& why) {
        m_found << FoundPage{path, folder.strRoot, why};
    };
    DIR* dir = ::opendir(platform::PathBytes(folder.strPath).constData());
    if (!dir) return problem(folder.strPath, "cannot read the folder: " + strError(errno));
    const auto closeDir = qScopeGuard([dir] { ::closedir(dir); });
    QList<QByteArray> names;
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArrayView name(entry->d_name);
        if (name != "." && name != "..") names << name.toByteArray();
        errno = 0;
    }
    if (errno != 0) problem(folder.strPath, "cannot read the whole folder: " + strError(errno));
    std::sort(names.begin(), names.end());
    for (const QByteArray& name : std::as_const(names)) {
        const QString decoded = platform::PathFromBytes(name);
        const QString path = folder.strPath + QLatin1Char('/') + decoded;
        struct stat st {};
        if (::fstatat(dirfd(dir), name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            problem(path, strError(errno));
            continue;
        }
        // A link counts where it leads, and only inside the folder; what is
        // no link is where its folder is (asking costs a call per part of
        // its path).
        QString target = folder.strCanonical + QLatin1Char('/') + decoded;
        if (S_ISLNK(st.st_mode)) {
            if (::fstatat(dirfd(dir), name.constData(), &st, 0) != 0) {
                if (isPageName(name)) problem(path, "it is a link that leads nowhere");
                continue;
            }
            target = canonical(path);
            if (target != folder.strRoot && !inside(target, folder.strRoot)) continue;
        }
        if (S_ISDIR(st.st_mode)) {
            if (!m_visited.contains(target)) {
                m_visited.insert(target);
                m_pending.append({path, target, folder.strRoot});
            }
        } else if (!isPageName(name)) {
            continue;
        } else if (!S_ISREG(st.st_mode)) {
            problem(path, QStringLiteral("it is not a regular file"));
        } else if (firstTime(st)) {
            m_found << FoundPage{path, folder.strRoot, {}};
        }
    }
}

std::optional<PublishedPage> ScanPage(const QString& path, const QString& identity,
                                      QString* skipped) {
    skipped->clear();
    Page page;
    if (!page.Load(path, LineEnds::AsTheyAre, skipped, Page::IfMarked)) return std::nullopt;
    const BlockScan scan = page.Blocks();
    if (!scan.problem.isEmpty()) {
        *skipped = scan.problem;
        return std::nullopt;
    }
    QList<MarkedBlock> own = chosen(scan.blocks, identity);
    if (own.isEmpty()) return std::nullopt;
    return PublishedPage{path, std::move(own), page.EncodingName(), page.FileSize(),
                         page.FileHash()};
}

Updater::Updater(CTavolet& tavolet, const QString& identity, const QString& code,
                 bool copySupportFiles)
    : m_tavolet(tavolet), m_strIdentity(identity), m_strCode(code),
      m_bCopySupportFiles(copySupportFiles) {}

bool Updater::supportFilesWanted(const QString& folder) {
    if (!m_bCopySupportFiles || m_placed.contains(folder)) return false;
    if (!SupportFilesInPlace(m_tavolet, folder)) return true;
    m_placed.insert(folder);
    return false;
}

PageOutcome Updater::Update(const PublishedPage& scanned, const QString& root) {
    PageOutcome outcome{scanned.strPath, PageOutcome::Skipped, {}};
    const auto skip = [&](const QString& why) {
        outcome.strReason = why;
        return outcome;
    };
    struct stat st {};
    if (::stat(platform::PathBytes(scanned.strPath).constData(), &st) != 0)
        return skip(QStringLiteral("it no longer exists"));
    if (S_ISDIR(st.st_mode)) return skip(QStringLiteral("it is a folder now"));
    if (!root.isEmpty() && !m_roots.contains(root)) m_roots.insert(root, canonical(root));
    if (!root.isEmpty() && !inside(canonical(scanned.strPath), m_roots.value(root)))
        return skip(QStringLiteral("it leads outside the folder now"));
    Page page;
    if (!page.Load(scanned.strPath, LineEnds::AsTheyAre, &outcome.strReason, Page::IfMarked))
        return outcome;
    if (page.FileSize() != scanned.nSize || page.FileHash() != scanned.nHash)
        return skip(QStringLiteral("it changed on disk since the scan"));
    const int replaced = page.ReplaceBlocksOf(m_strIdentity, m_strCode);
    if (replaced < 0) return skip(QStringLiteral("its blocks can no longer be found"));
    if (replaced == 0) {
        outcome.kind = PageOutcome::Current;
        return outcome;
    }
    const QString folder = platform::FolderOfPath(scanned.strPath);
    const bool place = supportFilesWanted(folder);
    switch (PublishPage(m_tavolet, page, place, &outcome.strReason)) {
    case platform::Replaced::Written:
        outcome.kind = PageOutcome::Updated;
        outcome.strReason.clear();
        if (place) m_placed.insert(folder);
        break;
    case platform::Replaced::Refused:
        outcome.kind = PageOutcome::Skipped;
        break;
    case platform::Replaced::Failed:
        outcome.kind = PageOutcome::Failed;
        break;
    }
    return outcome;
}

} // namespace SiteUpdate
