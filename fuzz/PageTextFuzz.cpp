// Pages are the user's bytes in any encoding: loading one into the insert
// dialog and writing it back unchanged must change nothing but the line
// ends, and an insertion must always be writable.
#include "output/publishing/PageText.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const PageText page = LoadPageText(bytes);
    if (!page.refusal.isEmpty()) return 0;
    bool ok = false;
    const QByteArray back = PageBytes(page, page.editorText, &ok);
    if (!ok) std::abort();
    if (page.mode != PageText::Encoded && back != WithCrLfLineEnds(bytes)) std::abort();
    // Written back once, a page reads the same again.
    const PageText again = LoadPageText(back);
    if (again.editorText != page.editorText || again.mode != page.mode) std::abort();
    const QByteArray block = EditorTextOf(page, QStringLiteral("<!--x-->\r\n<a>\u00e9</a>"));
    PageBytes(page, block + page.editorText, &ok);
    if (!ok && page.mode != PageText::Encoded) std::abort();
    return 0;
}
