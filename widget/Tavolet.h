#pragma once

#include "widget/TavoletDispatch.h"

#include <QList>
#include <QUuid>

// A template file of the widget type: the name and description stored in it.
struct TemplateEntry {
    QString strName;
    QString strDescription;
    QString strPath;
};

// Why a widget server's save to `path` failed, as far as the file system
// tells; servers give no reason of their own.
QString WhyServerSaveFailed(const QString& path);

// One running instance of a widget server: created from its ProgID, with
// the folder it is installed in (also the template folder), the widget
// type's title and the server's sample page.
class CTavolet {
public:
    CTavolet() = default;
    virtual ~CTavolet() = default;
    CTavolet(const CTavolet&) = delete;
    CTavolet& operator=(const CTavolet&) = delete;

    // False with the reason in `whyNot`; a server that is registered but
    // cannot be made has also been reported to the user.
    bool CreateFromProgID(const QString& progId, QString* whyNot = nullptr);
    bool CreateFromCLSID(const QUuid& clsid, QString* whyNot = nullptr);
    bool HasServer() const { return m_dispatch.IsValid(); }

    // The template files of this widget type in the server folder, sorted by
    // name with letter case ignored (the folder itself has no order). Loads
    // every candidate into this instance: run it on a scratch wrapper only.
    QList<TemplateEntry> ListTemplates();

    QString m_strProgID;
    QUuid m_clsid;
    TavoletDispatch m_dispatch;
    QString m_strServerFolder;
    QString m_strTitle;
    QString m_strSamplePage;
};
