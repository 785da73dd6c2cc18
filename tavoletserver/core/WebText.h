#pragma once
#include <QString>

// Escaping for every place user text lands in emitted code. All output is
// plain ASCII, so the code reads the same whatever encoding the page uses.
namespace WebText {

// Element text or a double-quoted attribute value: markup characters and
// every non-ASCII character become character references.
QString html(const QString& text);

// True for links a page may carry: http, https and mailto addresses,
// relative paths and fragments. Any other scheme (javascript:, data:,
// file: ...) and any control character make it unsafe.
bool isSafeLink(const QString& url);

// A link or relative path with blanks, quotes, angle brackets, backslashes
// and non-ASCII percent-encoded (UTF-8); what is left is plain ASCII.
QString encodeUrl(const QString& url);
// encodeUrl() made fit for a double-quoted attribute (& escaped).
QString urlAttribute(const QString& url);

// A double-quoted script string literal that cannot end the surrounding
// <script> element: <, > and & are \u escapes, and so is every non-ASCII
// character.
QString jsString(const QString& text);

} // namespace WebText
