// Times Update Published Pages on a generated site of 1,000 pages (20 KB to
// 200 KB each; UTF-8, windows-1252, Shift_JIS and UTF-16 with a mark; 300
// holding one or two blocks of the widget, 50 a block of another widget)
// against a baseline that reads every page and writes the 300 back, unchanged,
// through the safe-write helper. The widget is the real server's, registered
// for a temporary home. Runs alternate and the medians are reported; the
// update's heap peak is taken in a child process of its own. The command
// line's `update --dry-run` on the same site is timed as a whole process.
// Usage: siteupdate_bench SERVER_LIBRARY
#include "HeapCount.h"
#include "ProcessTiming.h"

#include "output/publishing/HtmlCode.h"
#include "output/publishing/Page.h"
#include "output/publishing/PageText.h"
#include "output/publishing/SiteUpdate.h"
#include "platform/Registry.h"
#include "platform/SafeFile.h"
#include "platform/ServerRegistration.h"
#include "res/Resource.h"
#include "widget/Tavolet.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kPages = 1000;
constexpr int kWithWidget = 300;
constexpr int kWithOther = 50;
constexpr int kRuns = 5;
const QString ProgId = QStringLiteral("TavoletServer.Glimmerkey");

// The same site on every run and every machine.
class Random {
public:
    quint32 next() {
        m_n = m_n * 1664525u + 1013904223u;
        return m_n >> 8;
    }
    int below(int n) { return int(next() % quint32(n)); }

private:
    quint32 m_n = 20240601u;
};

enum class Encoding { Utf8, Windows1252, ShiftJis, Utf16 };

const char* const kEnglish[] = {
    "members",  "meeting", "Tuesday",  "the",       "club", "garden",  "naïve",   "café",
    "season",   "tickets", "résumé",   "programme", "and",  "of",      "evening", "rehearsal",
    "“quoted”", "café’s",  "entrance", "price",     "—",    "library", "walk",    "summer",
    "river",    "concert", "to",       "with",      "a",    "coöp",    "news",    "archive"};
const char* const kJapanese[] = {"会員",   "の",   "集まり", "は",   "火曜日",   "です", "公園",
                                 "音楽",   "会",   "切符",   "半額", "お知らせ", "川",   "夏",
                                 "図書館", "散歩", "そして", "に",   "案内",     "写真"};

QString words(Random& random, Encoding encoding, int count) {
    QString text;
    for (int i = 0; i < count; ++i) {
        if (encoding == Encoding::ShiftJis && random.below(2) == 0)
            text += QString::fromUtf8(kJapanese[random.below(std::size(kJapanese))]);
        else {
            QString word = QString::fromUtf8(kEnglish[random.below(std::size(kEnglish))]);
            // Shift_JIS has no accented Latin letters.
            if (encoding == Encoding::ShiftJis && word.toLatin1() != word.toUtf8())
                word = QStringLiteral("note");
            if (i > 0) text += u' ';
            text += word;
        }
    }
    return text;
}

// A paragraph of the kind sites are made of: text with links and emphasis.
QString paragraph(Random& random, Encoding encoding, int n) {
    switch (random.below(6)) {
    case 0:
        return "<h2 id=\"s" + QString::number(n) + "\">" + words(random, encoding, 4) + "</h2>";
    case 1:
        return "<ul>\n<li><a href=\"news" + QString::number(n) + ".htm\">" +
               words(random, encoding, 3) + "</a></li>\n<li>" + words(random, encoding, 6) +
               "</li>\n</ul>";
    case 2:
        return "<!-- section " + QString::number(n) + " -->\n<p class=\"note\">" +
               words(random, encoding, 20) + "</p>";
    default:
        return "<p>" + words(random, encoding, 12) + " <a href=\"page" + QString::number(n) +
               ".htm\" title=\"" + words(random, encoding, 2) + "\">" + words(random, encoding, 2) +
               "</a> " + words(random, encoding, 16) + " <em>" + words(random, encoding, 3) +
               "</em>.</p>";
    }
}

