// Registry hive files are outside bytes: anything may be in them. A hive that
// parses must come back unchanged through serialise and parse.
#include "platform/Hive.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<platform::HiveKey> root = platform::Hive::parse(bytes);
    if (!root) return 0;
    const std::optional<platform::HiveKey> again =
        platform::Hive::parse(platform::Hive::serialize(*root));
    if (!again || *again != *root) std::abort();
    return 0;
}
