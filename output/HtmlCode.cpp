#include "output/HtmlCode.h"

#include "output/Page.h"
#include "platform/Paths.h"
#include "platform/SafeFile.h"
#include "widget/Tavolet.h"

#include <QFileInfo>

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

QString SupportFileScratchPath(const QString& pagePath) {
    const QString fileName = QFileInfo(pagePath).fileName();
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString pageName = dot < 0 ? fileName : fileName.left(dot);
    return platform::FolderOfPath(pagePath) + "/" + pageName + ".restvt";
}

bool WriteNewPage(CTavolet& tavolet, const QString& pagePath, QString* error,
                  bool placeSupportFiles) {
    if (placeSupportFiles) {
        const QString scratch = SupportFileScratchPath(pagePath);
        // Neither outcome matters to the page: the save only places support files.
        tavolet.m_dispatch.SaveToFile(scratch);
        platform::RemoveFile(scratch);
    }
    Page page;
    page.Create(pagePath);
    page.EditorText() = BuildPageText(tavolet.m_strTitle, CollectCodeParts(tavolet)).toUtf8();
    return page.Save(error);
}

bool PublishPage(CTavolet& tavolet, const Page& page, bool copySupportFiles, QString* error) {
    if (!page.Save(error)) return false;
    if (copySupportFiles) {
        const QString scratch = SupportFileScratchPath(page.Path());
        tavolet.m_dispatch.SaveWithSupportFiles(scratch, 1);
        platform::RemoveFile(scratch);
    }
    return true;
}
