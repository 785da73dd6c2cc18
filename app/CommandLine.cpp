#include "app/CommandLine.h"

#include "framework/ErrorReport.h"
#include "framework/Prompts.h"
#include "framework/StringTable.h"
#include "output/publishing/HtmlCode.h"
#include "output/publishing/Page.h"
#include "output/publishing/SiteUpdate.h"
#include "platform/Components.h"
#include "platform/Paths.h"
#include "res/Resource.h"
#include "supportfiles/SupportFileCopy.h"
#include "widget/VellwickToolDoc.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

enum Exit { Done = 0, Failed = 1, Usage = 2 };

constexpr char kProgram[] = "vellwick-glimmerkey";

bool g_bStdoutClosed = false;

void say(const QString& text) {
    const QByteArray line = (QLatin1String(kProgram) + ": " + text + "\n").toLocal8Bit();
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

// The window's message boxes, as lines on standard error. A sub-command never
// asks: every question is answered as Cancel, every file dialog cancelled.
class StandardErrorPrompts final : public framework::Prompts {
public:
    int MessageBox(const QString& text, framework::MessageButtons buttons) override {
        say(text);
        return buttons == framework::MessageButtons::Ok ? framework::IDOK : framework::IDCANCEL;
    }
    std::optional<QString> FileDialog(const framework::FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<QString> BrowseFolder(const QString&) override { return std::nullopt; }
};

// A closed descriptor would be handed to the next file opened, and a page
// could then receive what was meant for standard output.
void guardStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        const int null = open("/dev/null", O_RDWR);
        if (null >= 0 && null != fd) {
            dup2(null, fd);
            close(null);
        }
        if (fd == 1) g_bStdoutClosed = true;
    }
    // A reader that went away is a write error to report, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
}

bool stdoutOpen() {
    if (!g_bStdoutClosed) return true;
    say(QStringLiteral("Cannot write to standard output: it is closed; nothing was done."));
    return false;
}

bool writeOut(const QByteArray& bytes) {
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size()) &&
        std::fflush(stdout) == 0)
        return true;
    say("Cannot write to standard output: " + QString::fromLocal8Bit(std::strerror(errno)));
    return false;
}

struct Args {
    QStringList positional;
    QHash<QString, QString> values;
    QSet<QString> flags;
    bool has(const char* flag) const { return flags.contains(QLatin1String(flag)); }
};

// A plain table, so that the window's start-up builds nothing of it.
struct SubCommand {
    const char* name;
    const char* synopsis;
    const char* help;
    const char* flags;  // options without a value, separated by blanks
    const char* valued; // options with one
    int minPaths;
    int maxPaths; // -1: any number
    int (*run)(const Args&);
};

bool listed(const char* options, const QString& name) {
    return QString::fromLatin1(options).split(QLatin1Char(' ')).contains(name);
}

int usageError(const SubCommand& command, const QString& text) {
    say(QString::fromLatin1(command.name) + ": " + text + "\nTry '" + kProgram + " " +
        command.name + " --help'.");
    return Usage;
}

// --- opening the widget, as File > Open does ----------------------------------

std::unique_ptr<CVellwickToolDoc> openWidget(const QString& path) {
    const QFileInfo file(path);
    if (!file.isFile()) {
        say("Open " + path + " Error!\n" +
            (file.isDir()    ? QStringLiteral("It is a folder, not a widget file.")
             : file.exists() ? QStringLiteral("It is not a regular file.")
                             : QStringLiteral("No such file.")));
        return {};
    }
    auto doc = std::make_unique<CVellwickToolDoc>();
    // The document says what went wrong, with the window's texts.
    if (!doc->OnOpenDocument(path)) return {};
    return doc;
}

