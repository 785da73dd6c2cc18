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

    QString m_strProgID;
    QUuid m_clsid;
    TavoletDispatch m_dispatch;
    QString m_strServerFolder;
    QString m_strTitle;
    QString m_strSamplePage;
};