QByteArray windows1252(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case 0x201C:
            bytes += char(0x93);
            break;
        case 0x201D:
            bytes += char(0x94);
            break;
        case 0x2019:
            bytes += char(0x92);
            break;
        case 0x2014:
            bytes += char(0x97);
            break;
        default:
            bytes += c.unicode() < 0x100 ? char(c.unicode()) : '?';
        }
    }
    return bytes;
}

QByteArray encoded(const QString& text, Encoding encoding) {
    switch (encoding) {
    case Encoding::Utf8:
        return text.toUtf8();
    case Encoding::Windows1252:
        return windows1252(text);
    case Encoding::ShiftJis: {
        QStringEncoder encoder("Shift_JIS");
        return encoder.encode(text);
    }
    case Encoding::Utf16: {
        QStringEncoder encoder(QStringEncoder::Utf16LE);
        return QByteArray("\xFF\xFE", 2) + QByteArray(encoder.encode(text));
    }
    }
    return {};
}

struct Site {
    QStringList pages;         // every page, in the order written
    QSet<QString> widgetPages; // those holding blocks of the widget
    qint64 bytes = 0;
    qint64 largest = 0;
};

// One page of about `size` bytes in `encoding`, with `blocks` in its body.
QByteArray makePage(Random& random, int n, Encoding encoding, qsizetype size,
                    const QStringList& blocks, bool crLf) {
    static const char* const charset[] = {"utf-8", "windows-1252", "shift_jis", "utf-16"};
    const QString eol = crLf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString head = "<!DOCTYPE html>\n<html lang=\"" +
                   QString(encoding == Encoding::ShiftJis ? "ja" : "en") +
                   "\">\n<head>\n<meta charset=\"" + charset[int(encoding)] + "\">\n<title>" +
                   words(random, encoding, 3) + " " + QString::number(n) +
                   "</title>\n<link rel=\"stylesheet\" href=\"site.css\">\n<style>\n"
                   "body { font: 15px/1.5 Georgia, serif; margin: 0 auto; max-width: 46em; }\n"
                   "nav a { padding: 0 .5em; }\n</style>\n<script>\n"
                   "function toggle(id) { var e = document.getElementById(id); "
                   "if (e && e.children.length < 3) e.hidden = !e.hidden; }\n</script>\n"
                   "</head>\n<body>\n<nav><a href=\"index.htm\">Home</a> <a "
                   "href=\"news.htm\">News</a></nav>\n<main>\n";
    const QString tail = QStringLiteral("</main>\n<footer><p>&copy; 2024</p></footer>\n</body>\n"
                                        "</html>\n");
    // Characters per byte differ by encoding; paragraphs are added until the
    // encoded size is reached.
    const double bytesPerChar = encoding == Encoding::Utf16      ? 2.0
                                : encoding == Encoding::ShiftJis ? 1.3
                                : encoding == Encoding::Utf8     ? 1.03
                                                                 : 1.0;
    QString body;
    int nextBlock = 0;
    const qsizetype chars = qsizetype(size / bytesPerChar);
    for (int p = 0; head.size() + body.size() < chars; ++p) {
        body += paragraph(random, encoding, p) + u'\n';
        // Blocks go in after a third and two thirds of the page.
        if (nextBlock < blocks.size() &&
            head.size() + body.size() > chars * (nextBlock + 1) / (blocks.size() + 1))
            body += blocks[nextBlock++];
    }
    while (nextBlock < blocks.size())
        body += blocks[nextBlock++];
    QString text = head + body + tail;
    // The markers' own CR LF stay as they are in a page of bare line feeds.
    if (crLf) text.replace(QStringLiteral("\n"), eol).replace(QStringLiteral("\r\r\n"), eol);
    return encoded(text, encoding);
}

