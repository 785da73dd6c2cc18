#include "output/publishing/PageText.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {

struct Bom {
    const char* bytes;
    int size;
    const char* encoding;
};
// Longest first: the UTF-32 LE mark begins with the UTF-16 LE one.
const Bom kBoms[] = {{"\xFF\xFE\x00\x00", 4, "UTF-32LE"},
                     {"\x00\x00\xFE\xFF", 4, "UTF-32BE"},
                     {"\xFF\xFE", 2, "UTF-16LE"},
                     {"\xFE\xFF", 2, "UTF-16BE"}};

// The encoding a page's head declares, in lower case; empty when none.
QString declarationIn(const QString& head) {
    static const QRegularExpression declaration(
        QStringLiteral(R"((?:charset|encoding)\s*=\s*["']?\s*([A-Za-z0-9_.:-]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = declaration.match(head);
    return match.hasMatch() ? match.captured(1).toLower() : QString();
}

// Declarations sit near the top.
constexpr qsizetype kHead = 4096;

// The legacy multi-byte encodings a page may declare, by the names pages use.
QByteArray declaredEncoding(const QByteArray& bytes) {
    // ASCII is enough to find them.
    const QString name = declarationIn(QString::fromLatin1(bytes.left(kHead)));
    if (name.isEmpty()) return {};
    if (name == u"shift_jis" || name == u"shift-jis" || name == u"sjis" || name == u"x-sjis" ||
        name == u"windows-31j" || name == u"ms_kanji")
        return "Shift_JIS";
    if (name == u"euc-kr" || name == u"ks_c_5601-1987" || name == u"windows-949") return "EUC-KR";
    if (name == u"gb2312" || name == u"gbk" || name == u"x-gbk" || name == u"cp936") return "GBK";
    if (name == u"gb18030") return "GB18030";
    if (name == u"big5" || name == u"big5-hkscs" || name == u"x-x-big5") return "Big5";
    return {};
}

// UTF-16 or UTF-32 without a byte-order mark, as the page declares itself
// when read in that encoding; empty when it does not.
QByteArray declaredWideEncoding(const QByteArray& bytes) {
    for (const char* wide : {"UTF-16LE", "UTF-16BE", "UTF-32LE", "UTF-32BE"}) {
        QStringDecoder decoder(wide);
        const QString name =
            declarationIn(decoder(QByteArrayView(bytes).first(std::min(bytes.size(), kHead * 4))));
        // "utf-16" names no byte order: only the right one reads the declaration at all.
        if (!name.isEmpty() && QString::fromLatin1(wide).toLower().startsWith(name)) return wide;
    }
    return {};
}

// Large pages are encoded a piece at a time, so that no second whole copy is held.
constexpr qsizetype kPiece = qsizetype(16) * 1024;

// How many bytes UTF-8 takes for the code units of UTF-16 or UTF-32 at `p`:
// each half of a surrogate pair two of its four. Without a branch, and in
// runs of a fixed length, so that the compiler counts many units at once.
template <typename Unit, bool bigEndian>
qsizetype utf8SizeOfUnits(const uchar* p, qsizetype count) {
    const auto bytes = [](Unit stored) {
        const char32_t unit = bigEndian ? qFromBigEndian(stored) : qFromLittleEndian(stored);
        return 1 + (unit >= 0x80) + (unit >= 0x800) + (unit >= 0x10000) - (unit - 0xD800 < 0x800);
    };
    constexpr qsizetype kRun = 16;
    qsizetype size = 0, i = 0;
    for (; i + kRun <= count; i += kRun) {
        Unit units[kRun];
        std::memcpy(units, p + i * sizeof(Unit), sizeof units);
        unsigned run = 0;
        for (const Unit unit : units)
            run += bytes(unit);
        size += run;
    }
    for (; i < count; ++i) {
        Unit unit;
        std::memcpy(&unit, p + i * sizeof(Unit), sizeof unit);
        size += bytes(unit);
    }
    return size;
}

// How long `text` in `encoding` is in UTF-8: exactly for UTF-16 and UTF-32,
// counted from their code units; a legacy encoding's bytes, mostly one or
// two to a character, rarely take more.
qsizetype utf8Size(const QByteArray& encoding, QByteArrayView text) {
    const auto* p = reinterpret_cast<const uchar*>(text.data());
    const bool bigEndian = encoding.endsWith("BE");
    if (encoding.startsWith("UTF-16"))
        return bigEndian ? utf8SizeOfUnits<quint16, true>(p, text.size() / 2)
                         : utf8SizeOfUnits<quint16, false>(p, text.size() / 2);
    if (encoding.startsWith("UTF-32"))
        return bigEndian ? utf8SizeOfUnits<quint32, true>(p, text.size() / 4)
                         : utf8SizeOfUnits<quint32, false>(p, text.size() / 4);
    return text.size();
}

// UTF-16 without a lone surrogate half always encodes back to its bytes:
// checking that is enough, and its code units go straight into UTF-8, a
// piece at a time, never cutting a surrogate pair.
bool utf16ToUtf8(const QByteArray& encoding, QByteArrayView text, QByteArray* utf8) {
    if (text.size() % 2 != 0) return false;
    const bool bigEndian = encoding.endsWith("BE");
    const auto* p = reinterpret_cast<const uchar*>(text.data());
    const qsizetype units = text.size() / 2;
    *utf8 = QByteArray(utf8Size(encoding, text), Qt::Uninitialized);
    char* out = utf8->data();
    char* const end = out + utf8->size();
    QStringEncoder encoder(QStringEncoder::Utf8);
    QString piece;
    for (qsizetype from = 0, count = 0; from < units; from += count) {
        count = std::min(kPiece / 2, units - from);
        piece.resize(count);
        if (bigEndian)
            qFromBigEndian<char16_t>(p + from * 2, count, piece.data());
        else
            qFromLittleEndian<char16_t>(p + from * 2, count, piece.data());
        if (from + count < units && piece.back().isHighSurrogate()) {
            piece.chop(1);
            --count;
        }
        if (!QStringView(piece).isValidUtf16()) return false;
        // The buffer was sized by a count: should it ever be short, the page
        // fails rather than being written past the buffer's end.
        if (end - out >= 3 * piece.size()) {
            out = encoder.appendToBuffer(out, piece);
        } else {
            const QByteArray bytes = QStringView(piece).toUtf8();
            if (end - out < bytes.size()) return false;
            out = std::copy(bytes.cbegin(), bytes.cend(), out);
        }
    }
    return out == end;
}

// The UTF-8 of `text` decoded, when encoding it again gives back every
// byte; a piece at a time, so that the page is never held decoded whole.
bool roundTrips(const QByteArray& encoding, QByteArrayView text, QByteArray* utf8) {
    if (encoding.startsWith("UTF-16")) return utf16ToUtf8(encoding, text, utf8);
    // A U+FEFF that opens the text (after the page's own mark) is a character.
    QStringDecoder decoder(encoding.constData(), QStringDecoder::Flag::ConvertInitialBom);
    QStringEncoder encoder(encoding.constData());
    if (!decoder.isValid() || !encoder.isValid()) return false;
    utf8->clear();
    // Reserved whole, so that growing never holds nearly twice the text.
    utf8->reserve(utf8Size(encoding, text));
    QString carried; // a high surrogate whose low half is in the next piece
    qsizetype matched = 0;
    for (qsizetype from = 0; from < text.size(); from += kPiece) {
        const bool last = from + kPiece >= text.size();
        QString piece = carried + decoder(text.sliced(from, std::min(kPiece, text.size() - from)));
        carried.clear();
        if (!last && !piece.isEmpty() && piece.back().isHighSurrogate()) {
            carried = piece.back();
            piece.chop(1);
        }
        // Qt lets lone surrogates through; the editor could not hold them.
        if (decoder.hasError() || !QStringView(piece).isValidUtf16()) return false;
        const QByteArray back = encoder.encode(piece);
        if (encoder.hasError() || back.size() > text.size() - matched ||
            back != text.sliced(matched, back.size()))
            return false;
        matched += back.size();
        utf8->append(piece.toUtf8());
    }
    // A character cut off at the end is in neither.
    return matched == text.size();
}

} // namespace

QByteArray WithCrLfLineEnds(const QByteArray& bytes) {
    // Most pages already end every line in CR LF: then they are kept, not copied.
    bool changes = !bytes.isEmpty() && !bytes.endsWith('\n');
    for (qsizetype at = bytes.indexOf('\n'); !changes && at >= 0; at = bytes.indexOf('\n', at + 1))
        changes = at == 0 || bytes[at - 1] != '\r';
    if (!changes) return bytes;
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 16 + 2);
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        const bool last = end < 0;
        if (last) end = bytes.size();
        qsizetype lineEnd = end;
        if (!last && lineEnd > start && bytes[lineEnd - 1] == '\r') --lineEnd;
        out.append(bytes.constData() + start, lineEnd - start);
        out.append("\r\n", 2);
        start = end + 1;
    }
    return out;
}

