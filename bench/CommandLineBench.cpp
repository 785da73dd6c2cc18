// Times "vellwick-glimmerkey code" on a shipped template, the whole process,
// against a minimal Qt program started the same way (offscreen, quitting at
// once: this program run with --quit-at-once), alternating, in one run, on a
// fresh home with the reference server registered. Usage: command_line_bench [RUNS]
#include "ProcessTiming.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--quit-at-once") == 0) {
        QApplication app(argc, argv);
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
        return app.exec();
    }
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 21;
    const QString bin = QCoreApplication::applicationDirPath();

    QTemporaryDir home;
    const QProcessEnvironment env = bench::FreshHomeWithServer(home, bin);
    const QString widget = home.filePath("mine.tvt");
    QFile::copy(bin + "/TavoletServer/Azure_TavoletServer.Glimmerkey.tvt", widget);
    QFile(widget).setPermissions(QFile::ReadOwner | QFile::WriteOwner);

    const QString minimal = QCoreApplication::applicationFilePath();
    const QString tool = bin + "/vellwick-glimmerkey";
    const QStringList toolArgs{"code", widget};
    // The first run gives the template its identity and saves it, once; it
    // and one minimal run warm the file cache. Then the two alternate.
    bench::Milliseconds(minimal, {"--quit-at-once"}, env);
    bench::Milliseconds(tool, toolArgs, env);
    std::vector<double> minimalTimes, toolTimes;
    for (int i = 0; i < runs; ++i) {
        minimalTimes.push_back(bench::Milliseconds(minimal, {"--quit-at-once"}, env));
        toolTimes.push_back(bench::Milliseconds(tool, toolArgs, env));
    }
    const double base = bench::Median(minimalTimes), code = bench::Median(toolTimes);
    std::printf("runs: %d\n", runs);
    std::printf("minimal Qt program, offscreen, quitting at once: median %.1f ms\n", base);
    std::printf("vellwick-glimmerkey code on a shipped template:  median %.1f ms\n", code);
    std::printf("ratio: %.2f (target at most 1.5)\n", code / base);
    return 0;
}
