#pragma once

#include <QByteArray>
#include <QString>

// A page as the insert dialog holds it. The page belongs to the user and may
// be in any encoding: what the editor shows is chosen so that no byte
// outside an insertion changes when it is written back, apart from the line
// ends (every line ends in CR LF afterwards; a lone CR is no line end and
// stays).
//   - valid UTF-8: the bytes as they are, shown as UTF-8;
//   - UTF-16 or UTF-32 (byte-order mark) and legacy multi-byte encodings the
//     page declares (Shift_JIS, EUC-KR, GB2312/GBK/GB18030, Big5): decoded
//     for the editor, encoded back in the page's own encoding, its byte-order
//     mark kept; used only when that round trip gives back every byte;
//   - anything else: the bytes as they are, shown one character per byte.
struct PageText {
    enum Mode { Bytes, Utf8, Encoded };
    Mode mode = Utf8;
    // Encoded: the codec's name. Bytes: the legacy encoding the page declares
    // when it is held as its stored bytes undecoded (see StoredPageText).
    QByteArray encoding;
    QByteArray bom; // Encoded: written before the text
    // What the editor holds: UTF-8 for Utf8 and Encoded, the raw bytes for Bytes.
    QByteArray editorText;
    // Why the page cannot be edited safely (a UTF-16 page that does not
    // decode); empty when it can.
    QString refusal;
};

// The page's lines, each followed by CR LF.
QByteArray WithCrLfLineEnds(const QByteArray& bytes);

// How a page's line ends come into the editor: every line ends in CR LF, as
// the insert dialog shows pages; or as they are, so that a page rewritten
// without a dialog keeps every byte outside what was replaced.
enum class LineEnds { CrLf, AsTheyAre };

// The encoding a byte-order mark of UTF-16 or UTF-32 at the start of the
// bytes names ("UTF-16LE"), or empty.
QByteArray ByteOrderMarkEncoding(const QByteArray& fileBytes);

// Takes the bytes by value: given them to keep, it lets them go as soon as
// they are decoded, so a large page is not held three times.
PageText LoadPageText(QByteArray fileBytes, LineEnds lineEnds = LineEnds::CrLf);
// A page without a byte-order mark as its stored bytes, for finding and
// replacing blocks without decoding it: every byte of the file kept. UTF-8
// is held as the full reading holds it; any other page as 8-bit bytes with
// the legacy encoding it declares noted. Its markers, tags and line ends
// are where decoding would put them, since each is ASCII and no byte of a
// multi-byte character of those encodings is '<', '!', '-', '>', '"', CR,
// LF or white space.
PageText StoredPageText(QByteArray fileBytes);
// The file's bytes for what the editor holds; false in `ok` when a character
// cannot be written in the page's encoding (nothing is written then).
QByteArray PageBytes(const PageText& page, const QByteArray& editorText, bool* ok);
// The widget's code as the editor of `page` holds it.
QByteArray EditorTextOf(const PageText& page, const QString& code);
