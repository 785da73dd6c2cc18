// Feeds arbitrary bytes to the widget file reader. Whatever it accepts must
// give code parts that stay plain ASCII with the one script element the
// cursor owns, and must read back unchanged after being written again.
#include "CodeGenerator.h"
#include "WidgetFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString base = QStringLiteral("/fuzz/widgets");
    const std::optional<GlimmerWidget> widget = WidgetFile::parse(bytes, base);
    if (!widget) return 0;

    const QList<CodePart> parts = CodeGenerator::parts(widget->settings);
    if (parts.size() != 3 || parts[0].name != QLatin1String("cursor")) std::abort();
    for (const CodePart& part : parts)
        for (QChar c : part.text)
            if (c.unicode() >= 0x80) std::abort();
    if (parts[0].text.count(QLatin1String("<script")) != 1 ||
        parts[0].text.count(QLatin1String("</script")) != 1)
        std::abort();

    const QByteArray again = WidgetFile::serialize(*widget, base);
    const std::optional<GlimmerWidget> reread = WidgetFile::parse(again, base);
    // A size enlarged on load is written enlarged: the note of it is not in the file.
    GlimmerWidget written = *widget;
    written.enlargedFrom = {};
    if (!reread || !(*reread == written)) std::abort();
    if (WidgetFile::serialize(*reread, base) != again) std::abort();
    return 0;
}
