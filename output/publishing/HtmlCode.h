#pragma once

#include "platform/SafeFile.h"

#include <QString>

class CTavolet;
class Page;

// The code parts of a widget that the host knows by name; each is empty
// unless the server offers a part of that name.
struct CodeParts {
    QString style;  // page head
    QString script; // page head, after the style
    QString cursor; // where the widget shows in the body
};

// Asks the server for its parts, matching names exactly; of two parts with
// one name the later wins. Texts come back as the server gave them.
CodeParts CollectCodeParts(CTavolet& tavolet);

// A page holding only the widget, CR LF line ends, no final line break.
QString BuildPageText(const QString& title, const CodeParts& parts);

// Has the server place the widget's support files beside a page: it saves
// the widget beside the page under a scratch name that no file had (the
// page's name without extension, a random part, ".restvt"), which is then
// removed. New Page asks through SaveToFile, the others through
// SaveWithSupportFiles. False, with the server's reason, when they were not
// placed; no file of the user's is ever replaced or removed by it.
bool PlaceSupportFiles(CTavolet& tavolet, const QString& pagePath, bool bNewPage,
                       QString* error = nullptr);

// Whether `folder` holds every support file the widget lists, byte for byte
// where the server would place it, so that placing them would change
// nothing. False for a widget that lists none: its server may still place some.
bool SupportFilesInPlace(CTavolet& tavolet, const QString& folder);

// New Page without its dialogs: places the widget's support files beside the
// page (the command line may leave them out), then writes the page through
// the safe helper. False when either failed; a page is never written to
// point at support files that are not there, and whatever was at the path
// before is then left as it was.
bool WriteNewPage(CTavolet& tavolet, const QString& pagePath, QString* error = nullptr,
                  bool placeSupportFiles = true);

// A page whose text changed (Insert into, Update): if asked, has the server
// place the support files beside it, then writes it through the page's own
// Save. Refused or Failed, with the reason, when the page was not written.
platform::Replaced PublishPage(CTavolet& tavolet, const Page& page, bool copySupportFiles,
                               QString* error = nullptr);
