#pragma once

#include <QString>
#include <QVector>

namespace framework {
class Profile;
}

// A browser a preview opens in: a program of the installed or the user's
// own list, or, without a path, the desktop's default browser.
struct PreviewBrowser {
    QString name;
    QString path;

    bool IsDefault() const { return path.isEmpty(); }
    bool operator==(const PreviewBrowser&) const = default;
};

// "Default Browser": whatever the desktop opens web pages with.
PreviewBrowser DefaultPreviewBrowser();

// The choices as they are now: the default browser, the installed ones
// (registry probes, then desktop entries), then the user's own list. It
// reads the registry and the desktop's entries, so it runs when a menu
// opens, never at start-up.
QVector<PreviewBrowser> ListPreviewBrowsers(framework::Profile& profile);

// The browser chosen last (profile section "Preview"); the default browser
// when none was chosen yet.
PreviewBrowser RememberedPreviewBrowser(const framework::Profile& profile);
bool RememberPreviewBrowser(framework::Profile& profile, const PreviewBrowser& browser);

// Opens a page in `browser`: the default one through the shell, any other
// by starting its program with the page's path as its one argument. A
// failure is said, naming the browser and the reason; false then.
bool OpenInBrowser(const PreviewBrowser& browser, const QString& pagePath);

// Opens a page in the remembered browser. One that is no longer listed is
// forgotten, and the page opens in the default browser after a message.
// False, after a message, when nothing opened the page.
bool OpenInPreviewBrowser(const QString& pagePath);
