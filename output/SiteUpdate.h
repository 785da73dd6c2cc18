#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class CTavolet;

// A page found to hold blocks of the widget, as it was when scanned.
struct PublishedPage {
    QString strPath;
    int nBlocks = 0;
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

// Every .htm and .html file below `folder`; links are followed only where
// they stay inside it, and no folder is visited twice.
QStringList FindPages(const QString& folder);

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
