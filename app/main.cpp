#include "app/CommandLine.h"
#include "app/VellwickTool.h"
#include "framework/FirstPaint.h"
#include "platform/FontConfigWarmUp.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

const char* const kUsage =
    "Usage: vellwick-glimmerkey [FILE.tvt]\n"
    "       vellwick-glimmerkey COMMAND [OPTION...] [--] ARGUMENT...\n"
    "Make button widgets for web pages: start one from a template, configure it,\n"
    "save it as a widget file and bring it onto a page.\n"
    "\n"
    "  FILE.tvt    open this widget file instead of starting a new widget\n"
    "  --help      show this help and exit\n"
    "  --version   show the version and exit\n"
    "\n";

} // namespace

int main(int argc, char** argv) {
    // Publishing without a window: decided before anything of the window exists.
    if (argc > 1 && IsSubCommand(argv[1])) return RunSubCommand(argc, argv);
    if (argc > 1) {
        if (const int status = RejectUnknownCommand(argv[1]); status >= 0) return status;
    }
    // Answered before any window or widget server exists.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            std::fputs(SubCommandSummary(), stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Vellwick Glimmerkey %s\n", GLIMMERKEY_VERSION);
            return 0;
        }
    }
    // Qt aborts when it finds no display; the user gets a reason instead.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fputs("vellwick-glimmerkey: cannot show the window: there is no display (neither "
                   "DISPLAY nor WAYLAND_DISPLAY is set).\nThe commands of 'vellwick-glimmerkey "
                   "--help' work without one.\n",
                   stderr);
        return 1;
    }
    platform::StartFontConfigWarmUp();
    QApplication qtApp(argc, argv);
    // For timing start-up: leave once the window has painted with its widget.
    if (QCoreApplication::arguments().contains(QStringLiteral("--quit-when-shown")))
        framework::QuitAfterFirstPaint();
    CVellwickToolApp app;
    return app.Run();
}
