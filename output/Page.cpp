#include "output/Page.h"

#include "output/HtmlCode.h"
#include "platform/DispatchContract.h"
#include "platform/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QHashFunctions>

#include <algorithm>

namespace {

constexpr QByteArrayView kBeginComment("<!--Insert By Mirovasta Glimmerkey-->");
constexpr QByteArrayView kEndComment("<!--End of Glimmerkey-->");
constexpr QByteArrayView kCrLf("\r\n");

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

bool holdsMarker(QByteArrayView span) {
    return span.indexOf(kBeginComment) >= 0 || span.indexOf(kEndComment) >= 0;
}

// The identity the widget's server wrote into its code, or empty.
QString identityIn(QByteArrayView code) {
    const QByteArray attribute = QByteArray(dispatch::TAVOLET_WIDGET_ATTRIBUTE) + "=\"";
    const qsizetype start = code.indexOf(attribute);
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

// Line numbers for offsets that only grow, counted once.
class LineCounter {
public:
    explicit LineCounter(QByteArrayView text) : m_text(text) {}
    int lineOf(qsizetype offset) {
        for (; m_nPos < offset; ++m_nPos)
            if (m_text[m_nPos] == '\n') ++m_nLine;
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
    for (qsizetype pos = text.indexOf('<'); pos >= 0; pos = text.indexOf('<', pos)) {
        // Most tags are none of the four below; one byte tells.
        if (const char next = pos + 1 < text.size() ? text[pos + 1] : '\0';
            next != '!' && next != 's' && next != 'S') {
            ++pos;
            continue;
        }
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
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        if (error) *error = QFileInfo(path).isDir() ? path + " is a folder" : file.errorString();
        return false;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error) *error = file.errorString();
        return false;
    }
    m_nSize = bytes.size();
    m_nHash = qHash(bytes);
    // Markers are ASCII, and every encoding decoded without a byte-order mark
    // keeps ASCII as it is: bytes without a marker decode to text without one.
    if (decode == IfMarked && !HasByteOrderMark(bytes) && !holdsMarker(bytes)) {
        m_text = PageText{};
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
    if (!file.open(QIODevice::ReadOnly)) return changed(file.errorString());
    if (qHash(file.readAll()) != m_nHash)
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
