#pragma once
#include <QString>
#include <QStringList>

// The font families a widget may use. Only these reach the emitted CSS, each
// with a fallback stack of fonts that ship with common systems, so that a page
// never needs to download a font.
namespace FontCatalog {
QStringList families();
bool isKnown(const QString& family);
// The CSS font-family value for a known family; the default stack otherwise.
QString cssStack(const QString& family);
} // namespace FontCatalog