// A widget file without an identity is given one and saved before its code
// is published, so that a later update finds the blocks written now.
bool keepIdentity(CVellwickToolDoc& doc, const QString& path, bool save) {
    if (!doc.m_bNewIdentity) return true;
    const QString identity = doc.m_pTavolet->m_dispatch.WidgetIdentity();
    if (!save) {
        say(path + " has no widget identity and is not saved (--no-save): a later update finds "
                   "the blocks written now only with --any-block.");
        return true;
    }
    if (!doc.OnSaveDocument(path)) {
        say(QStringLiteral("Nothing was published; --no-save publishes without saving."));
        return false;
    }
    say(path + " had no widget identity: it is now " + identity +
        ", saved in the file, so that a later update finds its blocks.");
    return true;
}

std::unique_ptr<CVellwickToolDoc> openForPublishing(const QString& path, const Args& args) {
    auto doc = openWidget(path);
    if (doc && !keepIdentity(*doc, path, !args.has("--no-save"))) return {};
    return doc;
}

QString absolute(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

QStringList absolutes(const QStringList& paths) {
    QStringList out;
    for (const QString& path : paths)
        out << absolute(path);
    return out;
}

// --- code ------------------------------------------------------------------

// A part by index or by name (of two with one name the later, as Copy Code
// chooses); nullopt after saying which parts there are.
std::optional<QString> codePart(TavoletDispatch& widget, const QString& part) {
    const int count = widget.CodePartCount();
    bool isIndex = false;
    const int index = part.toInt(&isIndex);
    int found = -1;
    QStringList names;
    for (int i = 0; i < count; ++i) {
        const QString name = widget.CodePartName(i);
        names << QString::number(i) + " " + name;
        if (isIndex ? i == index : name == part) found = i;
    }
    if (found >= 0) return widget.CodePartText(found, 1);
    say("The widget has no code part " + part + ". Its parts: " +
        (names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", "))) + ".");
    return std::nullopt;
}

int runCode(const Args& args) {
    if (!stdoutOpen()) return Failed;
    const auto doc = openForPublishing(absolute(args.positional[0]), args);
    if (!doc) return Failed;
    CTavolet& tavolet = *doc->m_pTavolet;
    QString code;
    if (const auto part = args.values.constFind(QStringLiteral("--part"));
        part != args.values.constEnd()) {
        const auto text = codePart(tavolet.m_dispatch, *part);
        if (!text) return Failed;
        code = *text;
    } else {
        code = CollectCodeParts(tavolet).cursor;
    }
    return writeOut(code.toUtf8()) ? Done : Failed;
}

// --- new-page ----------------------------------------------------------------

int runNewPage(const Args& args) {
    const QString page = absolute(args.positional[1]);
    const QFileInfo file(page);
    const QString failure = QStringLiteral("Create HTML File Failure!\n");
    if (file.isDir()) {
        say(failure + page + " is a folder.");
        return Failed;
    }
    // The window asks before replacing a page; here that is an option.
    if (file.exists() && !args.has("--replace")) {
        say(failure + page + " exists already; --replace replaces it.");
        return Failed;
    }
    const auto doc = openForPublishing(absolute(args.positional[0]), args);
    if (!doc) return Failed;
    QString error;
    if (!WriteNewPage(*doc->m_pTavolet, page, &error, !args.has("--no-support-files"))) {
        say(failure + error);
        return Failed;
    }
    return Done;
}

// --- insert ------------------------------------------------------------------

// Where the options put the block: --line, --before or --after.
InsertionPoint insertionPoint(const Args& args) {
    if (const auto line = args.values.constFind(QStringLiteral("--line"));
        line != args.values.constEnd())
        return {InsertionPoint::Line, line->toLongLong(), {}};
    const auto before = args.values.constFind(QStringLiteral("--before"));
    if (before != args.values.constEnd()) return {InsertionPoint::Before, 0, *before};
    return {InsertionPoint::After, 0, args.values.value(QStringLiteral("--after"))};
}

