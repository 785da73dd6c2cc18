#include "output/publishing/Page.h"

#include "output/publishing/HtmlCode.h"
#include "platform/DispatchContract.h"
#include "platform/Paths.h"
#include "platform/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QHashFunctions>
#include <QStringEncoder>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace {

// The markers' comments, without the line ends around them.
constexpr QByteArrayView kBeginComment = QByteArrayView(InsertBeginMarker).chopped(2);
constexpr QByteArrayView kEndComment = QByteArrayView(InsertEndMarker).sliced(2).chopped(2);
constexpr QByteArrayView kCrLf("\r\n");
// Both markers end in it: one pass over a page tells whether it may hold either.
constexpr QByteArrayView kMarkerEnd("Glimmerkey-->");

bool at(QByteArrayView text, qsizetype pos, QByteArrayView what) {
    return pos >= 0 && pos <= text.size() - what.size() && text.sliced(pos, what.size()) == what;
}

bool atNoCase(QByteArrayView text, qsizetype pos, QByteArrayView what) {
    return pos >= 0 && pos <= text.size() - what.size() &&
           qstrnicmp(text.data() + pos, what.data(), what.size()) == 0;
}

// The first "</name" at or after `from`, letter case ignored; the end of
// the text when there is none.
qsizetype closingTag(QByteArrayView text, qsizetype from, QByteArrayView name) {
    for (qsizetype pos = text.indexOf("</", from); pos >= 0; pos = text.indexOf("</", pos + 2))
        if (atNoCase(text, pos + 2, name)) return pos;
    return text.size();
}

// Whether `text` holds `marker`, one of the markers or their common end, in
// any encoding. Each holds a capital G, which pages seldom do: hopping from
// one to the next is several times faster than a general search.
bool contains(QByteArrayView text, QByteArrayView marker) {
    const qsizetype anchor = marker.indexOf('G');
    Q_ASSERT(anchor >= 0);
    if (text.size() < marker.size()) return false;
    const char* const end = text.data() + text.size() - (marker.size() - anchor - 1);
    for (const char* p = text.data() + anchor; p < end; ++p) {
        p = static_cast<const char*>(std::memchr(p, 'G', size_t(end - p)));
        if (!p) return false;
        if (std::memcmp(p - anchor, marker.data(), size_t(marker.size())) == 0) return true;
    }
    return false;
}

bool holdsMarker(QByteArrayView span) {
    return contains(span, kMarkerEnd) &&
           (contains(span, kBeginComment) || contains(span, kEndComment));
}

// Whether a file's bytes may hold a marker; when not, its text holds none. A
// page with a byte-order mark is searched in its own encoding, and a hit
// that is not one is left for decoding to sort out.
bool mayHoldMarker(const QByteArray& bytes) {
    const QByteArray encoding = ByteOrderMarkEncoding(bytes);
    if (encoding.isEmpty()) return holdsMarker(bytes);
    QStringEncoder encoder(encoding.constData());
    return contains(bytes, QByteArray(encoder.encode(QLatin1StringView(kMarkerEnd))));
}

// The identity the widget's server wrote into its code, or empty. Only an
// attribute after white space counts: that is how one is written, and a byte
// of a multi-byte character is never white space, so the identity read from
// a page's stored bytes is the one in its decoded text.
QString identityIn(QByteArrayView code) {
    const QByteArray attribute = QByteArray(dispatch::TAVOLET_WIDGET_ATTRIBUTE) + "=\"";
    qsizetype start = code.indexOf(attribute);
    while (start == 0 || (start > 0 && !QByteArrayView(" \t\r\n\f").contains(code[start - 1])))
        start = code.indexOf(attribute, start + 1);
    if (start < 0) return {};
    const qsizetype from = start + attribute.size();
    const qsizetype close = code.indexOf('"', from);
    if (close < 0 || close - from > dispatch::TAVOLET_WIDGET_IDENTITY_MAX) return {};
    const QString value = QString::fromLatin1(code.sliced(from, close - from));
    return dispatch::IsWidgetIdentity(value) ? value : QString();
}

