#pragma once

#include "output/publishing/Page.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

struct stat;

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

// What became of one page in a run, in the one wording the dialog and the
// command line share.
struct PageOutcome {
    // Current: its blocks held the code already, so it was not written.
    enum Kind { Updated, Current, Skipped, Failed };
    QString strPath;
    Kind kind = Skipped;
    QString strReason;

    // "updated", "already current", "skipped: <reason>", "failed: <reason>".
    QString Text() const;
    // For scripts: "updated", "current", "skipped", "failed".
    const char* Key() const;
};

// Update Published Pages without its dialog: finding the pages of a folder
// that hold blocks of one widget, and rewriting them one at a time through
// Page, so that a run stopped or failed at any page leaves each page wholly
// old or wholly new. An empty identity chooses every marked block, whichever
// widget wrote it (only on the user's explicit word).
namespace SiteUpdate {

// A page to look at, or what could not be looked at.
struct FoundPage {
    QString strPath; // empty: there are no more
    // The folder whose walk reached it; empty for a page named by itself.
    QString strRoot;
    // Why this page or folder cannot be examined; empty when it can.
    QString strProblem;
};

// The file name endings a folder walk takes as pages, lower case, without
// the dot: .htm, .html, .xhtml and .shtml, then `extra` (a list the user
// gives: "php, tpl" or ".njk"). Empty, with the reason, for an ending that
// is no plain name ending.
std::optional<QStringList> PageExtensions(const QString& extra, QString* error = nullptr);

// The pages named and the files below the folders named whose names end in
// one of `extensions` (PageExtensions), one
// at a time, so that a site of any size is walked holding no more than the
// names of one folder and the folders still to read. Links are followed only
// where they stay inside the folder walked, and no folder is visited twice;
// a folder's pages come in the order of their names, before those of its
// sub-folders. A file reached by several names (links, hard links) comes
// once, under its first name. Whatever cannot be examined (a folder that
// cannot be read, a name the system cannot hold, a pipe named like a page)
// comes with its reason, never left out in silence.
class PageFinder {
public:
    explicit PageFinder(const QStringList& paths,
                        const QStringList& extensions = *PageExtensions({}));
    FoundPage Next();

private:
    struct Folder {
        QString strPath;      // as it was reached
        QString strCanonical; // where it really is
        QString strRoot;      // the folder named, canonical
    };
    void readFolder(const Folder& folder);
    void takeNamed(const QString& path);
    // False when the file came already under another name.
    bool firstTime(const struct stat& st);

    bool isPageName(QByteArrayView name) const;

    QStringList m_named;
    QList<QByteArray> m_extensions;
    QSet<QString> m_visited;
    QSet<std::pair<quint64, quint64>> m_files;
    QList<Folder> m_pending;
    // Found in the folder read last, not given yet.
    QList<FoundPage> m_found;
};

// Reads the page and counts the blocks of the widget `identity`; nullopt
// with `skipped` set when the page cannot be read or decoded or its markers
// cannot be trusted, and with `skipped` empty when it holds none.
std::optional<PublishedPage> ScanPage(const QString& path, const QString& identity,
                                      QString* skipped);

// One update of pages with a widget's code: each page rewritten through Page
// if it is still the page scanned, its support files placed first when
// asked, once per folder in the run and not at all where the folder holds
// them byte for byte already.
class Updater {
public:
    Updater(CTavolet& tavolet, const QString& identity, const QString& code, bool copySupportFiles);
    // Puts the code in place of every block of the identity in the page;
    // when a walk of `root` found the page, only while it is inside it.
    PageOutcome Update(const PublishedPage& page, const QString& root);

private:
    // Whether the support files of the page's folder are to be placed.
    bool supportFilesWanted(const QString& folder);

    CTavolet& m_tavolet;
    QString m_strIdentity;
    QString m_strCode;
    bool m_bCopySupportFiles;
    QSet<QString> m_placed;          // folders whose support files are in place
    QHash<QString, QString> m_roots; // the folders walked, and where they really are
};

} // namespace SiteUpdate