int runInsert(const Args& args) {
    const QString path = absolute(args.positional[1]);
    const QString openFailure = "Open " + path + " Failure!\n";
    if (!QFileInfo::exists(path)) {
        say(openFailure + "No such page; new-page makes one.");
        return Failed;
    }
    // The page as the insert dialog shows it: every line ends in CR LF.
    Page page;
    QString error;
    if (!page.Load(path, LineEnds::CrLf, &error)) {
        say(openFailure + error);
        return Failed;
    }
    // Known before the widget file is touched.
    const InsertionPoint at = insertionPoint(args);
    if (const Insertion place = PlaceBlock(page.Text(), page.EditorText(), at, {});
        place.offset < 0) {
        say(openFailure + place.problem + ".");
        return Failed;
    }
    if (const QString why = page.WhyNotReplaceable(); !why.isEmpty()) {
        say("Write " + path + " Failure!\nThe page is not written: " + why + ".");
        return Failed;
    }
    const auto doc = openForPublishing(absolute(args.positional[0]), args);
    if (!doc) return Failed;
    CTavolet& tavolet = *doc->m_pTavolet;
    // Code part 0, by index, as the dialog's Insert takes it.
    const QByteArray block =
        EditorTextOf(page.Text(), MarkedBlockText(tavolet.m_dispatch.CodePartText(0, 1)));
    const Insertion place = PlaceBlock(page.Text(), page.EditorText(), at, block);
    if (!place.problem.isEmpty()) {
        say("Write " + path + " Failure!\n" + place.problem + ". Nothing was written.");
        return Failed;
    }
    page.EditorText().insert(place.offset, block);
    if (PublishPage(tavolet, page, !args.has("--no-support-files"), &error) !=
        platform::Replaced::Written) {
        say("Write " + path + " Failure!\n" + error);
        return Failed;
    }
    return Done;
}

// --- pages named on the command line -----------------------------------------

// A name as plain output gives it: one holding a tab, a line end, a quote or
// a backslash is quoted, so that every line still reads as fields.
QString plainName(const QString& path) {
    static const QRegularExpression special(QStringLiteral("[\\t\\n\\r\"\\\\]"));
    if (!path.contains(special)) return path;
    QString quoted = path;
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('"'), QLatin1String("\\\""))
        .replace(QLatin1Char('\t'), QLatin1String("\\t"))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"))
        .replace(QLatin1Char('\r'), QLatin1String("\\r"));
    return '"' + quoted + '"';
}

// The endings a folder walk takes as pages; checkValues refused bad ones.
QStringList extensionsOf(const Args& args) {
    return SiteUpdate::PageExtensions(args.values.value(QStringLiteral("--ext")))
        .value_or(QStringList());
}

QJsonValue identityJson(const QString& identity) {
    return identity.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(identity);
}

// The report of a run over pages, written page by page as each is done, so
// that a run ended early (a crash, a full disk under standard output) still
// leaves on record what it wrote. As JSON, an object whose "pages" array
// grows entry by entry.
class PageReport {
public:
    PageReport(bool bJson, const QJsonObject& head) : m_bJson(bJson) {
        if (!m_bJson) return;
        QByteArray start = QJsonDocument(head).toJson(QJsonDocument::Compact);
        start.chop(1);
        m_bWritten = writeOut(start + (head.isEmpty() ? "" : ",") + "\"pages\":[");
    }
    void Add(const QJsonObject& entry, const QString& line, bool bChangedPage) {
        m_bChanged = m_bChanged || bChangedPage;
        if (!m_bWritten) return;
        const QByteArray text = m_bJson ? (m_nEntries++ ? ",\n" : "\n") +
                                              QJsonDocument(entry).toJson(QJsonDocument::Compact)
                                        : platform::PathBytes(line + "\n");
        m_bWritten = writeOut(text);
        if (!m_bWritten && m_bChanged)
            say(QStringLiteral("Pages were changed, but the report of what was done could not "
                               "be written; 'blocks' lists the pages as they are now."));
    }
    // True when the whole report was written.
    bool Finish() {
        if (m_bWritten && m_bJson) m_bWritten = writeOut("\n]}\n");
        return m_bWritten;
    }

private:
    bool m_bJson;
    bool m_bWritten = true;
    bool m_bChanged = false;
    int m_nEntries = 0;
};