Site makeSite(const QString& folder, const QString& widgetBlock, const QString& otherBlock) {
    Random random;
    Site site;
    // Which pages hold blocks: spread over the site, the same every run.
    std::vector<int> kind(kPages, 0);
    for (int i = 0; i < kWithWidget; ++i)
        kind[(i * 10) / 3] = 1 + i % 2; // one or two blocks
    for (int placed = 0, i = 1; placed < kWithOther; i += 7)
        if (kind[i % kPages] == 0) {
            kind[i % kPages] = 3;
            ++placed;
        }
    for (int n = 0; n < kPages; ++n) {
        const auto encoding = Encoding(n % 4);
        const qsizetype size = 20 * 1024 + random.below(180 * 1024);
        QStringList blocks;
        if (kind[n] >= 1 && kind[n] <= 2) blocks << widgetBlock;
        if (kind[n] == 2) blocks << widgetBlock;
        if (kind[n] == 3) blocks << otherBlock;
        const QByteArray bytes = makePage(random, n, encoding, size, blocks, n % 3 != 0);
        const QString path =
            QStringLiteral("%1/section%2/page%3.htm").arg(folder).arg(n / 100).arg(n);
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (!platform::WriteFileSafely(path, bytes)) return {};
        site.pages << path;
        if (kind[n] == 1 || kind[n] == 2) site.widgetPages << path;
        site.bytes += bytes.size();
        site.largest = std::max(site.largest, qint64(bytes.size()));
    }
    return site;
}

struct Widget {
    CTavolet tavolet;
    QString identity;
    QString code;
};

bool openWidget(Widget& widget, const QString& file, bool renew) {
    if (!widget.tavolet.CreateFromProgID(ProgId) || !widget.tavolet.m_dispatch.LoadFromFile(file))
        return false;
    if (renew) widget.tavolet.m_dispatch.RenewWidgetIdentity();
    widget.identity = widget.tavolet.m_dispatch.WidgetIdentity();
    widget.code = widget.tavolet.m_dispatch.CodePartText(0, 1);
    return !widget.identity.isEmpty() && widget.code.contains(widget.identity);
}

struct UpdateRun {
    int scanned = 0, found = 0, updated = 0;
};

// Update Published Pages as its dialog runs it, without support files.
UpdateRun scanAndUpdate(Widget& widget, const QString& folder, bool update) {
    UpdateRun run;
    QList<PublishedPage> found;
    SiteUpdate::PageFinder pages({folder});
    for (QString path = pages.Next().strPath; !path.isEmpty(); path = pages.Next().strPath) {
        QString skipped;
        ++run.scanned;
        if (auto page = SiteUpdate::ScanPage(path, widget.identity, &skipped)) found << *page;
    }
    run.found = int(found.size());
    if (!update) return run;
    SiteUpdate::Updater updater(widget.tavolet, widget.identity, widget.code, false);
    for (const PublishedPage& page : std::as_const(found))
        if (updater.Update(page, folder).kind == PageOutcome::Updated) ++run.updated;
    return run;
}

// Reads every page and writes the widget's pages back unchanged.
bool baseline(const Site& site) {
    bool ok = true;
    for (const QString& path : site.pages) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return false;
        const QByteArray bytes = file.readAll();
        if (site.widgetPages.contains(path)) ok = platform::WriteFileSafely(path, bytes) && ok;
    }
    return ok;
}

