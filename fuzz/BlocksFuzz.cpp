// Pages with marked blocks come from anywhere, edited by hand or by other
// tools: the block finder must never read outside the text, must report
// blocks in order and whole, and replacing them must change nothing else.
#include "output/publishing/Page.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const BlockScan scan = FindMarkedBlocks(text);
    if (!scan.problem.isEmpty()) {
        if (!scan.blocks.isEmpty()) std::abort();
        return 0;
    }
    const QByteArray begin = "<!--Insert By Mirovasta Glimmerkey-->\r\n";
    const QByteArray end = "\r\n<!--End of Glimmerkey-->\r\n";
    qsizetype previous = 0;
    for (const MarkedBlock& block : scan.blocks) {
        if (block.begin < previous || block.end > text.size() ||
            block.end - block.begin < begin.size() + end.size())
            std::abort();
        const QByteArrayView whole =
            QByteArrayView(text).sliced(block.begin, block.end - block.begin);
        if (!whole.startsWith(begin) || !whole.endsWith(end)) std::abort();
        previous = block.end;
    }
    // Replaced, the blocks are found again, and every byte between them is kept.
    const QByteArray code = "<a data-tavolet-widget=\"fuzz-1\">x</a>";
    const QByteArray replaced = WithBlocksReplaced(text, scan.blocks, begin + code + end);
    const BlockScan again = FindMarkedBlocks(replaced);
    if (!again.problem.isEmpty() || again.blocks.size() != scan.blocks.size()) std::abort();
    qsizetype from = 0, fromAgain = 0;
    for (qsizetype i = 0; i < scan.blocks.size(); ++i) {
        if (again.blocks[i].identity != QLatin1String("fuzz-1")) std::abort();
        if (QByteArrayView(text).sliced(from, scan.blocks[i].begin - from) !=
            QByteArrayView(replaced).sliced(fromAgain, again.blocks[i].begin - fromAgain))
            std::abort();
        from = scan.blocks[i].end;
        fromAgain = again.blocks[i].end;
    }
    if (QByteArrayView(text).sliced(from) != QByteArrayView(replaced).sliced(fromAgain))
        std::abort();
    return 0;
}