QByteArray ByteOrderMarkEncoding(const QByteArray& fileBytes) {
    for (const Bom& bom : kBoms)
        if (fileBytes.startsWith(QByteArrayView(bom.bytes, bom.size))) return bom.encoding;
    return {};
}

PageText LoadPageText(QByteArray fileBytes, LineEnds lineEnds) {
    const auto ends = [lineEnds](const QByteArray& text) {
        return lineEnds == LineEnds::CrLf ? WithCrLfLineEnds(text) : text;
    };
    PageText page;
    for (const Bom& bom : kBoms) {
        if (!fileBytes.startsWith(QByteArray::fromRawData(bom.bytes, bom.size))) continue;
        QByteArray decoded;
        page.mode = PageText::Encoded;
        page.encoding = bom.encoding;
        page.bom = fileBytes.left(bom.size);
        if (!roundTrips(page.encoding, QByteArrayView(fileBytes).sliced(bom.size), &decoded)) {
            // Cut at a byte 0x0A, such a page would be ruined; it is left alone.
            page.refusal = "The page is not valid " + QString::fromLatin1(bom.encoding) +
                           " text; it is not changed.";
            return page;
        }
        fileBytes = {};
        page.editorText = ends(decoded);
        return page;
    }
    if (fileBytes.contains('\0')) {
        // UTF-16 or UTF-32 without a mark passes for UTF-8 full of NULs, and
        // text put in as UTF-8 would ruin it; taken only as it declares itself.
        page.mode = PageText::Encoded;
        page.encoding = declaredWideEncoding(fileBytes);
        QByteArray decoded;
        if (page.encoding.isEmpty() || !roundTrips(page.encoding, fileBytes, &decoded)) {
            page.refusal = QStringLiteral(
                "The page holds NUL bytes and no byte-order mark: it may be UTF-16 or UTF-32 "
                "text that does not say which; it is not changed.");
            return page;
        }
        fileBytes = {};
        page.editorText = ends(decoded);
        return page;
    }
    if (QByteArrayView(fileBytes).isValidUtf8()) {
        page.mode = PageText::Utf8;
        page.editorText = ends(fileBytes);
        return page;
    }
    if (const QByteArray declared = declaredEncoding(fileBytes); !declared.isEmpty()) {
        QByteArray decoded;
        if (roundTrips(declared, fileBytes, &decoded)) {
            page.mode = PageText::Encoded;
            page.encoding = declared;
            fileBytes = {};
            page.editorText = ends(decoded);
            return page;
        }
    }
    page.mode = PageText::Bytes;
    page.editorText = ends(fileBytes);
    return page;
}

