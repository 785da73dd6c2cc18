#include "output/Preview.h"

#include "browsers/BrowserList.h"
#include "framework/Application.h"
#include "framework/Profile.h"
#include "framework/Prompts.h"
#include "platform/Shell.h"

#include <QFileInfo>

#include <algorithm>
#include <optional>

using framework::AfxMessageBox;

namespace {

const QString kSection = QStringLiteral("Preview");
const QString kBrowserEntry = QStringLiteral("Browser");
const QString kPathEntry = QStringLiteral("Path");

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
