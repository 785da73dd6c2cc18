#pragma once

#include <exception>
#include <functional>
#include <utility>

namespace framework {

// The one report for an error that escapes a command: a message box with
// the error's own text.
void ReportException(const std::exception& error);

// The error boundary: runs `command`, reporting whatever it throws; false
// when it threw. Every entry point that Qt calls goes through here, because
// an exception that reaches Qt's event loop is undefined behaviour.
bool RunReportingErrors(const std::function<void()>& command);

// For code that runs while the user is not acting (enabling handlers while
// a menu is drawn): runs `probe` and swallows what it throws; false when it
// threw. The error is reported when the user runs a command.
bool RunSilently(const std::function<void()>& probe);

// `handler` wrapped in the error boundary, for connecting to Qt signals
// (which may pass arguments the handler does not take).
template <class F> auto Guarded(F handler) {
    return [handler = std::move(handler)] { RunReportingErrors(handler); };
}

} // namespace framework
