#include "app/VellwickTool.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    // For timing start-up: leave as soon as the window is up with its widget.
    if (QCoreApplication::arguments().contains(QStringLiteral("--quit-when-shown")))
        QTimer::singleShot(0, &qtApp, &QCoreApplication::quit);
    CVellwickToolApp app;
    return app.Run();
}
