// Times the insert dialog on a 20 MB page of 400,000 lines: showing it,
// one Insert, writing the page back and closing, with the dialog's peak
// memory above the process's base; and, in the same run, a bare
// QPlainTextEdit showing the same page. Each runs in a child process of
// its own so that neither's memory peak hides the other's.
// Usage: insert_bench
#include "output/InsertIntoPageDlg.h"
#include "output/PageEditor.h"
#include "output/publishing/HtmlCode.h"
#include "platform/Components.h"
#include "platform/Registry.h"
#include "platform/SafeFile.h"
#include "tests/support/PageCaret.h"
#include "widget/Tavolet.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kLines = 400000;

QByteArray makePage() {
    QByteArray page;
    page.reserve(qsizetype(kLines) * 52);
    for (int i = 0; i < kLines; ++i)
        page += "<p class=\"row\">line " + QByteArray::number(i).rightJustified(8, '0') +
                " of the page text</p>\n";
    return page;
}

double megabytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ')[0].toDouble() / 1024;
    return 0;
}

// Shows `widget` and waits until it has painted.
double showMs(QWidget& widget) {
    QElapsedTimer timer;
    timer.start();
    widget.show();
    QApplication::processEvents();
    widget.repaint();
    return timer.nsecsElapsed() / 1e6;
}

class CodeServer final : public dispatch::IDispatchObject {
public:
    dispatch::InvokeResult Invoke(int dispid, dispatch::InvokeKind, const QVariantList&) override {
        if (dispid == dispatch::DISPID_CODE_PART_TEXT)
            return dispatch::InvokeResult::success(QStringLiteral("<a class=\"gk\">Go</a>"));
        return dispatch::InvokeResult::success();
    }
};

int runPlain(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    const double base = megabytes("VmRSS:");
    QElapsedTimer timer;
    timer.start();
    QPlainTextEdit edit;
    edit.setPlainText(QString::fromUtf8(bytes));
    const double load = timer.nsecsElapsed() / 1e6;
    const double shown = load + showMs(edit);
    std::printf("plain %.1f %.1f\n", shown, megabytes("VmHWM:") - base);
    return 0;
}

int runDialog(const QString& path) {
    platform::InProcessClass server(QUuid::createUuid(),
                                    [] { return std::make_unique<CodeServer>(); });
    CTavolet tavolet;
    // Only the dispatch is needed: the dialog asks the server for its code.
    tavolet.m_dispatch.AttachDispatch(std::make_unique<CodeServer>());
    const double base = megabytes("VmRSS:");
    auto* dialog = new CInsertIntoPageDlg;
    dialog->m_pTavolet = &tavolet;
    dialog->m_strPagePath = path;
    dialog->m_nCodeMode = 1;
    const double shown = showMs(*dialog);
    QElapsedTimer timer;
    timer.start();
    PutPageCaret(*dialog->m_editPage, 1000000);
    dialog->OnInsert();
    const double insert = timer.nsecsElapsed() / 1e6;
    timer.restart();
    dialog->m_page.EditorText() = dialog->m_editPage->PageBytes();
    const bool written = dialog->m_page.Save(nullptr) == platform::Replaced::Written;
    const double write = timer.nsecsElapsed() / 1e6;
    timer.restart();
    dialog->done(framework::IDOK);
    delete dialog;
    const double close = timer.nsecsElapsed() / 1e6;
    std::printf("dialog %.1f %.1f %.1f %.1f %.1f %d\n", shown, insert, write, close,
                megabytes("VmHWM:") - base, written ? 1 : 0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--plain") == 0)
        return runPlain(QString::fromLocal8Bit(argv[2]));
    if (argc == 3 && qstrcmp(argv[1], "--dialog") == 0)
        return runDialog(QString::fromLocal8Bit(argv[2]));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.htm"));
    const QByteArray page = makePage();
    platform::WriteFileSafely(path, page);
    const auto child = [&](const char* mode) {
        QProcess process;
        process.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(mode), path});
        process.waitForFinished(300000);
        return QString::fromLatin1(process.readAllStandardOutput()).split(' ');
    };
    const QStringList plain = child("--plain");
    const QStringList dialog = child("--dialog");
    if (plain.size() < 3 || dialog.size() < 7) {
        std::fprintf(stderr, "a child run failed\n");
        return 1;
    }
    const double pageMb = page.size() / (1024.0 * 1024.0);
    std::printf("page: %.1f MB, %d lines\n", pageMb, kLines);
    std::printf("bare QPlainTextEdit: shown in %.0f ms, peak %.0f MB above base\n",
                plain[1].toDouble(), plain[2].toDouble());
    std::printf(
        "insert dialog: shown in %.0f ms (%.2f of the bare edit's time, target at most 0.20)\n",
        dialog[1].toDouble(), dialog[1].toDouble() / plain[1].toDouble());
    std::printf("  insert %.1f ms; write %.0f ms (target at most 200); close %.1f ms (target at "
                "most 100)\n",
                dialog[2].toDouble(), dialog[3].toDouble(), dialog[4].toDouble());
    std::printf("  peak %.0f MB above base = %.1f x the page (target at most 3.0)%s\n",
                dialog[5].toDouble(), dialog[5].toDouble() / pageMb,
                dialog[6].trimmed() == QLatin1String("1") ? "" : "; WRITE FAILED");
    return 0;
}