// --- blocks ------------------------------------------------------------------

int runBlocks(const Args& args) {
    if (!stdoutOpen()) return Failed;
    const bool json = args.has("--json");
    PageReport report(json, {});
    bool complete = true;
    SiteUpdate::PageFinder pages(absolutes(args.positional), extensionsOf(args));
    for (SiteUpdate::FoundPage found = pages.Next(); !found.strPath.isEmpty();
         found = pages.Next()) {
        QJsonObject entry{{"path", found.strPath}};
        Page page;
        QString problem = found.strProblem;
        BlockScan scan;
        if (problem.isEmpty() && page.Load(found.strPath, LineEnds::AsTheyAre, &problem))
            problem = (scan = page.Blocks()).problem;
        if (!problem.isEmpty()) {
            complete = false;
            entry.insert("problem", problem);
            if (!json) say(plainName(found.strPath) + ": " + problem);
            report.Add(entry, {}, false);
            continue;
        }
        QJsonArray blocks;
        QStringList lines;
        for (const MarkedBlock& block : std::as_const(scan.blocks)) {
            blocks << QJsonObject{{"line", block.line}, {"identity", identityJson(block.identity)}};
            lines << plainName(found.strPath) + "\t" + QString::number(block.line) + "\t" +
                         (block.identity.isEmpty() ? QStringLiteral("-") : block.identity) + "\t" +
                         page.EncodingName();
        }
        entry.insert("encoding", page.EncodingName());
        entry.insert("blocks", blocks);
        if (json || !lines.isEmpty()) report.Add(entry, lines.join(QLatin1Char('\n')), false);
    }
    return report.Finish() && complete ? Done : Failed;
}

// --- update ------------------------------------------------------------------

int runUpdate(const Args& args) {
    if (!stdoutOpen()) return Failed;
    const bool dryRun = args.has("--dry-run"), anyBlock = args.has("--any-block");
    const bool json = args.has("--json");
    const QString widgetPath = absolute(args.positional[0]);
    // A dry run changes nothing, the widget file included.
    const auto doc = dryRun ? openWidget(widgetPath) : openForPublishing(widgetPath, args);
    if (!doc) return Failed;
    CTavolet& tavolet = *doc->m_pTavolet;
    const QString widgetIdentity = tavolet.m_dispatch.WidgetIdentity();
    if (widgetIdentity.isEmpty() && !anyBlock) {
        say(QStringLiteral("Update Published Pages cannot find this widget's blocks.\nIts widget "
                           "server does not mark the code it writes; --any-block updates every "
                           "marked block."));
        return Failed;
    }
    const QString identity = anyBlock ? QString() : widgetIdentity;
    const QString code = tavolet.m_dispatch.CodePartText(0, 1);
    const bool copySupportFiles = !args.has("--no-support-files");

    PageReport report(json, {{"widget", identityJson(widgetIdentity)}, {"dryRun", dryRun}});
    SiteUpdate::Updater updater(tavolet, identity, code, copySupportFiles);
    bool allDone = true;
    SiteUpdate::PageFinder pages(absolutes(args.positional.mid(1)), extensionsOf(args));
    for (SiteUpdate::FoundPage found = pages.Next(); !found.strPath.isEmpty();
         found = pages.Next()) {
        QString skipped = found.strProblem;
        std::optional<PublishedPage> scanned;
        if (skipped.isEmpty()) scanned = SiteUpdate::ScanPage(found.strPath, identity, &skipped);
        if (!scanned && skipped.isEmpty()) continue; // none of its blocks
        QJsonObject entry{{"path", found.strPath}};
        QString result;
        bool changed = false;
        if (!scanned) {
            allDone = false;
            result = "skipped: " + skipped;
            entry.insert("outcome", "skipped");
            entry.insert("reason", skipped);
        } else {
            entry.insert("blocks", scanned->blocks.size());
            entry.insert("encoding", scanned->strEncoding);
            const QString what = QStringLiteral(" (%1 block(s), %2)")
                                     .arg(scanned->blocks.size())
                                     .arg(scanned->strEncoding);
            if (dryRun) {
                result = "would update" + what;
                entry.insert("outcome", "would-update");
            } else {
                const PageOutcome outcome = updater.Update(*scanned, found.strRoot);
                changed = outcome.kind == PageOutcome::Updated;
                allDone = allDone && (changed || outcome.kind == PageOutcome::Current);
                result = outcome.Text() + (outcome.strReason.isEmpty() ? what : QString());
                entry.insert("outcome", outcome.Key());
                if (!outcome.strReason.isEmpty()) entry.insert("reason", outcome.strReason);
            }
        }
        report.Add(entry, plainName(found.strPath) + "\t" + result, changed);
    }
    return report.Finish() && allDone ? Done : Failed;
}

