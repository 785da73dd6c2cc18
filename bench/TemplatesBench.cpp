// Times the template listing through the real widget server on 1000
// templates, and the New dialog opening, filled, on them. The server is
// copied into a folder of its own with the generated templates beside it,
// and registered for a temporary home.   Usage: templates_bench SERVER_LIBRARY
#include "framework/Dialog.h"
#include "platform/Registry.h"
#include "platform/ServerRegistration.h"
#include "res/Resource.h"
#include "templates/NewWidgetDlg.h"
#include "widget/Tavolet.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kTemplates = 1000;
constexpr int kRuns = 5;

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toLocal8Bit());
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: templates_bench SERVER_LIBRARY\n");
        return 2;
    }
    InstallStringTable();
    const QFileInfo library(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir folder;
    QFile::copy(library.absoluteFilePath(), folder.filePath(library.fileName()));
    const QStringList shipped = library.absoluteDir().entryList({"*.tvt"}, QDir::Files);
    if (shipped.isEmpty()) return 1;
    for (int i = 0; i < kTemplates; ++i)
        QFile::copy(library.absoluteDir().filePath(shipped[i % shipped.size()]),
                    folder.filePath(QStringLiteral("T%1_TavoletServer.Glimmerkey.tvt").arg(i)));
    QString error;
    if (!platform::RegisterServerLibrary(platform::Registry::instance(),
                                         folder.filePath(library.fileName()), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }

    std::vector<double> listing, opening;
    int listed = 0;
    for (int run = 0; run < kRuns; ++run) {
        CTavolet scratch;
        scratch.CreateFromProgID(QStringLiteral("TavoletServer.Glimmerkey"));
        QElapsedTimer timer;
        timer.start();
        const QList<TemplateEntry> templates = scratch.ListTemplates();
        listing.push_back(timer.nsecsElapsed() / 1e9);
        listed = int(templates.size());

        CTavolet document;
        document.CreateFromProgID(QStringLiteral("TavoletServer.Glimmerkey"));
        CNewWidgetDlg dialog;
        dialog.m_pTavolet = &document;
        timer.restart();
        dialog.show(); // OnInitDialog lists and fills
        QApplication::processEvents();
        opening.push_back(timer.nsecsElapsed() / 1e9);
        if (dialog.m_lbTemplates->count() != kTemplates) return 1;
        dialog.done(framework::IDCANCEL);
    }
    std::printf("templates listed: %d (median of %d runs)\n", listed, kRuns);
    std::printf("ListTemplates: %.3f s (target at most 0.15)\n", median(listing));
    std::printf("New dialog open and filled: %.3f s (target at most 0.30)\n", median(opening));
    return 0;
}
