#pragma once

#include <QByteArray>
#include <QString>

class CTavolet;
class Page;

// Preview pages as files: written into folders of their own in the scratch
// folder beside the executable, which exit empties; the browser part that
// shows them is the window's.

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
