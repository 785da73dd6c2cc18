#pragma once

#include <QString>
#include <QVector>

class CTavolet;
class Page;

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

// The scratch folder beside the executable ("tmp"), emptied at exit; the
// application names it at construction.
QString ScratchFolder();
void SetScratchFolder(const QString& folder);

// A new folder of its own in the scratch folder, which exit removes with
// everything in it. Empty, with the reason in `error`, when it cannot be made.
QString MakePreviewFolder(QString* error = nullptr);

// Writes New Page's page of the widget, its support files placed beside
// it, into a new folder of its own in the scratch folder. The page's path,
// or empty with the reason in `error`.
QString WritePreviewPage(CTavolet& tavolet, QString* error = nullptr);

// Removes the preview folders this run made, with everything in them.
// Anything else in the scratch folder is left to its owner.
void RemovePreviewFolders();

// `editorText` (a page's text, not yet saved) with a <base> that resolves its
// relative links against `pagePath`'s folder, at the start of its head.
QByteArray WithBaseOf(const QByteArray& editorText, const QString& pagePath);
// Writes `editorText` as a preview copy of `page`, in its encoding, into a
// folder of its own in tmp; the page itself is not touched. The copy's
// path, or empty with the reason.
QString WritePagePreview(const Page& page, const QByteArray& editorText, QString* error);
