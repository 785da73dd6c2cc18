// The processor time the About box costs while its credits scroll: the
// same process idle for a while, then with the About box up as long,
// measured with getrusage (all threads, user and system time).
// Offscreen unless QT_QPA_PLATFORM says otherwise (xcb under Xvfb, say).
// Usage: about_bench [SECONDS]
#include "app/AboutDlg.h"
#include "controls/ControlClasses.h"
#include "controls/CreditsScroller.h"
#include "res/Resource.h"

#include <QApplication>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& tv) { return double(tv.tv_sec) + tv.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Counts the scroller's timer messages and the frames it paints.
class EventCounter : public QObject {
public:
    explicit EventCounter(QWidget* pWidget) { pWidget->installEventFilter(this); }
    int m_nMessages = 0;
    int m_nPaints = 0;

protected:
    bool eventFilter(QObject*, QEvent* pEvent) override {
        if (pEvent->type() == QEvent::Timer) ++m_nMessages;
        if (pEvent->type() == QEvent::Paint) ++m_nPaints;
        return false;
    }
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int nSeconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const int nMilliseconds = nSeconds * 1000;
    InstallStringTable();
    InstallBitmaps();
    RegisterControlClasses();

    QTimer::singleShot(nMilliseconds, &app, &QCoreApplication::quit);
    const double idleStart = cpuSeconds();
    QApplication::exec();
    const double idle = cpuSeconds() - idleStart;

    CAboutDlg about;
    double aboutStart = 0;
    EventCounter* pCounter = nullptr;
    // Timed from the first turn of the dialog's own loop, once it is up.
    QTimer::singleShot(0, &about, [&] {
        pCounter = new EventCounter(about.m_pCredits);
        aboutStart = cpuSeconds();
        QTimer::singleShot(nMilliseconds, &about, [&] { about.EndDialog(framework::IDOK); });
    });
    about.DoModal();
    const double scrolling = cpuSeconds() - aboutStart;
    const int nMessages = pCounter ? pCounter->m_nMessages : 0;
    const int nTicks = nMessages * about.m_pCredits->TicksPerFrame();
    const int nPaints = pCounter ? pCounter->m_nPaints : 0;
    delete pCounter;

    const auto percent = [&](double seconds) { return 100.0 * seconds / nSeconds; };
    std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("idle:          %.3f s of processor time in %d s = %.2f %% of one core\n", idle,
                nSeconds, percent(idle));
    std::printf("About box:     %.3f s of processor time in %d s = %.2f %% of one core\n",
                scrolling, nSeconds, percent(scrolling));
    std::printf(
        "scroller:      %d ticks (%.0f per second) in %d timer messages, %d frames painted\n",
        nTicks, double(nTicks) / nSeconds, nMessages, nPaints);
    std::printf("difference:    %.2f %% of one core (target at most 2 %%)\n",
                percent(scrolling - idle));
    return 0;
}