// The first `c` at or after `from`, or -1. memchr is much faster than
// QByteArrayView::indexOf for the many short hops over a page.
qsizetype next(QByteArrayView text, char c, qsizetype from) {
    if (from >= text.size()) return -1;
    const void* hit = std::memchr(text.data() + from, c, size_t(text.size() - from));
    return hit ? static_cast<const char*>(hit) - text.data() : -1;
}

// A page larger than this is not held: it is no page a person wrote, and
// holding it could take the machine's memory.
constexpr qint64 kMaxPageSize = qint64(1) << 30;

qint64 modified(const struct stat& st) {
    return qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

// Opens a page by its own name's bytes, whatever they are; false with errno set.
bool openPage(const QString& path, QFile& file) {
    const int fd = ::open(platform::PathBytes(path).constData(), O_RDONLY | O_CLOEXEC);
    return fd >= 0 &&
           file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle);
}

QString strError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Tells whether a file's bytes changed: each piece hashed into the next, so
// that a file on disk is hashed as it is read, without holding it whole.
// Qt hashes with its fast hardware hash only when given a seed.
constexpr qsizetype kHashPiece = qsizetype(64) * 1024;
constexpr size_t kHashSeed = 0x9E3779B97F4A7C15u;

size_t fileHash(QByteArrayView bytes) {
    size_t hash = kHashSeed;
    for (qsizetype from = 0; from < bytes.size(); from += kHashPiece)
        hash = qHash(bytes.sliced(from, std::min(kHashPiece, bytes.size() - from)), hash);
    return hash;
}

// The hash of an open file read to its end, and its size.
size_t hashOfFile(QFile& file, qint64* size) {
    size_t hash = kHashSeed;
    QByteArray piece(kHashPiece, Qt::Uninitialized);
    *size = 0;
    for (qint64 read; (read = file.read(piece.data(), kHashPiece)) > 0; *size += read)
        hash = qHash(QByteArrayView(piece).first(read), hash);
    return hash;
}

// The whole of an open file, in a buffer of its size. QIODevice::readAll
// grows its buffer past the end while looking for more, and so may hold
// twice a page; a file that grew meanwhile is still read to its end.
QByteArray readWhole(QFile& file) {
    const qint64 size = file.size();
    QByteArray bytes(size, Qt::Uninitialized);
    const qint64 read = file.read(bytes.data(), size);
    bytes.truncate(std::max<qint64>(read, 0));
    if (read == size && !file.atEnd()) bytes += file.readAll();
    return bytes;
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The first '<' at or after `from` that may open a comment, a marker or a
// tag: followed by '!', a letter, or '/' and a letter; -1 when there is none.
qsizetype nextTag(QByteArrayView text, qsizetype from) {
    for (qsizetype pos = next(text, '<', from); pos >= 0; pos = next(text, '<', pos + 1)) {
        const char after = pos + 1 < text.size() ? text[pos + 1] : ' ';
        if (after == '!' || isLetter(after) ||
            (after == '/' && pos + 2 < text.size() && isLetter(text[pos + 2])))
            return pos;
    }
    return -1;
}

// Just past the '>' that ends the tag whose name starts at `from`, as a
// browser reads it: a '>' inside a quoted attribute value does not end it.
qsizetype tagEnd(QByteArrayView text, qsizetype from) {
    for (qsizetype pos = from; pos < text.size(); ++pos) {
        if (text[pos] == '>') return pos + 1;
        if (text[pos] != '=') continue;
        while (pos + 1 < text.size() && QByteArrayView(" \t\r\n\f").contains(text[pos + 1]))
            ++pos;
        if (pos + 1 < text.size() && (text[pos + 1] == '"' || text[pos + 1] == '\'')) {
            const qsizetype close = text.indexOf(text[pos + 1], pos + 2);
            if (close < 0) return text.size();
            pos = close;
        }
    }
    return text.size();
}

// The element whose start tag is at `pos`, when its content is text that a
// browser never reads as markup: a marker there is no marker. Most tags are
// none of these, and their first letter tells at once.
const char* rawTextElement(QByteArrayView text, qsizetype pos) {
    static constexpr QByteArrayView kRaw[] = {"script", "style", "textarea", "title", "xmp"};
    const char first = char(text[pos + 1] | 0x20);
    if (first != 's' && first != 't' && first != 'x') return nullptr;
    for (const QByteArrayView name : kRaw) {
        const qsizetype end = pos + 1 + name.size();
        if (name[0] == first && atNoCase(text, pos + 1, name) &&
            (end == text.size() || QByteArrayView(" \t\r\n\f/>").contains(text[end])))
            return name.data();
    }
    return nullptr;
}

// Line numbers for offsets that only grow, counted once.
class LineCounter {
public:
    explicit LineCounter(QByteArrayView text) : m_text(text) {}
    int lineOf(qsizetype offset) {
        for (qsizetype at = next(m_text, '\n', m_nPos); at >= 0 && at < offset;
             at = next(m_text, '\n', at + 1))
            ++m_nLine;
        m_nPos = offset;
        return m_nLine;
    }

private:
    QByteArrayView m_text;
    qsizetype m_nPos = 0;
    int m_nLine = 1;
};

} // namespace

