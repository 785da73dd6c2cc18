#pragma once
#include "GlimmerSettings.h"

#include <QList>
#include <QString>

struct CodePart {
    QString name;
    QString text;
    bool operator==(const CodePart&) const = default;
};

// Turns settings into the HTML the widget puts on a page, as three parts:
//   0 "cursor"  the button itself, complete on its own: markup plus a script
//               that adds the button's style sheet unless the page already
//               has it, and wires the sounds;
//   1 "style"   the style sheet for the page head;
//   2 "script"  the shared runtime for the page head.
// Every rule is scoped to the class "gk-<widget key>", so several widgets on
// one page never touch each other, and the runtime defines itself once.
namespace CodeGenerator {

// Eight hex digits derived from everything that shapes the widget's code; two
// widgets share it only when their style sheets are the same.
QString widgetKey(const GlimmerSettings& settings);

// With a widget identity (dispatch::IsWidgetIdentity), the cursor's outermost
// element carries it as dispatch::TAVOLET_WIDGET_ATTRIBUTE; nothing else changes.
QList<CodePart> parts(const GlimmerSettings& settings, const QString& identity = {});

QString cursor(const GlimmerSettings& settings, const QString& identity = {});
QString style(const GlimmerSettings& settings);
QString script();

// The bare CSS behind the style part.
QString styleSheet(const GlimmerSettings& settings);
// The accessible name: the caption, else the tooltip, else "Button".
QString accessibleName(const GlimmerSettings& settings);

} // namespace CodeGenerator
