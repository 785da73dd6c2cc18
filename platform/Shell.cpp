#include "platform/Shell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace platform {

namespace {
Shell* g_replacement = nullptr;
}

bool Shell::Open(const QString& target) {
    if (target.isEmpty()) return false;
    const QUrl url = target.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(target)
                                                         : QUrl(target, QUrl::StrictMode);
    return url.isValid() && QDesktopServices::openUrl(url);
}

bool Shell::StartProgram(const QString& program, const QStringList& arguments) {
    const QString found = QStandardPaths::findExecutable(program);
    return !found.isEmpty() && QProcess::startDetached(found, arguments);
}

bool Shell::FindProgram(const QString& program) {
    return !QStandardPaths::findExecutable(program).isEmpty();
}

Shell& Shell::instance() {
    static Shell real;
    return g_replacement ? *g_replacement : real;
}

void Shell::setInstance(Shell* shell) {
    g_replacement = shell;
}

} // namespace platform