BlockScan FindMarkedBlocks(QByteArrayView text) {
    BlockScan scan;
    LineCounter lines(text);
    const auto refuse = [&](const QString& why, qsizetype pos) {
        scan.blocks.clear();
        scan.problem = why + " at line " + QString::number(lines.lineOf(pos));
        return scan;
    };
    qsizetype open = -1; // the begin marker of the block being read
    for (qsizetype pos = nextTag(text, 0); pos >= 0; pos = nextTag(text, pos)) {
        if (text[pos + 1] != '!') {
            // A start or end tag: an attribute value may hold any text,
            // markers' text included.
            const qsizetype end = tagEnd(text, pos + 1);
            if (holdsMarker(text.sliced(pos, end - pos)))
                return refuse(QStringLiteral("A marker inside a tag"), pos);
            const char* raw = rawTextElement(text, pos);
            if (!raw) {
                pos = end;
                continue;
            }
            const qsizetype close = closingTag(text, end, raw);
            if (holdsMarker(text.sliced(end, close - end)))
                return refuse(std::strcmp(raw, "script") == 0
                                  ? QStringLiteral("A marker inside a script")
                                  : QStringLiteral("A marker inside a <%1>").arg(raw),
                              pos);
            pos = close;
        } else if (at(text, pos, kBeginComment)) {
            if (open >= 0) return refuse(QStringLiteral("A marker inside a marked block"), pos);
            if (!at(text, pos + kBeginComment.size(), kCrLf))
                return refuse(QStringLiteral("A begin marker that is not byte-exact"), pos);
            open = pos;
            pos += kBeginComment.size() + kCrLf.size();
        } else if (at(text, pos, kEndComment)) {
            if (open < 0)
                return refuse(QStringLiteral("An end marker without a begin marker"), pos);
            const qsizetype codeStart = open + kBeginComment.size() + kCrLf.size();
            if (pos - kCrLf.size() < codeStart || !at(text, pos - kCrLf.size(), kCrLf) ||
                !at(text, pos + kEndComment.size(), kCrLf))
                return refuse(QStringLiteral("An end marker that is not byte-exact"), pos);
            MarkedBlock block;
            block.begin = open;
            block.end = pos + kEndComment.size() + kCrLf.size();
            block.line = lines.lineOf(open);
            block.identity = identityIn(text.sliced(codeStart, pos - kCrLf.size() - codeStart));
            scan.blocks.append(block);
            open = -1;
            pos = block.end;
        } else if (at(text, pos, "<!--")) {
            // Comments do not nest: this one ends at the first "-->".
            const qsizetype close = text.indexOf("-->", pos + 4);
            const qsizetype end = close < 0 ? text.size() : close + 3;
            if (holdsMarker(text.sliced(pos + 4, end - pos - 4)))
                return refuse(QStringLiteral("A marker inside a comment"), pos);
            pos = end;
        } else if (at(text, pos, "<![CDATA[")) {
            const qsizetype close = text.indexOf("]]>", pos + 9);
            const qsizetype end = close < 0 ? text.size() : close + 3;
            if (holdsMarker(text.sliced(pos, end - pos)))
                return refuse(QStringLiteral("A marker inside a CDATA section"), pos);
            pos = end;
        } else {
            ++pos;
        }
    }
    if (open >= 0) return refuse(QStringLiteral("A begin marker without an end marker"), open);
    return scan;
}

