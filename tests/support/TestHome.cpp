#include "TestHome.h"

#include <QTemporaryDir>

QString useTemporaryHome() {
    static QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toLocal8Bit());
    return home.path();
}
