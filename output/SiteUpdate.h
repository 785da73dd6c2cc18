#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class CTavolet;

// A page found to hold blocks of the widget, as it was when scanned.
struct PublishedPage {
    QString strPath;
    int nBlocks = 0;
    QString strEncoding;
    qint64 nSize = 0;
    size_t nHash = 0;
};

// What ScanPage made of one page.
struct ScannedPage {
    QString strPath;
    std::optional<PublishedPage> page;
    QString strSkipped;
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

// ScanPage over pages given one at a time, on two threads: reading and
// searching pages is nearly all the work of a scan, and it only reads.
// Results come in the pages' order; one page at a time is read on each
// thread. `next` is called on those threads, one call at a time.
class PageScanner {
public:
    // `next` gives the next page, empty when there are no more.
    PageScanner(std::function<QString()> next, const QString& identity);
    // Waits for the pages being read.
    ~PageScanner();
    PageScanner(const PageScanner&) = delete;
    PageScanner& operator=(const PageScanner&) = delete;

    // The next page's result, once it is read; nullopt when there are no more.
    std::optional<ScannedPage> Next();

private:
    static constexpr int kThreads = 2;
    // Results read ahead of the caller at most; each is small.
    static constexpr qint64 kAhead = 8;
    struct Result {
        ScannedPage scanned;
        std::exception_ptr error;
    };
    void work();

    std::function<QString()> m_next;
    const QString m_strIdentity;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    qint64 m_nStarted = 0;           // pages taken from m_next
    qint64 m_nGiven = 0;             // results handed out by Next
    std::map<qint64, Result> m_done; // read, not handed out yet
    bool m_bNoMore = false;
    bool m_bStopping = false;
    std::vector<std::jthread> m_threads;
};

// Puts `code` in place of every block of `identity` in the page, if it is
// still the page scanned and still inside `folder`, and has the server place the support files
// beside it when asked.
PageOutcome UpdatePage(CTavolet& tavolet, const PublishedPage& page, const QString& folder,
                       const QString& identity, const QString& code, bool copySupportFiles);

} // namespace SiteUpdate