// --- support-files -----------------------------------------------------------

int runSupportFiles(const Args& args) {
    if (!stdoutOpen()) return Failed;
    const QString folder = absolute(args.positional[1]);
    if (!QFileInfo(folder).isDir()) {
        say("Copy support files to " + folder + " failure! It is not a folder.");
        return Failed;
    }
    const auto doc = openWidget(absolute(args.positional[0]));
    if (!doc) return Failed;
    QStringList copied;
    const QStringList failed =
        CopySupportFiles(ListSupportFiles(doc->m_pTavolet->m_dispatch), folder, &copied);
    if (!writeOut(copied.isEmpty() ? QByteArray() : (copied.join('\n') + '\n').toUtf8()))
        return Failed;
    if (failed.isEmpty()) return Done;
    say(CopySupportFilesReport(folder, failed));
    return Failed;
}

// --- the table ---------------------------------------------------------------

const SubCommand kCommands[] = {
    {"code", "code WIDGET.tvt [--part NAME|INDEX] [--no-save]",
     "Print a code part of the widget to standard output, byte for byte what Copy Code\n"
     "puts on the clipboard: by default the \"cursor\" part, the code shown in the body.\n"
     "  --part NAME|INDEX   another part, by its name or its index from 0\n",
     "--no-save", "--part", 1, 1, runCode},
    {"new-page", "new-page WIDGET.tvt PAGE.html [--replace] [--no-support-files] [--no-save]",
     "Write a page holding only the widget, as New Page writes it, with the widget's\n"
     "support files beside it.\n"
     "  --replace            replace PAGE.html when it exists (the window asks)\n"
     "  --no-support-files   write the page only\n",
     "--no-save --replace --no-support-files", "", 2, 2, runNewPage},
    {"insert",
     "insert WIDGET.tvt PAGE.html (--line N | --before TEXT | --after TEXT)\n"
     "       [--no-support-files] [--no-save]",
     "Insert the widget's code between the markers into an existing page, as the\n"
     "insert dialog does, and write the page as it writes it (every line ending in\n"
     "CR LF, the page's own encoding kept).\n"
     "  --line N             at the start of line N, from 1\n"
     "  --before TEXT        before the first occurrence of TEXT\n"
     "  --after TEXT         after the first occurrence of TEXT\n"
     "  --no-support-files   do not place the support files beside the page\n",
     "--no-save --no-support-files", "--line --before --after", 2, 2, runInsert},
    {"update",
     "update WIDGET.tvt PATH... [--dry-run] [--json] [--any-block] [--no-support-files]\n"
     "       [--ext LIST] [--no-save]",
     "Update Published Pages: put the widget's current code in place of its marked\n"
     "blocks in the pages named and in every .htm, .html, .xhtml and .shtml page below\n"
     "the folders named. Every byte outside the blocks stays; a page that cannot be\n"
     "read or whose markers cannot be trusted is skipped and named, and a page whose\n"
     "blocks hold the code already is not written. One line per page: the page, a\n"
     "tab, what became of it.\n"
     "  --dry-run            say what would be updated; write nothing\n"
     "  --json               the outcome as JSON\n"
     "  --any-block          every marked block, whichever widget wrote it\n"
     "  --no-support-files   do not place the support files beside the pages\n"
     "  --ext LIST           pages with these endings too: --ext php,tpl\n",
     "--no-save --dry-run --json --any-block --no-support-files", "--ext", 2, -1, runUpdate},
    {"blocks", "blocks PATH... [--json] [--ext LIST]",
     "List the marked blocks in the pages named and in every .htm, .html, .xhtml and\n"
     ".shtml page below the folders named: page, line, widget identity (\"-\" when the\n"
     "block has none) and the page's encoding, separated by tabs.\n"
     "  --json               the list as JSON\n"
     "  --ext LIST           pages with these endings too: --ext php,tpl\n",
     "--json", "--ext", 1, -1, runBlocks},
    {"support-files", "support-files WIDGET.tvt FOLDER",
     "Copy the widget's support files (images, audio, class files) into FOLDER, as the\n"
     "Support Files dialog copies them, and print each file copied.\n",
     "", "", 2, 2, runSupportFiles},
};

