#pragma once

#include <QString>

class CTavolet;

// The template file of `name` for the widget's server: the server folder,
// the name, "_", the server's ProgID and ".tvt".
QString TemplateFilePath(const CTavolet& tavolet, const QString& name);

// ASCII letters and digits only, at least one: names end up in file names.
bool IsValidWidgetName(const QString& name);

enum class NameUse { Widget, Template };
// Applies the name rule and tells the user why a name fails; true when it passes.
bool CheckWidgetName(const QString& name, NameUse use);
