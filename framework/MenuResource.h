#pragma once

#include <QKeySequence>
#include <QString>
#include <QVector>

namespace framework {

struct MenuItem {
    QString text; // with "&" before the mnemonic; empty for a separator
    int id = 0;
    QKeySequence shortcut = {};
};

struct MenuResource {
    QString title;
    QVector<MenuItem> items;
};

// One entry of an accelerator table: a key that sends a command.
struct Accelerator {
    QKeySequence key;
    int id = 0;
};

} // namespace framework