const char* const kCommon =
    "\n"
    "A widget file without an identity is given one and saved the first time it is\n"
    "published, so that a later update finds its blocks; --no-save publishes\n"
    "without saving. '--' ends the options. Exit status: 0 done, 1 failed, 2 usage.\n";

const SubCommand* findCommand(const char* word) {
    for (const SubCommand& command : kCommands)
        if (std::strcmp(command.name, word) == 0) return &command;
    return nullptr;
}

// Options anywhere among the paths until "--"; "--name=value" or "--name value".
std::optional<Args> parse(const SubCommand& command, const QStringList& words, bool* help,
                          int* status) {
    Args args;
    *status = Done;
    bool options = true;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& word = words[i];
        if (!options || !word.startsWith(QLatin1Char('-')) || word == u"-") {
            args.positional << word;
            continue;
        }
        if (word == u"--") {
            options = false;
            continue;
        }
        if (word == u"--help" || word == u"-h") {
            *help = true;
            return args;
        }
        const qsizetype equals = word.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? word : word.left(equals);
        if (listed(command.flags, name) && equals < 0) {
            args.flags.insert(name);
        } else if (listed(command.valued, name)) {
            if (args.values.contains(name)) {
                *status = usageError(command, name + " is given twice.");
                return std::nullopt;
            }
            if (equals < 0 && i + 1 >= words.size()) {
                *status = usageError(command, name + " needs a value.");
                return std::nullopt;
            }
            args.values.insert(name, equals < 0 ? words[++i] : word.mid(equals + 1));
        } else {
            *status = usageError(command, "unknown option " + word + ".");
            return std::nullopt;
        }
    }
    const auto count = args.positional.size();
    if (count < command.minPaths || (command.maxPaths >= 0 && count > command.maxPaths)) {
        *status = usageError(command, QStringLiteral("wrong number of arguments."));
        return std::nullopt;
    }
    return args;
}

QByteArray helpOf(const SubCommand& command) {
    return QByteArray("Usage: ") + kProgram + " " + command.synopsis + "\n" + command.help +
           kCommon;
}

