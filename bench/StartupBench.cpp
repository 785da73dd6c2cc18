// Times the start-up of the real application, from process start until its
// main window has painted its first frame with the widget server created,
// against a minimal Qt Widgets program that paints one too, measured in the
// same run. Offscreen, on a fresh home with
// the reference server registered. Usage: startup_bench [RUNS]
#include "ProcessTiming.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 21;
    const QString bin = QCoreApplication::applicationDirPath();

    QTemporaryDir home;
    const QProcessEnvironment env = bench::FreshHomeWithServer(home, bin);

    const QString minimalProgram = bin + "/minimal_qt_program";
    const QString tool = bin + "/vellwick-glimmerkey";
    const QStringList toolArgs{"--quit-when-shown"};
    // One warm-up each, so that both start from a warm file cache; then the
    // two alternate, so that a busy spell of this machine weighs on both.
    bench::Milliseconds(minimalProgram, {}, env);
    bench::Milliseconds(tool, toolArgs, env);
    std::vector<double> minimalTimes, toolTimes;
    for (int i = 0; i < runs; ++i) {
        minimalTimes.push_back(bench::Milliseconds(minimalProgram, {}, env));
        toolTimes.push_back(bench::Milliseconds(tool, toolArgs, env));
    }
    const double minimal = bench::Median(minimalTimes);
    const double toolMedian = bench::Median(toolTimes);

    std::printf("runs: %d\n", runs);
    std::printf("minimal Qt Widgets program: median %.1f ms\n", minimal);
    std::printf("Vellwick Glimmerkey:        median %.1f ms\n", toolMedian);
    std::printf("ratio: %.2f (target at most 1.15)\n", toolMedian / minimal);
    return 0;
}
