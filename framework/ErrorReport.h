#pragma once

#include <exception>
#include <functional>

namespace framework {

// The one report for an error that escapes a command: a message box with
// the error's own text.
void ReportException(const std::exception& error);

// Runs `command`, reporting whatever it throws; false when it threw.
bool RunReportingErrors(const std::function<void()>& command);

} // namespace framework
