// Times the start-up of the real application, from process start until its
// main window has painted its first frame with the widget server created,
// against a minimal Qt Widgets program that paints one too, measured in the
// same run. Offscreen, on a fresh home with
// the reference server registered. Usage: startup_bench [RUNS]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double milliseconds(const QString& program, const QStringList& args,
                    const QProcessEnvironment& env) {
    QProcess process;
    process.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program),
                     process.readAllStandardError().constData());
        std::exit(1);
    }
    return timer.nsecsElapsed() / 1e6;
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 21;
    const QString bin = QCoreApplication::applicationDirPath();

    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.path() + "/.config");
    env.insert("QT_QPA_PLATFORM", "offscreen");

    QProcess regsvr;
    regsvr.setProcessEnvironment(env);
    regsvr.start(bin + "/glimmerkey-regsvr", {bin + "/TavoletServer/libTavoletServer.so"});
    if (!regsvr.waitForFinished() || regsvr.exitCode() != 0) {
        std::fprintf(stderr, "cannot register the server: %s\n",
                     regsvr.readAllStandardError().constData());
        return 1;
    }

    const QString minimalProgram = bin + "/minimal_qt_program";
    const QString tool = bin + "/vellwick-glimmerkey";
    const QStringList toolArgs{"--quit-when-shown"};
    // One warm-up each, so that both start from a warm file cache; then the
    // two alternate, so that a busy spell of this machine weighs on both.
    milliseconds(minimalProgram, {}, env);
    milliseconds(tool, toolArgs, env);
    std::vector<double> minimalTimes, toolTimes;
    for (int i = 0; i < runs; ++i) {
        minimalTimes.push_back(milliseconds(minimalProgram, {}, env));
        toolTimes.push_back(milliseconds(tool, toolArgs, env));
    }
    const double minimal = median(minimalTimes);
    const double toolMedian = median(toolTimes);

    std::printf("runs: %d\n", runs);
    std::printf("minimal Qt Widgets program: median %.1f ms\n", minimal);
    std::printf("Vellwick Glimmerkey:        median %.1f ms\n", toolMedian);
    std::printf("ratio: %.2f (target at most 1.15)\n", toolMedian / minimal);
    return 0;
}
