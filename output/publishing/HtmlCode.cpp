#include "output/publishing/HtmlCode.h"

#include "output/publishing/Page.h"
#include "platform/Paths.h"
#include "platform/SafeFile.h"
#include "widget/Tavolet.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

CodeParts CollectCodeParts(CTavolet& tavolet) {
    CodeParts parts;
    TavoletDispatch& widget = tavolet.m_dispatch;
    const int count = widget.CodePartCount();
    for (int i = 0; i < count; ++i) {
        const QString name = widget.CodePartName(i);
        QString* target = name == QLatin1String("style")    ? &parts.style
                          : name == QLatin1String("script") ? &parts.script
                          : name == QLatin1String("cursor") ? &parts.cursor
                                                            : nullptr;
        if (target) *target = widget.CodePartText(i, 1);
    }
    return parts;
}

QString BuildPageText(const QString& title, const CodeParts& parts) {
    return "<HTML>\r\n<HEAD>\r\n<TITLE>" + title + "</TITLE>\r\n" + parts.style + "\r\n" +
           parts.script + "\r\n</HEAD>\r\n" + "<BODY>\r\n" + parts.cursor + "\r\n</BODY>\r\n" +
           "</HTML>";
}

bool PlaceSupportFiles(CTavolet& tavolet, const QString& pagePath, bool bNewPage, QString* error) {
    const QString folder = platform::FolderOfPath(pagePath);
    // The server opens what it is given through Qt, which holds names as UTF-8.
    if (platform::HasStrayBytes(folder)) {
        if (error)
            *error = QStringLiteral("The support files could not be placed beside the page: the "
                                    "name of its folder is not valid UTF-8, which the widget "
                                    "server cannot write to.");
        return false;
    }
    const QString fileName = QFileInfo(pagePath).fileName();
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString pageName = platform::HasStrayBytes(fileName) ? QStringLiteral("page")
                             : dot < 0                         ? fileName
                                                               : fileName.left(dot);
    // A name of its own: a user's file of the old fixed name, or a link
    // planted there, is never written through or removed.
    const QString scratch = platform::CreateUniqueFile(folder, pageName + ".", ".restvt", error);
    if (scratch.isEmpty()) return false;
    const auto removeScratch = qScopeGuard([&] { platform::RemoveFile(scratch); });
    TavoletDispatch& widget = tavolet.m_dispatch;
    if (bNewPage ? widget.SaveToFile(scratch) : widget.SaveWithSupportFiles(scratch, 1))
        return true;
    if (error) {
        const QString why = widget.LastReason();
        *error = "The support files could not be placed beside the page: " +
                 (why.isEmpty() ? WhyServerSaveFailed(scratch) : why);
    }
    return false;
}

namespace {

bool sameBytes(const QString& a, const QString& b) {
    const QFileInfo first(a), second(b);
    if (!first.isFile() || !second.isFile() || second.isSymLink() || first.size() != second.size())
        return false;
    QFile one(a), two(b);
    if (!one.open(QIODevice::ReadOnly) || !two.open(QIODevice::ReadOnly)) return false;
    constexpr qint64 kChunk = qint64(1) << 20;
    while (!one.atEnd())
        if (one.read(kChunk) != two.read(kChunk)) return false;
    return true;
}

} // namespace

bool SupportFilesInPlace(CTavolet& tavolet, const QString& folder) {
    TavoletDispatch& widget = tavolet.m_dispatch;
    const int count = widget.SupportFileCount();
    if (count <= 0) return false;
    for (int i = 0; i < count; ++i) {
        const QString webPath = widget.SupportFileWebPath(i);
        if (!platform::StaysInsideFolder(webPath)) return false;
        QString source = widget.SupportFileSource(i);
        if (!source.endsWith(QLatin1Char('/'))) source += QLatin1Char('/');
        if (!sameBytes(source + widget.SupportFileName(i), folder + "/" + webPath)) return false;
    }
    return true;
}

bool WriteNewPage(CTavolet& tavolet, const QString& pagePath, QString* error,
                  bool placeSupportFiles) {
    Page page;
    page.Create(pagePath);
    if (const QString why = page.WhyNotReplaceable(); !why.isEmpty()) {
        if (error) *error = pagePath + ": " + why;
        return false;
    }
    if (placeSupportFiles && !PlaceSupportFiles(tavolet, pagePath, true, error)) return false;
    page.EditorText() = BuildPageText(tavolet.m_strTitle, CollectCodeParts(tavolet)).toUtf8();
    return page.Save(error) == platform::Replaced::Written;
}

platform::Replaced PublishPage(CTavolet& tavolet, const Page& page, bool copySupportFiles,
                               QString* error) {
    if (copySupportFiles) {
        // Known before any support file is placed for a page that stays as it is.
        if (const QString why = page.WhyNotReplaceable(); !why.isEmpty()) {
            if (error) *error = why;
            return platform::Replaced::Refused;
        }
        if (!PlaceSupportFiles(tavolet, page.Path(), false, error))
            return platform::Replaced::Failed;
    }
    return page.Save(error);
}
