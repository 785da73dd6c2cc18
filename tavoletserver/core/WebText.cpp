#include "WebText.h"

#include <QList>

namespace {

void appendHex(QString& out, uint value, int width) {
    out += QString::number(value, 16).rightJustified(width, QLatin1Char('0'));
}

bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7f && c < 0xa0);
}

} // namespace

namespace WebText {

QString html(const QString& text) {
    QString out;
    out.reserve(text.size() + 16);
    for (char32_t c : text.toUcs4()) {
        switch (c) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        case '\'':
            out += QLatin1String("&#39;");
            break;
        default:
            if (isControl(c) && c != '\t' && c != '\n') break; // not allowed in HTML text
            if (c >= 0xd800 && c <= 0xdfff) c = 0xfffd;        // a lone surrogate
            if (c < 0x80) {
                out += QChar(static_cast<ushort>(c));
            } else {
                out += QLatin1String("&#x");
                out += QString::number(static_cast<uint>(c), 16);
                out += QLatin1Char(';');
            }
        }
    }
    return out;
}

bool isSafeLink(const QString& url) {
    if (url.isEmpty() || url.size() > 4096) return false;
    // Browsers drop tabs and line breaks inside a scheme ("java\tscript:"),
    // so any control or odd blank makes the link unsafe.
    for (QChar c : url)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || (c.isSpace() && c != QLatin1Char(' ')))
            return false;
    if (url.front().isSpace() || url.back().isSpace()) return false;
    // Anything before a ':' that comes ahead of every '/', '?' and '#' is
    // read as a scheme; only three are allowed.
    for (qsizetype i = 0; i < url.size(); ++i) {
        const QChar c = url.at(i);
        if (c == QLatin1Char('/') || c == QLatin1Char('?') || c == QLatin1Char('#')) return true;
        if (c == QLatin1Char(':')) {
            const QString scheme = url.left(i).toLower();
            return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
                   scheme == QLatin1String("mailto");
        }
    }
    return true;
}

QString urlAttribute(const QString& url) {
    return encodeUrl(url).replace(QLatin1Char('&'), QLatin1String("&amp;"));
}

QString encodeUrl(const QString& url) {
    QString out;
    const QByteArray utf8 = url.toUtf8();
    for (char ch : utf8) {
        const auto b = static_cast<unsigned char>(ch);
        const bool keep = b > 0x20 && b < 0x7f && b != '"' && b != '\'' && b != '<' && b != '>' &&
                          b != '`' && b != '\\' && b != '^' && b != '{' && b != '}' && b != '|';
        if (keep) {
            out += QLatin1Char(static_cast<char>(b));
        } else {
            out += QLatin1Char('%');
            appendHex(out, b, 2);
        }
    }
    return out;
}

QString jsString(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    out += QLatin1Char('"');
    for (QChar qc : text) {
        const ushort c = qc.unicode();
        switch (c) {
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            if (c < 0x20 || c >= 0x7f || c == '<' || c == '>' || c == '&') {
                out += QLatin1String("\\u");
                appendHex(out, c, 4);
            } else {
                out += qc;
            }
        }
    }
    out += QLatin1Char('"');
    return out;
}

} // namespace WebText
