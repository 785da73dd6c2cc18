#pragma once

#include "output/Page.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

class CTavolet;

// A page found to hold blocks of the widget, as it was when scanned.
struct PublishedPage {
    QString strPath;
    // The widget's blocks; while the page is byte for byte as scanned, they
    // are where an update finds them.
    QList<MarkedBlock> blocks;
    QString strEncoding;
    qint64 nSize = 0;
    size_t nHash = 0;
};

// What became of one page in a run.
struct PageOutcome {
    enum Kind { Updated, Skipped, Failed };
    QString strPath;
    Kind kind = Skipped;
    QString strReason;
};

// Update Published Pages without its dialog: finding the pages of a folder
// that hold blocks of one widget, and rewriting them one at a time through
// Page, so that a run stopped or failed at any page leaves each page wholly
// old or wholly new. An empty identity chooses every marked block, whichever
// widget wrote it (only on the user's explicit word).
namespace SiteUpdate {

// The .htm and .html files below a folder, one at a time, so that a site
// of any size is walked holding no more than the names of one folder and
// the folders still to read. Links are followed only where they stay inside
// it, and no folder is visited twice; a folder's pages come in the order of
// their names, before those of its sub-folders.
class PageFinder {
public:
    explicit PageFinder(const QString& folder);
    // The next page; empty when there are no more.
    QString Next();

private:
    QString m_strRoot;
    QSet<QString> m_visited;
    // Folders still to read: as they were reached, and where they really are.
    QList<std::pair<QString, QString>> m_pending;
    // Pages of the folder read last, not given yet.
    QStringList m_pages;
};

// Reads the page and counts the blocks of the widget `identity`; nullopt
// with `skipped` set when the page cannot be read or decoded or its markers
// cannot be trusted, and with `skipped` empty when it holds none.
std::optional<PublishedPage> ScanPage(const QString& path, const QString& identity,
                                      QString* skipped);

// Puts `code` in place of every block of `identity` in the page, if it is
// still the page scanned and still inside `folder`, and has the server place the support files
// beside it when asked.
PageOutcome UpdatePage(CTavolet& tavolet, const PublishedPage& page, const QString& folder,
                       const QString& identity, const QString& code, bool copySupportFiles);

} // namespace SiteUpdate