// The child: one update of the site as the dialog runs it (every page
// scanned, then those found rewritten), with the heap it held: the most
// above what it held before, the list of pages found, and the most the
// rewriting of one page added to that list.
int runUpdateChild(const QString& widgetFile, const QString& folder) {
    Widget widget;
    if (!openWidget(widget, widgetFile, false)) return 1;
    // What comes in once per process, not per page (the codecs' tables),
    // comes in first: a small site of
    // one page in each encoding, with a block, scanned and updated.
    QTemporaryDir warmUp;
    for (const auto encoding :
         {Encoding::Utf8, Encoding::Windows1252, Encoding::ShiftJis, Encoding::Utf16}) {
        Random random;
        const QString path = warmUp.filePath(QStringLiteral("page%1.htm").arg(int(encoding)));
        if (!platform::WriteFileSafely(
                path, makePage(random, 0, encoding, 2000,
                               {MarkedBlockText(widget.code + QLatin1Char(' '))}, true)))
            return 1;
    }
    if (scanAndUpdate(widget, warmUp.path(), true).updated != 4) return 1;
    const auto megabytes = [](std::ptrdiff_t bytes) { return double(bytes) / 1048576; };
    const std::ptrdiff_t base = bench::HeapBytes();
    bench::ResetHeapPeak();
    QList<PublishedPage> found;
    SiteUpdate::PageFinder pages({folder});
    for (QString path = pages.Next().strPath; !path.isEmpty(); path = pages.Next().strPath) {
        QString skipped;
        if (auto page = SiteUpdate::ScanPage(path, widget.identity, &skipped)) found << *page;
    }
    const std::ptrdiff_t listed = bench::HeapBytes() - base, scanPeak = bench::HeapPeak() - base;
    bench::ResetHeapPeak();
    int updated = 0;
    SiteUpdate::Updater updater(widget.tavolet, widget.identity, widget.code, false);
    for (const PublishedPage& page : std::as_const(found))
        updated += updater.Update(page, folder).kind == PageOutcome::Updated;
    const std::ptrdiff_t updatePeak = bench::HeapPeak() - base;
    std::printf("%d %.3f %.3f %.3f\n", updated, megabytes(listed),
                megabytes(std::max(scanPeak, updatePeak)), megabytes(updatePeak - listed));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && qstrcmp(argv[1], "--update") == 0) {
        QApplication app(argc, argv);
        return runUpdateChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toLocal8Bit());
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: siteupdate_bench SERVER_LIBRARY\n");
        return 2;
    }
    InstallStringTable();
    const QFileInfo library(QString::fromLocal8Bit(argv[1]));
    QString error;
    if (!platform::RegisterServerLibrary(platform::Registry::instance(), library.absoluteFilePath(),
                                         &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const QDir templates = library.absoluteDir();
    // The widget as it stands, and the same widget as an older look wrote it.
    Widget widget, other;
    Widget older;
    if (!openWidget(widget, templates.filePath("Ember_TavoletServer.Glimmerkey.tvt"), true) ||
        !openWidget(older, templates.filePath("Candy_TavoletServer.Glimmerkey.tvt"), true) ||
        !openWidget(other, templates.filePath("Forest_TavoletServer.Glimmerkey.tvt"), true) ||
        widget.identity == other.identity) {
        std::fprintf(stderr, "the server gave no widget with an identity of its own\n");
        return 1;
    }
    QTemporaryDir work;
    const QString widgetFile = work.filePath("widget.tvt");
    if (!widget.tavolet.m_dispatch.SaveToFile(widgetFile)) return 1;
    const QString oldBlock =
        MarkedBlockText(QString(older.code).replace(older.identity, widget.identity));

    const QString folder = work.filePath("site"), pristine = work.filePath("pristine");
    QElapsedTimer timer;
    timer.start();
    const Site site = makeSite(folder, oldBlock, MarkedBlockText(other.code));
    if (site.pages.size() != kPages) {
        std::fprintf(stderr, "the site could not be written\n");
        return 1;
    }
    for (const QString& path : site.widgetPages) {
        const QString copy = pristine + "/" + QDir(folder).relativeFilePath(path);
        QDir().mkpath(QFileInfo(copy).absolutePath());
        QFile::copy(path, copy);
    }
    const auto restore = [&] {
        for (const QString& path : site.widgetPages) {
            QFile::remove(path);
            QFile::copy(pristine + "/" + QDir(folder).relativeFilePath(path), path);
        }
    };
    const double made = timer.nsecsElapsed() / 1e9;

    const QString program = QCoreApplication::applicationDirPath() + "/vellwick-glimmerkey";
    std::vector<double> base, scan, update, dryRun;
    UpdateRun scanned, updated;
    for (int run = 0; run < kRuns; ++run) {
        timer.restart();
        if (!baseline(site)) {
            std::fprintf(stderr, "the baseline could not write\n");
            return 1;
        }
        base.push_back(timer.nsecsElapsed() / 1e9);

        timer.restart();
        scanned = scanAndUpdate(widget, folder, false);
        scan.push_back(timer.nsecsElapsed() / 1e9);

        timer.restart();
        updated = scanAndUpdate(widget, folder, true);
        update.push_back(timer.nsecsElapsed() / 1e9);
        restore();

        // The command line's dry run: the whole process, the server loaded
        // and the widget file opened, every page scanned and reported.
        QProcess cli;
        timer.restart();
        cli.start(program, {"update", "--dry-run", widgetFile, folder});
        if (!cli.waitForFinished(120000) || cli.exitCode() != 0 ||
            cli.readAllStandardOutput().count("\twould update") != kWithWidget) {
            std::fprintf(stderr, "update --dry-run failed: %s\n",
                         cli.readAllStandardError().constData());
            return 1;
        }
        dryRun.push_back(timer.nsecsElapsed() / 1e9);
    }
    // Every update must have rewritten every page of the widget, and only those.
    if (scanned.found != kWithWidget || updated.updated != kWithWidget) {
        std::fprintf(stderr, "found %d and updated %d pages of %d\n", scanned.found,
                     updated.updated, kWithWidget);
        return 1;
    }
    QMap<QString, int> encodings;
    for (const QString& path : site.pages) {
        Page page;
        if (page.Load(path, LineEnds::AsTheyAre, nullptr)) ++encodings[page.EncodingName()];
    }

    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment counted = QProcessEnvironment::systemEnvironment();
    counted.insert(bench::kCountHeap, "1");
    child.setProcessEnvironment(counted);
    child.start(QCoreApplication::applicationFilePath(), {"--update", widgetFile, folder});
    child.waitForFinished(300000);
    const QStringList memory =
        QString::fromLatin1(child.readAllStandardOutput()).trimmed().split(u' ');
    restore();

    std::printf("site: %d pages, %.1f MB, largest %.0f KB (made in %.1f s); as read:", kPages,
                site.bytes / 1048576.0, site.largest / 1024.0, made);
    for (auto it = encodings.cbegin(); it != encodings.cend(); ++it)
        std::printf(" %s %d", qPrintable(it.key()), it.value());
    std::printf("\n  %d pages with blocks of the widget (one or two), %d with another "
                "widget's; in-process medians of %d alternating runs\n",
                kWithWidget, kWithOther, kRuns);
    const double b = bench::Median(base), s = bench::Median(scan), u = bench::Median(update);
    std::printf("baseline (read every page, write %d back unchanged): %.3f s\n", kWithWidget, b);
    std::printf("scan (find the pages, read and search each): %.3f s = %.2f x the baseline "
                "(target at most 0.5)\n",
                s, s / b);
    std::printf("update (scan, then rewrite the %d pages; support files not placed): %.3f s = "
                "%.2f x the baseline (target at most 1.5)\n",
                kWithWidget, u, u / b);
    const double d = bench::Median(dryRun);
    std::printf("vellwick-glimmerkey update --dry-run on the site, the whole process: %.3f s = "
                "%.2f x the baseline (target at most 0.5, the scan's)\n",
                d, d / b);
    if (memory.size() != 4 || memory[0].toInt() != kWithWidget) {
        std::printf("update's memory: the child run failed\n");
        return 1;
    }
    const double largest = site.largest / 1048576.0;
    std::printf("update's memory, the heap counted at every allocation, in a child process of "
                "its own (a four-page site updated first):\n");
    std::printf("  peak %.2f MB above what it held before = %.1f x the largest page "
                "(target at most 3.0); %.2f MB held after the scan (the %d pages found)\n",
                memory[2].toDouble(), memory[2].toDouble() / largest, memory[1].toDouble(),
                kWithWidget);
    std::printf("  rewriting one page at most: %.2f MB above that list = %.1f x the largest "
                "page\n",
                memory[3].toDouble(), memory[3].toDouble() / largest);
    return 0;
}