namespace {

// The offset `at` names in `text`; -1, with the reason, when it names none.
qsizetype offsetOf(const PageText& page, QByteArrayView text, const InsertionPoint& at,
                   QString* problem) {
    switch (at.kind) {
    case InsertionPoint::Offset:
        return std::clamp<qsizetype>(at.nWhere, 0, text.size());
    case InsertionPoint::Line: {
        qsizetype pos = 0;
        for (qsizetype line = 1; line < at.nWhere && pos >= 0; ++line)
            if ((pos = text.indexOf('\n', pos)) >= 0) ++pos;
        if (pos >= 0) return pos;
        // A last line without its line end is a line too; the start of the
        // line after the last one is the page's end.
        const qsizetype lines = text.isEmpty() ? 0 : text.count('\n') + !text.endsWith('\n');
        *problem = QStringLiteral("Line %1 is past the end of the page, which has %2 lines")
                       .arg(at.nWhere)
                       .arg(lines);
        return -1;
    }
    case InsertionPoint::Before:
    case InsertionPoint::After:
        break;
    }
    const QByteArray needle = EditorTextOf(page, at.strText);
    const qsizetype found = text.indexOf(needle);
    if (found < 0) *problem = "The text \"" + at.strText + "\" is not in the page";
    return found < 0 || at.kind == InsertionPoint::Before ? found : found + needle.size();
}

} // namespace

Insertion PlaceBlock(const PageText& page, QByteArrayView text, const InsertionPoint& at,
                     QByteArrayView blockText) {
    Insertion place;
    place.offset = offsetOf(page, text, at, &place.problem);
    if (place.offset < 0) return place;
    if (text.startsWith("\xEF\xBB\xBF")) place.offset = std::max<qsizetype>(place.offset, 3);
    QByteArray with;
    with.reserve(text.size() + blockText.size());
    with.append(text.first(place.offset)).append(blockText).append(text.sliced(place.offset));
    const BlockScan scan = FindMarkedBlocks(with);
    const bool found = std::any_of(scan.blocks.cbegin(), scan.blocks.cend(),
                                   [&](const MarkedBlock& b) { return b.begin == place.offset; });
    if (!scan.problem.isEmpty())
        place.problem = "The widget cannot go there: " + scan.problem +
                        "; a later update would refuse the page";
    else if (!found)
        place.problem = QStringLiteral("The widget cannot go there: its block would not be found");
    return place;
}

QString MarkedBlockText(const QString& code) {
    return QLatin1StringView(InsertBeginMarker) + code + QLatin1StringView(InsertEndMarker);
}

