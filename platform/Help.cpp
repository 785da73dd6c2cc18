#include "platform/Help.h"

#include "platform/Shell.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace platform {

namespace {
Help* g_replacement = nullptr;
}

Help::Help(QString folder) : m_strFolder(std::move(folder)) {}

QString Help::Folder() const {
    return m_strFolder.isEmpty() ? QCoreApplication::applicationFilePath() + QStringLiteral(".help")
                                 : m_strFolder;
}

bool Help::ShowContext(int context) {
    const QString page = Folder() + QStringLiteral("/context/%1.html").arg(context);
    return QFileInfo(page).isFile() ? Shell::instance().Open(page) : ShowContents();
}

bool Help::ShowContents() {
    return Shell::instance().Open(Folder() + QStringLiteral("/index.html"));
}

bool Help::ShowKeywordSearch() {
    return Shell::instance().Open(Folder() + QStringLiteral("/search.html"));
}

Help& Help::instance() {
    static Help real;
    return g_replacement ? *g_replacement : real;
}

void Help::setInstance(Help* help) {
    g_replacement = help;
}

} // namespace platform
