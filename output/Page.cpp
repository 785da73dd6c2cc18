#include "output/Page.h"

#include "output/HtmlCode.h"
#include "platform/DispatchContract.h"
#include "platform/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QHashFunctions>
#include <QStringEncoder>

#include <algorithm>
#include <bit>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

constexpr QByteArrayView kBeginComment("<!--Insert By Mirovasta Glimmerkey-->");
constexpr QByteArrayView kEndComment("<!--End of Glimmerkey-->");
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

// The first "</script" at or after `from`, letter case ignored; the end of
// the text when there is none.
qsizetype scriptEnd(QByteArrayView text, qsizetype from) {
    for (qsizetype pos = text.indexOf("</", from); pos >= 0; pos = text.indexOf("</", pos + 2))
        if (atNoCase(text, pos, "</script")) return pos;
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
    const QByteArrayView value = code.sliced(from, close - from);
    const bool plain = std::all_of(value.begin(), value.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
               c == '-';
    });
    return plain ? QString::fromLatin1(value) : QString();
}

// The first `c` at or after `from`, or -1. memchr is much faster than
// QByteArrayView::indexOf for the many short hops over a page.
qsizetype next(QByteArrayView text, char c, qsizetype from) {
    if (from >= text.size()) return -1;
    const void* hit = std::memchr(text.data() + from, c, size_t(text.size() - from));
    return hit ? static_cast<const char*>(hit) - text.data() : -1;
}

// Tells whether a file's bytes changed. Qt hashes with its fast hardware
// hash only when given a seed; any fixed one will do within a process.
size_t fileHash(QByteArrayView bytes) {
    return qHash(bytes, size_t(0x9E3779B97F4A7C15u));
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

// The first '<' at or after `from` that may open a comment, a marker or a
// script: followed by '!', 's' or 'S'; -1 when there is none. Few tags are
// such, so sixteen bytes are tested at once where the processor can.
qsizetype nextSpecialTag(QByteArrayView text, qsizetype from) {
    const auto special = [](char c) { return c == '!' || c == 's' || c == 'S'; };
#ifdef __SSE2__
    const char* const start = text.data();
    const __m128i lt = _mm_set1_epi8('<'), bang = _mm_set1_epi8('!'), s = _mm_set1_epi8('s'),
                  lower = _mm_set1_epi8(0x20);
    // Each lane's byte, and the byte after it.
    for (; from + 17 <= text.size(); from += 16) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(start + from));
        const __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(start + from + 1));
        const __m128i hit = _mm_and_si128(
            _mm_cmpeq_epi8(here, lt), _mm_or_si128(_mm_cmpeq_epi8(after, bang),
                                                   _mm_cmpeq_epi8(_mm_or_si128(after, lower), s)));
        if (const int lanes = _mm_movemask_epi8(hit))
            return from + std::countr_zero(unsigned(lanes));
    }
#endif
    for (qsizetype pos = next(text, '<', from); pos >= 0; pos = next(text, '<', pos + 1))
        if (pos + 1 < text.size() && special(text[pos + 1])) return pos;
    return -1;
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
    for (qsizetype pos = nextSpecialTag(text, 0); pos >= 0; pos = nextSpecialTag(text, pos)) {
        if (at(text, pos, kBeginComment)) {
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
        } else if (atNoCase(text, pos, "<script") &&
                   (pos + 7 == text.size() ||
                    QByteArrayView(" \t\r\n\f/>").contains(text[pos + 7]))) {
            const qsizetype end = scriptEnd(text, pos + 7);
            if (holdsMarker(text.sliced(pos, end - pos)))
                return refuse(QStringLiteral("A marker inside a script"), pos);
            pos = end;
        } else {
            ++pos;
        }
    }
    if (open >= 0) return refuse(QStringLiteral("A begin marker without an end marker"), open);
    return scan;
}

QString MarkedBlockText(const QString& code) {
    return InsertBeginMarker + code + InsertEndMarker;
}

bool Page::Load(const QString& path, LineEnds lineEnds, QString* error, Decode decode) {
    m_strPath = path;
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        if (error) *error = QFileInfo(path).isDir() ? path + " is a folder" : file.errorString();
        return false;
    }
    QByteArray bytes = readWhole(file);
    if (file.error() != QFileDevice::NoError) {
        if (error) *error = file.errorString();
        return false;
    }
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
    if (!m_text.refusal.isEmpty()) {
        if (error) *error = m_text.refusal;
        return false;
    }
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
    const QFileInfo info(m_strPath);
    const auto changed = [&](const QString& how) {
        if (why) *why = how;
        return false;
    };
    if (m_nSize < 0) return !info.exists() || changed(QStringLiteral("it was made meanwhile"));
    if (!info.isFile()) return changed(QStringLiteral("it is no longer a file"));
    if (info.size() != m_nSize)
        return changed(QStringLiteral("it changed on disk since it was read"));
    QFile file(m_strPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return changed(file.errorString());
    if (fileHash(readWhole(file)) != m_nHash)
        return changed(QStringLiteral("it changed on disk since it was read"));
    return true;
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

bool Page::MakeReadyFor(const QString& code) {
    if (m_text.mode != PageText::Bytes || m_text.encoding.isEmpty()) return false;
    const QString block = MarkedBlockText(code);
    QStringEncoder encoder(m_text.encoding.constData());
    const QByteArray encoded = encoder.encode(block);
    if (!encoder.hasError() && encoded == EditorTextOf(m_text, block)) return false;
    // A page without a byte-order mark always decodes, if only as bytes.
    m_text = LoadPageText(std::exchange(m_text.editorText, {}), LineEnds::AsTheyAre);
    return true;
}

void Page::ReplaceBlocks(const QList<MarkedBlock>& blocks, const QString& code) {
    if (blocks.isEmpty()) return;
    m_text.editorText =
        WithBlocksReplaced(m_text.editorText, blocks, EditorTextOf(m_text, MarkedBlockText(code)));
}

bool Page::Save(QString* error) const {
    bool fits = true;
    const QByteArray bytes = PageBytes(m_text, m_text.editorText, &fits);
    if (!fits) {
        if (error)
            *error = "Its text no longer fits the page's encoding, " +
                     QString::fromLatin1(m_text.encoding) + "; the page is not changed.";
        return false;
    }
    return platform::WriteFileSafely(m_strPath, bytes, error);
}
