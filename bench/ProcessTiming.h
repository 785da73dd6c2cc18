#pragma once

// What the benchmarks that time whole processes share: a fresh home with the
// reference server registered, one timed run of a program, and the median.
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace bench {

inline double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The environment of a program run offscreen on `home`, where the reference
// server built beside this benchmark in `bin` is registered; exits when it
// cannot be.
inline QProcessEnvironment FreshHomeWithServer(const QTemporaryDir& home, const QString& bin) {
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
        std::exit(1);
    }
    return env;
}

// One run of `program`, start to exit, in milliseconds; its output is
// thrown away. Exits when it fails.
inline double Milliseconds(const QString& program, const QStringList& args,
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

} // namespace bench
