#include "framework/ErrorReport.h"

#include "framework/Prompts.h"

#include <QString>

namespace framework {

void ReportException(const std::exception& error) {
    const QString text = QString::fromUtf8(error.what());
    AfxMessageBox(text.isEmpty() ? QStringLiteral("An unexpected error occurred.") : text);
}

bool RunReportingErrors(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const std::exception& error) {
        ReportException(error);
    } catch (...) {
        AfxMessageBox(QStringLiteral("An unexpected error occurred."));
    }
    return false;
}

} // namespace framework
