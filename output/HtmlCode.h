#pragma once

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

// The widget file a server saves beside a page to place its support files:
// the page's folder, its name without extension, ".restvt".
QString SupportFileScratchPath(const QString& pagePath);

// New Page without its dialogs: has the server save the widget beside the
// page (placing its support files; the command line may leave them out) and
// removes that file, then writes the page through the safe helper. False
// when the page could not be written; whatever was at the path before is
// then left as it was.
bool WriteNewPage(CTavolet& tavolet, const QString& pagePath, QString* error = nullptr,
                  bool placeSupportFiles = true);

// A page whose text changed (Insert into, Update): writes it through the
// page's own Save and, if asked, has the server place the support files
// beside it. False, with the reason, when the page could not be written.
bool PublishPage(CTavolet& tavolet, const Page& page, bool copySupportFiles,
                 QString* error = nullptr);

inline const QString InsertBeginMarker =
    QStringLiteral("<!--Insert By Mirovasta Glimmerkey-->\r\n");
inline const QString InsertEndMarker = QStringLiteral("\r\n<!--End of Glimmerkey-->\r\n");
