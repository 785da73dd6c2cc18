// The yardstick for start-up: the least a Qt Widgets program does to show
// a main window with a menu, paint it once and quit.
#include "framework/FirstPaint.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    framework::QuitAfterFirstPaint();
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("&File"));
    window.show();
    return app.exec();
}
