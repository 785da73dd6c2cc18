#include "framework/ErrorReport.h"

#include "framework/Prompts.h"

#include <QString>

namespace framework {

namespace {
const char* const kUnexpected = "An unexpected error occurred.";
}

void ReportException(const std::exception& error) {
    const QString text = QString::fromUtf8(error.what());
    AfxMessageBox(text.isEmpty() ? QString::fromLatin1(kUnexpected) : text);
}

bool RunReportingErrors(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const std::exception& error) {
        ReportException(error);
    } catch (...) {
        AfxMessageBox(QString::fromLatin1(kUnexpected));
    }
    return false;
}

bool RunSilently(const std::function<void()>& probe) {
    try {
        probe();
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace framework