// What the parser cannot tell: the values' own rules.
int checkValues(const SubCommand& command, const Args& args) {
    if (const auto ext = args.values.constFind(QStringLiteral("--ext"));
        ext != args.values.constEnd()) {
        QString why;
        if (!SiteUpdate::PageExtensions(*ext, &why))
            return usageError(command, "--ext: " + why + ".");
    }
    if (command.run != runInsert) return Done;
    const int places = int(args.values.contains(QStringLiteral("--line"))) +
                       int(args.values.contains(QStringLiteral("--before"))) +
                       int(args.values.contains(QStringLiteral("--after")));
    if (places != 1)
        return usageError(command, QStringLiteral("give one of --line, --before, --after."));
    if (const auto line = args.values.constFind(QStringLiteral("--line"));
        line != args.values.constEnd()) {
        bool number = false;
        if (line->toInt(&number) < 1 || !number)
            return usageError(command, "--line needs a line number from 1, not " + *line + ".");
    }
    for (const char* text : {"--before", "--after"})
        if (args.values.value(QLatin1String(text), QStringLiteral("x")).isEmpty())
            return usageError(command, QString::fromLatin1(text) + " needs a text.");
    return Done;
}

} // namespace

bool IsSubCommand(const char* word) {
    return word && findCommand(word);
}

namespace {

// Letters to change, add or remove to turn one word into the other.
int editDistance(const QByteArray& a, const QByteArray& b) {
    QList<int> row(b.size() + 1);
    for (int j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (int i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = i;
        for (int j = 1; j <= b.size(); ++j) {
            const int above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

} // namespace

int RejectUnknownCommand(const char* word) {
    static const QRegularExpression commandLike(QStringLiteral("^[a-z][a-z-]*$"));
    const QString text = QString::fromLocal8Bit(word);
    // A widget file may have any name; only one that is not there can be a slip.
    if (!commandLike.match(text).hasMatch() || QFileInfo::exists(text)) return -1;
    const SubCommand* nearest = nullptr;
    int best = 3;
    for (const SubCommand& command : kCommands)
        if (const int distance = editDistance(word, command.name); distance < best) {
            best = distance;
            nearest = &command;
        }
    say("unknown command '" + text + "'" +
        (nearest ? QStringLiteral("; did you mean '%1'?").arg(QLatin1String(nearest->name))
                 : QString()) +
        "\nTry '" + kProgram + " --help'.");
    return Usage;
}

const char* SubCommandSummary() {
    return "Without a window (see 'vellwick-glimmerkey COMMAND --help'):\n"
           "  code WIDGET.tvt            print the widget's code, as Copy Code copies it\n"
           "  new-page WIDGET.tvt PAGE   write a page holding only the widget\n"
           "  insert WIDGET.tvt PAGE     insert the widget into a page at a line or a text\n"
           "  update WIDGET.tvt PATH...  update the widget's blocks in pages and folders\n"
           "  blocks PATH...             list the marked blocks in pages and folders\n"
           "  support-files WIDGET.tvt FOLDER   copy the widget's support files\n";
}

int RunSubCommand(int argc, char** argv) {
    guardStandardDescriptors();
    const SubCommand& command = *findCommand(argv[1]);
    // Core only: no display, no platform plugin; the server's Configure,
    // the one part of it that needs widgets, is never called here.
    QCoreApplication app(argc, argv);
    const QStringList words = QCoreApplication::arguments().mid(2);
    if (words.mid(0, words.indexOf(QStringLiteral("--"))).contains(QStringLiteral("--version")))
        return writeOut(QByteArray("Vellwick Glimmerkey ") + GLIMMERKEY_VERSION + "\n") ? Done
                                                                                        : Failed;
    bool help = false;
    int status = Done;
    const auto args = parse(command, words, &help, &status);
    if (help) return writeOut(helpOf(command)) ? Done : Failed;
    if (!args) return status;
    if (const int check = checkValues(command, *args); check != Done) return check;

    StandardErrorPrompts prompts;
    framework::Prompts::setInstance(&prompts);
    InstallStringTable();
    QString problem;
    if (!platform::CoInitialize(&problem)) {
        say(framework::LoadString(IDP_OLE_INIT_FAILED));
        return Failed;
    }
    if (!problem.isEmpty()) say(problem);
    int result = Failed;
    // A server call that fails ends the sub-command with the window's report.
    framework::RunReportingErrors([&] { result = command.run(*args); });
    framework::Prompts::setInstance(nullptr);
    return result;
}
