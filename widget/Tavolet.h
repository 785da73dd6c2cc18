#pragma once

#include "widget/TavoletDispatch.h"

#include <QUuid>

// One running instance of a widget server: created from its ProgID, with
// the folder it is installed in (also the template folder), the widget
// type's title and the server's sample page.
class CTavolet {
public:
    CTavolet() = default;
    virtual ~CTavolet() = default;
    CTavolet(const CTavolet&) = delete;
    CTavolet& operator=(const CTavolet&) = delete;

    bool CreateFromProgID(const QString& progId);
    bool CreateFromCLSID(const QUuid& clsid);
    bool HasServer() const { return m_dispatch.IsValid(); }

    // The template files of this widget type in the server folder, as
    // parallel lists in the order the file system gives them. Loads every
    // candidate into this instance: run it on a scratch wrapper only.
    void ListTemplates(QStringList& names, QStringList& descriptions, QStringList& paths);

    QString m_strProgID;
    QUuid m_clsid;
    TavoletDispatch m_dispatch;
    QString m_strServerFolder;
    QString m_strTitle;
    QString m_strSamplePage;
};
