#include "output/Preview.h"

#include "browsers/BrowserList.h"
#include "framework/Application.h"
#include "framework/Profile.h"
#include "framework/Prompts.h"
#include "output/HtmlCode.h"
#include "output/Page.h"
#include "platform/SafeFile.h"
#include "platform/Shell.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <optional>

using framework::AfxMessageBox;

namespace {

const QString kSection = QStringLiteral("Preview");
const QString kBrowserEntry = QStringLiteral("Browser");
const QString kPathEntry = QStringLiteral("Path");

QString g_strScratchFolder;
// Exit removes these and nothing else of the scratch folder's sub-folders.
QStringList g_arrPreviewFolders;

// Why a browser's program did not start, as far as can be told from outside.
QString whyNotStarted(const QString& program) {
    const QFileInfo file(program);
    if (!file.isAbsolute())
        return platform::Shell::instance().FindProgram(program)
                   ? QStringLiteral("The program did not start.")
                   : program + " is not on the search path.";
    if (!file.exists()) return program + " does not exist.";
    if (file.isDir()) return program + " is a folder.";
    if (!file.isExecutable()) return program + " is not a program you may run.";
    return QStringLiteral("The program did not start.");
}

// The listed browser the remembered one stands for: the same name and
// program, or else the same name (an update may have moved the program).
std::optional<PreviewBrowser> findListed(const QVector<PreviewBrowser>& browsers,
                                         const PreviewBrowser& wanted) {
    const auto exact = std::find(browsers.begin(), browsers.end(), wanted);
    if (exact != browsers.end()) return *exact;
    const auto named = std::find_if(browsers.begin(), browsers.end(), [&](const auto& browser) {
        return !browser.IsDefault() && browser.name == wanted.name;
    });
    if (named != browsers.end()) return *named;
    return std::nullopt;
}

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

PreviewBrowser DefaultPreviewBrowser() {
    return {QStringLiteral("Default Browser"), {}};
}

QVector<PreviewBrowser> ListPreviewBrowsers(framework::Profile& profile) {
    const CBrowserList list(profile);
    QVector<PreviewBrowser> browsers{DefaultPreviewBrowser()};
    for (int i = 0; i < list.GetInstalledCount(); ++i)
        browsers.append({list.GetInstalledName(i), list.GetInstalledPath(i)});
    for (int i = 0; i < list.GetSpecifiedCount(); ++i)
        browsers.append({list.m_arrSpecifiedNames[i], list.m_arrSpecifiedPaths[i]});
    return browsers;
}

PreviewBrowser RememberedPreviewBrowser(const framework::Profile& profile) {
    PreviewBrowser browser{profile.GetProfileString(kSection, kBrowserEntry),
                           profile.GetProfileString(kSection, kPathEntry)};
    return browser.name.isEmpty() || browser.IsDefault() ? DefaultPreviewBrowser() : browser;
}

bool RememberPreviewBrowser(framework::Profile& profile, const PreviewBrowser& browser) {
    return profile.WriteProfileString(kSection, kPathEntry, browser.path) &&
           profile.WriteProfileString(kSection, kBrowserEntry, browser.name);
}

bool OpenInBrowser(const PreviewBrowser& browser, const QString& pagePath) {
    if (browser.IsDefault()) return framework::OpenOrSay(pagePath);
    // The page is one argument, never read by a shell.
    if (platform::Shell::instance().StartProgram(browser.path, {pagePath})) return true;
    AfxMessageBox("Cannot start the browser " + browser.name + " to show " + pagePath,
                  whyNotStarted(browser.path));
    return false;
}

bool OpenInPreviewBrowser(const QString& pagePath) {
    framework::CWinApp* app = framework::AfxGetApp();
    if (!app) return OpenInBrowser(DefaultPreviewBrowser(), pagePath);
    framework::Profile& profile = app->GetProfile();
    PreviewBrowser browser = RememberedPreviewBrowser(profile);
    if (!browser.IsDefault()) {
        if (const auto listed = findListed(ListPreviewBrowsers(profile), browser)) {
            browser = *listed;
        } else {
            AfxMessageBox("The browser " + browser.name +
                          " is no longer installed or in your list. The preview opens in the "
                          "Default Browser, which previews use from now on.");
            browser = DefaultPreviewBrowser();
            RememberPreviewBrowser(profile, browser);
        }
    }
    return OpenInBrowser(browser, pagePath);
}

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
