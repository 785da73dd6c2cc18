// Writes Sample/sample.htm: every template of a server folder shown as the
// server would emit it, with the support files the templates use.
// Usage: glimmerkey_sample SERVER_FOLDER SAMPLE_FOLDER
#include "CodeGenerator.h"
#include "SafeFile.h"
#include "SupportFiles.h"
#include "WebText.h"
#include "WidgetFile.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: glimmerkey_sample SERVER_FOLDER SAMPLE_FOLDER\n");
        return 2;
    }
    const QDir server(args[1]);
    const QString& sampleFolder = args[2];
    const QStringList files = server.entryList(
        {QStringLiteral("*_%1.tvt").arg(QLatin1String(GlimmerProgId))}, QDir::Files, QDir::Name);
    QString head, body;
    for (const QString& file : files) {
        QString error;
        const auto widget = WidgetFile::load(server.absoluteFilePath(file), &error);
        if (!widget) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(file), qPrintable(error));
            return 1;
        }
        if (!SupportFiles::place(widget->settings, sampleFolder, &error)) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(file), qPrintable(error));
            return 1;
        }
        head += CodeGenerator::style(widget->settings) + QLatin1String("\n");
        body +=
            QStringLiteral(
                "<section>\n<h2>%1</h2>\n<p>%2</p>\n<div class=\"sample\">%3</div>\n</section>\n")
                .arg(WebText::html(widget->name), WebText::html(widget->description),
                     CodeGenerator::cursor(widget->settings));
    }
    const QString page =
        QStringLiteral("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                       "<title>Glimmerkey templates</title>\n"
                       "<style>body{margin:0;font:16px/1.5 Verdana,Geneva,sans-serif;color:#1a1a1a;"
                       "background:#fff}main{max-width:48em;margin:0 auto;padding:1em}"
                       "section{margin:0 0 2em}.sample{padding:1em;background:#f2f2f2}</style>\n") +
        head + CodeGenerator::script() +
        QStringLiteral("\n</head>\n<body>\n<main>\n<h1>Glimmerkey templates</h1>\n"
                       "<p>Each button below is a template as the widget server writes it. "
                       "Hover over it, tab to it or press it to see its states.</p>\n") +
        body + QStringLiteral("</main>\n</body>\n</html>\n");

    QString error;
    const QString pagePath = QDir(sampleFolder).absoluteFilePath(QStringLiteral("sample.htm"));
    if (!SafeFile::write(pagePath, page.toUtf8(), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
