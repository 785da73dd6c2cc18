#include "output/SiteUpdate.h"

#include "output/HtmlCode.h"
#include "output/Page.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace SiteUpdate {

namespace {

bool isPage(const QFileInfo& file) {
    const QString suffix = file.suffix().toLower();
    return suffix == u"htm" || suffix == u"html";
}

bool inside(const QString& canonical, const QString& root) {
    return !canonical.isEmpty() && canonical.startsWith(root + QLatin1Char('/'));
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

PageFinder::PageFinder(const QString& folder) : m_strRoot(QFileInfo(folder).canonicalFilePath()) {
    if (m_strRoot.isEmpty()) return;
    // A link back to the folder itself is the folder, already visited.
    m_visited.insert(m_strRoot);
    m_pending.append({m_strRoot, m_strRoot});
}

QString PageFinder::Next() {
    while (m_pages.isEmpty() && !m_pending.isEmpty()) {
        const auto [path, canonical] = m_pending.takeFirst();
        const QFileInfoList entries = QDir(path).entryInfoList(
            QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo& entry : entries) {
            // A link counts where it leads, and only inside the folder; what
            // is no link is where its folder is (asking costs a call per part
            // of its path).
            const QString target =
                entry.isSymLink() ? entry.canonicalFilePath() : canonical + '/' + entry.fileName();
            if (target != m_strRoot && !inside(target, m_strRoot)) continue;
            if (entry.isDir()) {
                if (!m_visited.contains(target)) {
                    m_visited.insert(target);
                    m_pending.append({entry.absoluteFilePath(), target});
                }
            } else if (entry.isFile() && isPage(entry)) {
                m_pages << entry.absoluteFilePath();
            }
        }
    }
    return m_pages.isEmpty() ? QString() : m_pages.takeFirst();
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

PageOutcome UpdatePage(CTavolet& tavolet, const PublishedPage& scanned, const QString& folder,
                       const QString& identity, const QString& code, bool copySupportFiles) {
    PageOutcome outcome{scanned.strPath, PageOutcome::Skipped, {}};
    const QFileInfo file(scanned.strPath);
    if (file.isDir()) {
        outcome.strReason = QStringLiteral("it is a folder now");
        return outcome;
    }
    if (!inside(file.canonicalFilePath(), QFileInfo(folder).canonicalFilePath())) {
        outcome.strReason = QStringLiteral("it leads outside the folder now");
        return outcome;
    }
    if (!file.isWritable()) {
        outcome.strReason = QStringLiteral("it is read-only");
        return outcome;
    }
    Page page;
    if (!page.Load(scanned.strPath, LineEnds::AsTheyAre, &outcome.strReason, Page::IfMarked))
        return outcome;
    if (page.FileSize() != scanned.nSize || page.FileHash() != scanned.nHash) {
        outcome.strReason = QStringLiteral("it changed on disk since the scan");
        return outcome;
    }
    // The same bytes hold the same blocks, unless decoding moved them.
    page.ReplaceBlocks(
        page.MakeReadyFor(code) ? chosen(page.Blocks().blocks, identity) : scanned.blocks, code);
    if (!PublishPage(tavolet, page, copySupportFiles, &outcome.strReason)) {
        outcome.kind = PageOutcome::Failed;
        return outcome;
    }
    outcome.kind = PageOutcome::Updated;
    outcome.strReason.clear();
    return outcome;
}

} // namespace SiteUpdate