PageText StoredPageText(QByteArray fileBytes) {
    PageText page;
    page.mode = QByteArrayView(fileBytes).isValidUtf8() ? PageText::Utf8 : PageText::Bytes;
    if (page.mode == PageText::Bytes) page.encoding = declaredEncoding(fileBytes);
    page.editorText = std::move(fileBytes);
    return page;
}

QByteArray PageBytes(const PageText& page, const QByteArray& editorText, bool* ok) {
    *ok = true;
    if (page.mode != PageText::Encoded) return editorText;
    // A U+FEFF that opens the text is a character of the page, as above.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    QStringEncoder encoder(page.encoding.constData());
    // Into one buffer after the byte-order mark, a piece of the UTF-8 text at
    // a time, so that the whole text is never held decoded as well. UTF-16
    // and UTF-32 take exactly their required space, counted from the UTF-8
    // (a code unit per character, two for one of four bytes); a legacy
    // encoding rarely needs more than the UTF-8 text, and grows when it does.
    const auto* p = reinterpret_cast<const unsigned char*>(editorText.constData());
    qsizetype units = 0;
    if (page.encoding.startsWith("UTF-"))
        for (qsizetype i = 0; i < editorText.size(); ++i)
            units += (p[i] & 0xC0) != 0x80 ? 1 + (p[i] >= 0xF0) : 0;
    QByteArray bytes;
    bytes.reserve(page.bom.size() + (units > 0 ? encoder.requiredSpace(units) : editorText.size()));
    bytes.append(page.bom);
    QString piece;
    for (qsizetype from = 0; from < editorText.size(); from += kPiece) {
        // The decoder keeps a character cut at the piece's end for the next.
        piece = decoder(
            QByteArrayView(editorText).sliced(from, std::min(kPiece, editorText.size() - from)));
        const qsizetype need = bytes.size() + encoder.requiredSpace(piece.size());
        if (need > bytes.capacity())
            bytes.reserve(std::max(need, bytes.capacity() + bytes.capacity() / 4));
        const qsizetype size = bytes.size();
        bytes.resize(need);
        char* end = encoder.appendToBuffer(bytes.data() + size, piece);
        bytes.truncate(end - bytes.constData());
    }
    if (!encoder.isValid() || encoder.hasError() || decoder.hasError()) {
        *ok = false;
        return {};
    }
    return bytes;
}

QByteArray EditorTextOf(const PageText& page, const QString& code) {
    if (page.mode != PageText::Bytes) return code.toUtf8();
    // One byte per character: what Latin-1 cannot hold goes in as a character reference.
    QByteArray bytes;
    bytes.reserve(code.size());
    for (const char32_t c : code.toUcs4()) {
        if (c < 0x100)
            bytes.append(char(c));
        else
            bytes.append("&#" + QByteArray::number(quint32(c)) + ';');
    }
    return bytes;
}
