#include "framework/StringTable.h"

namespace framework {

namespace {
QHash<int, QString>& table() {
    static QHash<int, QString> strings;
    return strings;
}
} // namespace

void StringTable::Install(QHash<int, QString> strings) {
    table() = std::move(strings);
}

QString StringTable::Load(int id) {
    return table().value(id);
}

QString StringField(const QString& text, int index) {
    const QStringList fields = text.split(QLatin1Char('\n'));
    return index < fields.size() ? fields[index] : QString();
}

} // namespace framework