bool Page::Load(const QString& path, LineEnds lineEnds, QString* error, Decode decode) {
    m_strPath = path;
    const auto refuse = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    QFile file;
    struct stat st {};
    if (::stat(platform::PathBytes(path).constData(), &st) != 0)
        return refuse(errno == ENOENT ? QStringLiteral("no such file")
                                      : QString::fromLocal8Bit(std::strerror(errno)));
    if (S_ISDIR(st.st_mode)) return refuse(path + " is a folder");
    // A pipe or a device could block for ever or never end.
    if (!S_ISREG(st.st_mode)) return refuse(QStringLiteral("it is not a regular file"));
    if (st.st_size > kMaxPageSize)
        return refuse(QStringLiteral("it is too large: %1 bytes, over the limit of %2 bytes")
                          .arg(st.st_size)
                          .arg(kMaxPageSize));
    if (!openPage(path, file)) return refuse(strError());
    if (::fstat(file.handle(), &st) == 0) m_nTime = modified(st);
    // One page that cannot be held costs that page, never the run.
    try {
        QByteArray bytes = readWhole(file);
        if (file.error() != QFileDevice::NoError) return refuse(file.errorString());
        if (bytes.size() > kMaxPageSize)
            return refuse(QStringLiteral("it grew too large while it was read"));
        m_nSize = bytes.size();
        m_nHash = 0;
        if (decode == IfMarked && !mayHoldMarker(bytes)) {
            m_text = PageText{};
            return true;
        }
        m_nHash = fileHash(bytes);
        if (decode == IfMarked && ByteOrderMarkEncoding(bytes).isEmpty()) {
            m_text = StoredPageText(std::exchange(bytes, {}));
            return true;
        }
        m_text = LoadPageText(std::exchange(bytes, {}), lineEnds);
    } catch (const std::bad_alloc&) {
        m_text = PageText{};
        return refuse(
            QStringLiteral("there is not enough memory to hold it (%1 bytes)").arg(st.st_size));
    }
    if (!m_text.refusal.isEmpty()) return refuse(m_text.refusal);
    return true;
}

QString Page::EncodingName() const {
    switch (m_text.mode) {
    case PageText::Utf8:
        return QStringLiteral("UTF-8");
    case PageText::Encoded:
        return QString::fromLatin1(m_text.encoding);
    case PageText::Bytes:
        if (!m_text.encoding.isEmpty()) return QString::fromLatin1(m_text.encoding);
        break;
    }
    return QStringLiteral("8-bit bytes");
}

void Page::Create(const QString& path) {
    m_strPath = path;
    m_text = PageText{};
    m_nSize = -1;
}

bool Page::UnchangedOnDisk(QString* why) const {
    const auto changed = [&](const QString& how) {
        if (why) *why = how;
        return false;
    };
    struct stat st {};
    const bool exists = ::stat(platform::PathBytes(m_strPath).constData(), &st) == 0;
    if (m_nSize < 0) return !exists || changed(QStringLiteral("it was made meanwhile"));
    if (!exists) return changed(QStringLiteral("it no longer exists"));
    if (!S_ISREG(st.st_mode)) return changed(QStringLiteral("it is no longer a file"));
    const QString changedOnDisk = QStringLiteral("it changed on disk since it was read");
    if (st.st_size != m_nSize || modified(st) != m_nTime) return changed(changedOnDisk);
    QFile file;
    if (!openPage(m_strPath, file)) return changed(strError());
    qint64 size = 0;
    if (hashOfFile(file, &size) != m_nHash || size != m_nSize) return changed(changedOnDisk);
    return true;
}

bool Page::TakeDiskState(QString* error) {
    struct stat st {};
    if (::stat(platform::PathBytes(m_strPath).constData(), &st) != 0) {
        m_nSize = -1;
        return true;
    }
    QFile file;
    if (!S_ISREG(st.st_mode) || !openPage(m_strPath, file)) {
        if (error)
            *error = S_ISREG(st.st_mode) ? strError() : QStringLiteral("it is not a regular file");
        return false;
    }
    if (::fstat(file.handle(), &st) == 0) m_nTime = modified(st);
    m_nHash = hashOfFile(file, &m_nSize);
    return true;
}

