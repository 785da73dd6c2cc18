#include "FontCatalog.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<const char*, const char*>, 12> kFonts{{
    {"Arial", "Arial,Helvetica,sans-serif"},
    {"Verdana", "Verdana,Geneva,sans-serif"},
    {"Tahoma", "Tahoma,Verdana,sans-serif"},
    {"Trebuchet MS", "\"Trebuchet MS\",Helvetica,sans-serif"},
    {"Segoe UI", "\"Segoe UI\",system-ui,sans-serif"},
    {"System UI", "system-ui,sans-serif"},
    {"Georgia", "Georgia,serif"},
    {"Times New Roman", "\"Times New Roman\",Times,serif"},
    {"Courier New", "\"Courier New\",Courier,monospace"},
    {"Sans Serif", "sans-serif"},
    {"Serif", "serif"},
    {"Monospace", "monospace"},
}};

} // namespace

namespace FontCatalog {

QStringList families() {
    QStringList out;
    for (const auto& [name, stack] : kFonts)
        out << QString::fromLatin1(name);
    return out;
}

bool isKnown(const QString& family) {
    for (const auto& [name, stack] : kFonts)
        if (family == QLatin1String(name)) return true;
    return false;
}

QString cssStack(const QString& family) {
    for (const auto& [name, stack] : kFonts)
        if (family == QLatin1String(name)) return QString::fromLatin1(stack);
    return QStringLiteral("sans-serif");
}

} // namespace FontCatalog
