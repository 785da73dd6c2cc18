// Times "vellwick-glimmerkey code" on a shipped template, the whole process,
// against a minimal Qt program started the same way (offscreen, quitting at
// once: this program run with --quit-at-once), alternating, in one run, on a
// fresh home with the reference server registered. Usage: command_line_bench [RUNS]
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

double milliseconds(const QString& program, const QStringList& args,
                    const QProcessEnvironment& env) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.setStandardOutputFile(QProcess::nullDevice());
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
    if (argc > 1 && std::strcmp(argv[1], "--quit-at-once") == 0) {
        QApplication app(argc, argv);
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
        return app.exec();
    }
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
    const QString widget = home.filePath("mine.tvt");
    QFile::copy(bin + "/TavoletServer/Azure_TavoletServer.Glimmerkey.tvt", widget);
    QFile(widget).setPermissions(QFile::ReadOwner | QFile::WriteOwner);

    const QString minimal = QCoreApplication::applicationFilePath();
    const QString tool = bin + "/vellwick-glimmerkey";
    const QStringList toolArgs{"code", widget};
    // The first run gives the template its identity and saves it, once; it
    // and one minimal run warm the file cache. Then the two alternate.
    milliseconds(minimal, {"--quit-at-once"}, env);
    milliseconds(tool, toolArgs, env);
    std::vector<double> minimalTimes, toolTimes;
    for (int i = 0; i < runs; ++i) {
        minimalTimes.push_back(milliseconds(minimal, {"--quit-at-once"}, env));
        toolTimes.push_back(milliseconds(tool, toolArgs, env));
    }
    const double base = median(minimalTimes), code = median(toolTimes);
    std::printf("runs: %d\n", runs);
    std::printf("minimal Qt program, offscreen, quitting at once: median %.1f ms\n", base);
    std::printf("vellwick-glimmerkey code on a shipped template:  median %.1f ms\n", code);
    std::printf("ratio: %.2f (target at most 1.5)\n", code / base);
    return 0;
}
