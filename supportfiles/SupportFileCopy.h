#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class TavoletDispatch;

// One support file as the widget server reports it.
struct SupportFileRow {
    QString strName;
    QString strSource; // the folder, ending in a separator; the name is appended
    QString strWebPath;
};

// The widget's support files without duplicates: a file whose name (letter
// case ignored) matches an earlier row's, with the same source and web path
// byte for byte, is left out.
QList<SupportFileRow> ListSupportFiles(TavoletDispatch& widget);

// Copies each row into `folder` (at its web path when that stays inside the
// folder, else under its own name), each through the safe copy. Returns
// what was not copied, each with its reason; `copied` gets the targets.
QStringList CopySupportFiles(const QList<SupportFileRow>& rows, const QString& folder,
                             QStringList* copied = nullptr);

// The message after a copy: success, or the failure naming what was not copied.
QString CopySupportFilesReport(const QString& folder, const QStringList& failed);
