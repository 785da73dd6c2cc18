#include "app/VellwickTool.h"
#include "framework/FirstPaint.h"
#include "platform/FontConfigWarmUp.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

const char* const kUsage =
    "Usage: vellwick-glimmerkey [FILE.tvt]\n"
    "Make button widgets for web pages: start one from a template, configure it,\n"
    "save it as a widget file and bring it onto a page.\n"
    "\n"
    "  FILE.tvt    open this widget file instead of starting a new widget\n"
    "  --help      show this help and exit\n"
    "  --version   show the version and exit\n";

} // namespace

int main(int argc, char** argv) {
    // Answered before any window or widget server exists.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Vellwick Glimmerkey %s\n", GLIMMERKEY_VERSION);
            return 0;
        }
    }
    platform::StartFontConfigWarmUp();
    QApplication qtApp(argc, argv);
    // For timing start-up: leave once the window has painted with its widget.
    if (QCoreApplication::arguments().contains(QStringLiteral("--quit-when-shown")))
        framework::QuitAfterFirstPaint();
    CVellwickToolApp app;
    return app.Run();
}
