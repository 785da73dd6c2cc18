#include "widget/VellwickToolDoc.h"

#include "framework/Application.h"
#include "framework/ErrorReport.h"
#include "framework/FrameWindow.h"
#include "framework/Prompts.h"
#include "framework/StringTable.h"
#include "res/Resource.h"
#include "supportfiles/SupportFilesDlg.h"
#include "templates/NewWidgetDlg.h"
#include "templates/SaveTemplateDlg.h"

#include <QDateTime>
#include <QScopeGuard>

using framework::AfxMessageBox;
using framework::LoadString;

CVellwickToolDoc::CVellwickToolDoc() {
    OnCommand(ID_SUPPORT_FILES, [this] { OnSupportFiles(); });
    OnUpdateCommand(ID_SUPPORT_FILES, [this](framework::CCmdUI& ui) { OnUpdateSupportFiles(ui); });
    OnCommand(ID_VIEW_SAMPLE, [this] { OnViewSample(); });
    OnCommand(ID_SAVE_AS_TEMPLATE, [this] { OnSaveAsTemplate(); });
    // Without a widget there is nothing to save: Save would only rename.
    for (int id :
         {int(ID_SAVE_AS_TEMPLATE), int(framework::ID_FILE_SAVE), int(framework::ID_FILE_SAVE_AS)})
        OnUpdateCommand(id, [this](framework::CCmdUI& ui) { ui.Enable(HasWidget()); });
    OnUpdateCommand(ID_VIEW_SAMPLE, [this](framework::CCmdUI& ui) {
        ui.Enable(m_pTavolet && !m_pTavolet->m_strSamplePage.isEmpty());
    });
}

void CVellwickToolDoc::DeleteContents() {
    m_pTavolet.reset();
}

CVellwickToolDoc::~CVellwickToolDoc() = default;

bool CVellwickToolDoc::createWidget() {
    m_pTavolet = std::make_unique<CTavolet>();
    const QString progId = LoadString(IDS_PROGID);
    QString why;
    if (m_pTavolet->CreateFromProgID(progId, &why)) return true;
    AfxMessageBox("Create the dispatch of the " + progId + " Error!", why);
    return false;
}

void CVellwickToolDoc::sendConfigure() {
    // Before the main window exists (a file named on the command line) there
    // is nobody to configure for; the user configures from the form.
    if (framework::CFrameWnd* frame = framework::AfxGetMainWnd()) frame->SendCommand(ID_CONFIGURE);
}

bool CVellwickToolDoc::OnNewDocument() {
    if (!CDocument::OnNewDocument()) return false;
    // A failed creation keeps the serverless wrapper; HasWidget() tells.
    if (!createWidget()) return false;

    if (m_bFirstNew) {
        m_bFirstNew = false;
        SetModifiedFlag(false);
        return true;
    }
    CNewWidgetDlg dialog;
    dialog.m_pTavolet = m_pTavolet.get();
    if (dialog.DoModal() == framework::IDOK) {
        sendConfigure();
        SetModifiedFlag(true);
    } else {
        SetModifiedFlag(false);
    }
    return true;
}

bool CVellwickToolDoc::OnOpenDocument(const QString& path) {
    // The plain first widget is for the New that start-up runs; once a file
    // has been opened, New always offers the templates.
    m_bFirstNew = false;
    if (!CDocument::OnOpenDocument(path)) return false;
    bool opened = false;
    // Whatever fails, an exception from the server included, leaves no widget.
    const auto dropOnFailure = qScopeGuard([&] {
        if (!opened) m_pTavolet.reset();
    });
    if (!createWidget()) return false;
    if (!m_pTavolet->m_dispatch.LoadFromFile(path)) {
        // The server's reason, when it gives one: not JSON, a newer version, too large.
        const QString why = m_pTavolet->m_dispatch.LastReason();
        if (why.isEmpty())
            AfxMessageBox("Open " + path + " Error!");
        else
            AfxMessageBox("Open " + path + " Error!", why);
        return false;
    }
    if (m_pTavolet->m_dispatch.OwnerProgID() != LoadString(IDS_PROGID)) {
        AfxMessageBox("This File is not saved by " + LoadString(AFX_IDS_APP_TITLE) + "!");
        return false;
    }
    m_bNewIdentity = hasNewIdentity(path);
    opened = true;
    sendConfigure();
    return true;
}

void CVellwickToolDoc::OnCodePublished() {
    if (m_bNewIdentity) SetModifiedFlag(true);
}

// The server makes one up on loading a file that holds none, so a second
// load that gives another one tells.
bool CVellwickToolDoc::hasNewIdentity(const QString& path) {
    TavoletDispatch& widget = m_pTavolet->m_dispatch;
    const QString first = widget.WidgetIdentity();
    if (first.isEmpty()) return false; // a server without identities
    return widget.LoadFromFile(path) && widget.WidgetIdentity() != first;
}

bool CVellwickToolDoc::OnSaveDocument(const QString& path) {
    if (!HasWidget()) {
        AfxMessageBox("Save to " + path + " Error!",
                      QStringLiteral("There is no widget to save: open or create one first."));
        return false;
    }
    TavoletDispatch& widget = m_pTavolet->m_dispatch;
    widget.SetOwnerProgID(LoadString(IDS_PROGID));
    widget.SetSaveTime(QDateTime::currentDateTime());
    if (!widget.SaveToFile(path)) {
        AfxMessageBox("Save to " + path + " Error!", WhyServerSaveFailed(path));
        return false;
    }
    m_bNewIdentity = false;
    SetModifiedFlag(false);
    return true;
}

void CVellwickToolDoc::OnSaveAsTemplate() {
    if (!HasWidget()) return;
    TavoletDispatch& widget = m_pTavolet->m_dispatch;
    const QString name = widget.Name(), description = widget.Description();
    CSaveTemplateDlg dialog;
    dialog.m_strName = name;
    dialog.m_strDescription = description;
    if (dialog.DoModal() != framework::IDOK) return;
    // The document's own name and description come back whatever happens;
    // a server that fails here too has already had its error reported.
    const auto restore = qScopeGuard([&] {
        framework::RunSilently([&] {
            widget.SetName(name);
            widget.SetDescription(description);
        });
    });
    widget.SetName(dialog.m_strName);
    widget.SetDescription(dialog.m_strDescription);
    if (widget.SaveToFile(dialog.m_strPath))
        AfxMessageBox(QStringLiteral("Save as the template success!"));
    else
        AfxMessageBox(QStringLiteral("Save as the template failure!"),
                      WhyServerSaveFailed(dialog.m_strPath));
}

void CVellwickToolDoc::OnSupportFiles() {
    if (!HasWidget()) return;
    CSupportFilesDlg dialog;
    dialog.m_pTavolet = m_pTavolet.get();
    dialog.DoModal();
}

void CVellwickToolDoc::OnUpdateSupportFiles(framework::CCmdUI& ui) {
    ui.Enable(HasWidget() && m_pTavolet->m_dispatch.SupportFileCount() != 0);
}

void CVellwickToolDoc::OnViewSample() {
    if (m_pTavolet && !m_pTavolet->m_strSamplePage.isEmpty())
        framework::OpenOrSay(m_pTavolet->m_strSamplePage);
}