QString Page::WhyNotReplaceable() const {
    struct stat st {};
    if (::stat(platform::PathBytes(m_strPath).constData(), &st) != 0) return {};
    // Root could write it, but the user made it read-only to keep it as it is.
    if ((st.st_mode & 0222) == 0 || ::access(platform::PathBytes(m_strPath).constData(), W_OK) != 0)
        return QStringLiteral("it is read-only");
    if (st.st_nlink > 1)
        return QStringLiteral("it has %1 names (hard links), which a new file would split")
            .arg(st.st_nlink);
    return {};
}

QByteArray WithBlocksReplaced(QByteArrayView text, QList<MarkedBlock> blocks,
                              QByteArrayView blockText) {
    std::sort(blocks.begin(), blocks.end(),
              [](const MarkedBlock& a, const MarkedBlock& b) { return a.begin < b.begin; });
    QByteArray out;
    out.reserve(text.size() + blocks.size() * blockText.size());
    qsizetype from = 0;
    for (const MarkedBlock& b : std::as_const(blocks)) {
        out.append(text.sliced(from, b.begin - from));
        out.append(blockText);
        from = b.end;
    }
    out.append(text.sliced(from));
    return out;
}

void Page::makeReadyFor(const QString& code) {
    // A page with NUL bytes does not decode; its code goes in as bytes.
    if (m_text.mode != PageText::Bytes || m_text.encoding.isEmpty() ||
        m_text.editorText.contains('\0'))
        return;
    const QString block = MarkedBlockText(code);
    QStringEncoder encoder(m_text.encoding.constData());
    const QByteArray encoded = encoder.encode(block);
    if (!encoder.hasError() && encoded == EditorTextOf(m_text, block)) return;
    // A page without a byte-order mark always decodes, if only as bytes.
    m_text = LoadPageText(std::exchange(m_text.editorText, {}), LineEnds::AsTheyAre);
}

int Page::ReplaceBlocksOf(const QString& identity, const QString& code) {
    makeReadyFor(code);
    const BlockScan scan = Blocks();
    const QByteArray block = EditorTextOf(m_text, MarkedBlockText(code));
    QList<MarkedBlock> stale;
    bool any = false;
    for (const MarkedBlock& b : scan.blocks) {
        if (!identity.isEmpty() && b.identity != identity) continue;
        any = true;
        if (QByteArrayView(m_text.editorText).sliced(b.begin, b.end - b.begin) != block) stale << b;
    }
    if (!any) return -1;
    if (!stale.isEmpty()) m_text.editorText = WithBlocksReplaced(m_text.editorText, stale, block);
    return int(stale.size());
}

void Page::ReplaceBlocks(const QList<MarkedBlock>& blocks, const QString& code) {
    if (blocks.isEmpty()) return;
    m_text.editorText =
        WithBlocksReplaced(m_text.editorText, blocks, EditorTextOf(m_text, MarkedBlockText(code)));
}

platform::Replaced Page::Save(QString* error) const {
    const auto refuse = [&](const QString& why) {
        if (error) *error = why;
        return platform::Replaced::Refused;
    };
    if (const QString why = WhyNotReplaceable(); !why.isEmpty()) return refuse(why);
    bool fits = true;
    const QByteArray bytes = PageBytes(m_text, m_text.editorText, &fits);
    if (!fits) {
        if (error)
            *error = "Its text no longer fits the page's encoding, " +
                     QString::fromLatin1(m_text.encoding) + "; the page is not changed.";
        return platform::Replaced::Failed;
    }
    // Another writer (an editor, a log appending) may have been at the page
    // since it was read: its work is never replaced by the older text.
    const platform::LastCheck unchanged = [this]() -> QString {
        if (m_nSize < 0) return {};
        QString why;
        return UnchangedOnDisk(&why) ? QString()
                                     : QStringLiteral("it changed while it was being updated");
    };
    return platform::ReplaceFileSafely(m_strPath, bytes, unchanged, error);
}
