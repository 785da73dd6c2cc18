#pragma once
#include <QHash>
#include <QString>

namespace framework {

// The application's string resources by numeric ID. The system installs
// its table once at start-up; an unknown ID loads as the empty string.
class StringTable {
public:
    static void Install(QHash<int, QString> strings);
    static QString Load(int id);
};

inline QString LoadString(int id) {
    return StringTable::Load(id);
}

// Field `index` of a newline-separated resource string (document types,
// command prompts); empty when the string has fewer fields.
QString StringField(const QString& text, int index);

} // namespace framework
