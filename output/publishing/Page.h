#pragma once

#include "output/publishing/PageText.h"
#include "platform/SafeFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// The marker lines written around a widget's code in a page, byte for byte;
// the only definition of them, for writing and for finding blocks alike.
inline constexpr char InsertBeginMarker[] = "<!--Insert By Mirovasta Glimmerkey-->\r\n";
inline constexpr char InsertEndMarker[] = "\r\n<!--End of Glimmerkey-->\r\n";

// A block the program placed in a page: the begin marker, a widget's code and
// the end marker, byte for byte as they were written.
struct MarkedBlock {
    qsizetype begin = 0; // the begin marker's first byte in the page's text
    qsizetype end = 0;   // just past the end marker
    int line = 0;        // the begin marker's line, from 1
    // The widget the code came from, as its server wrote it into the code;
    // empty when the code does not say.
    QString identity;

    bool contains(qsizetype offset) const { return offset >= begin && offset < end; }
};

// The marked blocks of a page's text, or why its markers cannot be trusted:
// a begin marker without its end, an end without its begin, nested markers,
// a marker inside a comment or a script, a marker that is not byte-exact. A
// page with a problem has no blocks: nothing in it is replaced by guessing.
struct BlockScan {
    QList<MarkedBlock> blocks;
    QString problem;
};
BlockScan FindMarkedBlocks(QByteArrayView text);

// `code` between the two markers, as it goes into a page.
QString MarkedBlockText(const QString& code);
// `text` with each of `blocks` (found in it) replaced by `blockText`; every
// other byte stays.
QByteArray WithBlocksReplaced(QByteArrayView text, QList<MarkedBlock> blocks,
                              QByteArrayView blockText);

// Where a block is to go in a page: at an offset into the editor's text
// (the insert dialog's caret), at the start of a line (from 1), or before or
// after the first occurrence of a text.
struct InsertionPoint {
    enum Kind { Offset, Line, Before, After };
    Kind kind = Offset;
    qsizetype nWhere = 0; // the offset or the line
    QString strText;      // Before, After
};

// Where a block goes in `text`, an editor's text of `page`: never before a
// UTF-8 byte-order mark, which stays first. With the reason when there is
// no such place, or when the block would sit where the scanner does not
// trust markers (a comment, a script, a tag, another block): a later update
// would refuse the page.
struct Insertion {
    qsizetype offset = 0;
    QString problem;
};
Insertion PlaceBlock(const PageText& page, QByteArrayView text, const InsertionPoint& at,
                     QByteArrayView blockText);

// One page of the user's, from reading to writing: every command that puts a
// widget into a page goes through it, so that a page is decoded, searched,
// changed and written back in one way.
class Page {
public:
    // How much of the page Load decodes. Always: all of it, as the editor
    // shows it. IfMarked, for finding and replacing blocks: nothing of a page
    // whose bytes hold no marker (its text is left empty: it has no blocks,
    // and nothing in it to refuse), and a marked page without a byte-order
    // mark is held as its stored bytes (StoredPageText), line ends as they
    // are, until ReplaceBlocksOf decodes it.
    enum Decode { Always, IfMarked };
    // Reads and decodes the page; false, with the reason, when it cannot be
    // read or decoded safely.
    bool Load(const QString& path, LineEnds lineEnds, QString* error, Decode decode = Always);
    // A page that is not on disk yet, to be written as UTF-8.
    void Create(const QString& path);
    // Takes another page's encoding and text, as a copy of it is written.
    void SetText(const PageText& text) { m_text = text; }

    const QString& Path() const { return m_strPath; }
    const PageText& Text() const { return m_text; }
    // What an editor holds of it (see PageText); changes go here.
    QByteArray& EditorText() { return m_text.editorText; }
    const QByteArray& EditorText() const { return m_text.editorText; }
    // Whether the file on disk is still the one that was read: its size,
    // time and bytes.
    bool UnchangedOnDisk(QString* why) const;
    // Takes the file as it is on disk now for the one read, so that Save
    // replaces it: the user chose to overwrite a change made meanwhile.
    bool TakeDiskState(QString* error);
    // Why the file on disk must not be replaced by a new one: it is
    // read-only (even for root), or it has other names (hard links) that a
    // new file would split from it. Empty when it may be, or is not there.
    QString WhyNotReplaceable() const;
    // The file as it was read: its size and a hash of its bytes (0 for a
    // page IfMarked found unmarked).
    qint64 FileSize() const { return m_nSize; }
    size_t FileHash() const { return m_nHash; }
    // The page's encoding, for people: "UTF-8", "Shift_JIS", "8-bit bytes";
    // of a page held as its stored bytes, the legacy encoding it declares.
    QString EncodingName() const;

    BlockScan Blocks() const { return FindMarkedBlocks(m_text.editorText); }
    // Puts `code`, between the markers, in place of every block of the widget
    // `identity` (of every widget when it is empty) that does not hold it
    // already. The page is decoded first where the code needs it and the
    // blocks are found in what it then holds, so offsets of another text are
    // never used. How many blocks changed; -1 when the page holds none of
    // them or its markers cannot be trusted.
    int ReplaceBlocksOf(const QString& identity, const QString& code);
    // Puts `code`, between the markers, in place of each of `blocks` (found
    // in this text); every other byte stays.
    void ReplaceBlocks(const QList<MarkedBlock>& blocks, const QString& code);

    // Encodes the text in the page's own encoding and writes it through the
    // safe helper, owner, group and mode kept. Refused, with the reason,
    // when the page must not be replaced or a page read from disk changed
    // there before the new file took its place; Failed when a character does
    // not fit the encoding or writing failed. The file is then as it was.
    platform::Replaced Save(QString* error) const;

private:
    // Before `code` goes into a page held as its stored bytes, decodes it as
    // Always would have, unless the code's bytes in the page are the same
    // either way (as plain ASCII mostly is): then holding it undecoded gives
    // byte for byte the page decoding would.
    void makeReadyFor(const QString& code);

    QString m_strPath;
    PageText m_text;
    // The file as read: its size, time and a hash of its bytes; -1 when not on disk.
    qint64 m_nSize = -1;
    qint64 m_nTime = 0;
    size_t m_nHash = 0;
};
