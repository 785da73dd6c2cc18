#include "framework/Document.h"

#include "framework/DocTemplate.h"
#include "framework/Prompts.h"

#include <QFile>
#include <QFileInfo>

namespace framework {

CDocument::CDocument() {
    OnCommand(ID_FILE_SAVE, [this] { DoFileSave(); });
    OnCommand(ID_FILE_SAVE_AS, [this] { DoSave({}); });
}

CDocument::~CDocument() = default;

bool CDocument::OnNewDocument() {
    DeleteContents();
    m_strPathName.clear();
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnOpenDocument(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        AfxMessageBox(QStringLiteral("Failed to open document."));
        return false;
    }
    DeleteContents();
    // Whatever fails from here on, the file it named is no longer shown.
    m_strPathName.clear();
    if (m_pDocTemplate) SetTitle(m_pDocTemplate->UntitledName());
    SetModifiedFlag(false);
    return true;
}

void CDocument::SetModifiedFlag(bool modified) {
    if (m_bModified == modified) return;
    m_bModified = modified;
    emit modifiedChanged(modified);
}

void CDocument::SetPathName(const QString& path, bool addToRecent) {
    m_strPathName = QFileInfo(path).absoluteFilePath();
    SetTitle(QFileInfo(path).fileName());
    if (addToRecent && m_pDocTemplate) m_pDocTemplate->AddToRecentFileList(m_strPathName);
}

void CDocument::SetTitle(const QString& title) {
    if (m_strTitle == title) return;
    m_strTitle = title;
    emit titleChanged(title);
}

bool CDocument::SaveModified() {
    if (!IsModified()) return true;
    const QString name = m_strPathName.isEmpty() ? m_strTitle : m_strPathName;
    switch (AfxMessageBox("Save changes to " + name + "?", MessageButtons::YesNoCancel)) {
    case IDYES:
        return DoFileSave();
    case IDNO:
        return true;
    default:
        return false;
    }
}

bool CDocument::DoFileSave() {
    const QFileInfo file(m_strPathName);
    if (m_strPathName.isEmpty() || (file.exists() && !file.isWritable())) return DoSave({});
    return DoSave(m_strPathName);
}

bool CDocument::DoSave(const QString& path, bool replace) {
    QString target = path;
    if (target.isEmpty()) {
        FileDialogRequest request;
        request.mode = FileDialogRequest::Save;
        QString proposed = m_strPathName.isEmpty() ? m_strTitle : m_strPathName;
        if (m_pDocTemplate) {
            request.filter = m_pDocTemplate->FileFilter();
            request.defaultSuffix = m_pDocTemplate->DefaultExtension().mid(1);
            // A document name may hold dots of its own ("x_Server.Type").
            if (!proposed.isEmpty() && !proposed.endsWith(m_pDocTemplate->DefaultExtension()))
                proposed += m_pDocTemplate->DefaultExtension();
        }
        request.initialPath = proposed;
        const auto chosen = Prompts::instance().FileDialog(request);
        if (!chosen) return false;
        target = *chosen;
    }
    if (!OnSaveDocument(target)) return false;
    if (replace) SetPathName(target);
    return true;
}

} // namespace framework
