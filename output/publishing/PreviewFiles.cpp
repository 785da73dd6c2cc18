#include "output/publishing/PreviewFiles.h"

#include "output/publishing/HtmlCode.h"
#include "output/publishing/Page.h"
#include "platform/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>

namespace {

QString g_strScratchFolder;
// Exit removes these and nothing else of the scratch folder's sub-folders.
QStringList g_arrPreviewFolders;

// Why `folder` could not be made.
QString whyNoFolder(const QString& folder) {
    const QFileInfo inTheWay(folder);
    if (inTheWay.exists() && !inTheWay.isDir()) return folder + " is a file, not a folder.";
    return platform::WhyNotWritable(folder);
}

QString makeFolder(const QString& parent, QString* error) {
    if (!QDir().mkpath(parent)) {
        if (error) *error = whyNoFolder(parent);
        return {};
    }
    // A folder of its own for each preview: the browser may still be reading
    // the last one, and each widget places its own support files.
    for (int n = 1;; ++n) {
        QString folder = parent + "/preview-" + QString::number(n);
        if (QDir().mkdir(folder)) return folder;
        const QFileInfo taken(folder);
        if (!taken.exists() && !taken.isSymLink()) {
            if (error) *error = whyNoFolder(folder);
            return {};
        }
    }
}

void removeFolder(const QString& folder) {
    QStringList folders{folder};
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry = it.nextFileInfo();
        if (entry.isDir() && !entry.isSymLink())
            folders << entry.filePath();
        else
            platform::RemoveFile(entry.filePath()); // one that stays keeps its folder
    }
    // Deepest first: a folder's path is longer than its parent's.
    std::sort(folders.begin(), folders.end(),
              [](const QString& a, const QString& b) { return a.size() > b.size(); });
    for (const QString& path : folders)
        QDir().rmdir(path);
}

} // namespace

QString ScratchFolder() {
    return g_strScratchFolder.isEmpty() ? QCoreApplication::applicationDirPath() + "/tmp"
                                        : g_strScratchFolder;
}

void SetScratchFolder(const QString& folder) {
    g_strScratchFolder = folder;
}

QString MakePreviewFolder(QString* error) {
    QString folder = makeFolder(ScratchFolder(), error);
    if (!folder.isEmpty()) g_arrPreviewFolders << folder;
    return folder;
}

QString WritePreviewPage(CTavolet& tavolet, QString* error) {
    const QString folder = MakePreviewFolder(error);
    if (folder.isEmpty()) return {};
    const QString page = folder + "/preview.htm";
    return WriteNewPage(tavolet, page, error) ? page : QString();
}

QByteArray WithBaseOf(const QByteArray& editorText, const QString& pagePath) {
    const QByteArray base =
        "<base href=\"" +
        QUrl::fromLocalFile(QFileInfo(pagePath).absolutePath() + "/").toEncoded() + "\">";
    // Right after the head's start tag, so that it comes before any link it serves.
    for (qsizetype at = editorText.indexOf('<'); at >= 0; at = editorText.indexOf('<', at + 1)) {
        if (qstrnicmp(editorText.constData() + at, "<head", 5) != 0) continue;
        const char next = at + 5 < editorText.size() ? editorText[at + 5] : '>';
        if (next != '>' && !QByteArrayView(" \t\r\n/").contains(next)) continue;
        const qsizetype close = editorText.indexOf('>', at);
        if (close < 0) break;
        return editorText.left(close + 1) + base + editorText.mid(close + 1);
    }
    return base + editorText;
}

QString WritePagePreview(const Page& page, const QByteArray& editorText, QString* error) {
    const QString folder = MakePreviewFolder(error);
    if (folder.isEmpty()) return {};
    Page preview;
    preview.Create(folder + "/" + QFileInfo(page.Path()).fileName());
    preview.SetText(page.Text());
    preview.EditorText() = WithBaseOf(editorText, page.Path());
    return preview.Save(error) == platform::Replaced::Written ? preview.Path() : QString();
}

void RemovePreviewFolders() {
    for (const QString& folder : std::as_const(g_arrPreviewFolders))
        removeFolder(folder);
    g_arrPreviewFolders.clear();
}
