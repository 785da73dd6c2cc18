#include "app/VellwickTool.h"
#include "framework/FirstPaint.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    // For timing start-up: leave once the window has painted with its widget.
    if (QCoreApplication::arguments().contains(QStringLiteral("--quit-when-shown")))
        framework::QuitAfterFirstPaint();
    CVellwickToolApp app;
    return app.Run();
}
