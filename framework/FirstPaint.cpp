#include "framework/FirstPaint.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QTimer>

namespace framework {

namespace {

class FirstPaintWatcher : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && widget &&
            qobject_cast<QMainWindow*>(widget->window())) {
            // Queued: the rest of this frame is painted before the loop ends.
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            qApp->removeEventFilter(this);
        }
        return false;
    }
};

} // namespace

void QuitAfterFirstPaint() {
    // Owned by the application, so it goes with it.
    qApp->installEventFilter(new FirstPaintWatcher(qApp));
}

} // namespace framework
