#include "templates/ManageTemplatesDlg.h"

#include "framework/DataExchange.h"
#include "framework/StringTable.h"
#include "platform/SafeFile.h"
#include "res/Resource.h"
#include "templates/TemplateStore.h"

#include <QFileInfo>
#include <QListWidget>
#include <QSignalBlocker>

#include <algorithm>

using namespace framework;

namespace {

enum {
    IDC_TEMPLATES = 1011,
    IDC_DESCRIPTION = 1020,
    IDC_NAME = 1046,
    IDC_RENAME = 1048,
    IDC_DELETE = 1049
};

DialogTemplate manageTemplate() {
    using K = ControlKind;
    using S = ControlStyle;
    return {QStringLiteral("Manage Templates"),
            {207, 151},
            {
                {K::Static, -1, QStringLiteral("Name:"), {7, 9, 59, 9}},
                {K::Edit, IDC_NAME, {}, {68, 7, 73, 12}, S::AutoScroll},
                {K::Static, -1, QStringLiteral("Description:"), {7, 24, 59, 10}},
                {K::Edit, IDC_DESCRIPTION, {}, {68, 22, 73, 12}, S::AutoScroll},
                {K::Static, -1, QStringLiteral("Templates List:"), {7, 41, 134, 14}, S::Sunken},
                {K::ListBox, IDC_TEMPLATES, {}, {7, 55, 134, 89}, S::VScroll | S::NoIntegralHeight},
                {K::PushButton, IDOK, QStringLiteral("OK"), {152, 7, 48, 14}, S::Default},
                {K::PushButton, IDC_RENAME, QStringLiteral("Rename"), {152, 41, 48, 14}},
                {K::PushButton, IDC_DELETE, QStringLiteral("Delete"), {152, 59, 48, 14}},
            }};
}

const QString kSelectFirst = QStringLiteral("Please select a template first!");

} // namespace

CManageTemplatesDlg::CManageTemplatesDlg() : CDialog(manageTemplate()) {
    OnButton(IDC_RENAME, &CManageTemplatesDlg::OnRename);
    OnButton(IDC_DELETE, &CManageTemplatesDlg::OnDelete);
    OnSelChange(IDC_TEMPLATES, &CManageTemplatesDlg::OnSelchangeTemplates);
}

void CManageTemplatesDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_TEMPLATES, m_lbTemplates);
    DDX_LBIndex(pDX, IDC_TEMPLATES, m_nSelected);
    DDX_Text(pDX, IDC_NAME, m_strName);
    DDX_Text(pDX, IDC_DESCRIPTION, m_strDescription);
}

bool CManageTemplatesDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    QString why;
    if (!m_scratch.CreateFromProgID(LoadString(IDS_PROGID), &why)) {
        AfxMessageBox(QStringLiteral("Manage templates failure!"), why);
        EndDialog(IDCANCEL);
        return true;
    }
    listTemplates();
    showEntry(m_arrTemplates.isEmpty() ? -1 : 0);
    return true;
}

// The list and the list box as the folder holds them now.
void CManageTemplatesDlg::listTemplates() {
    m_arrTemplates = m_scratch.ListTemplates();
    const QSignalBlocker quiet(m_lbTemplates->selectionModel());
    m_lbTemplates->clear();
    for (const TemplateEntry& entry : std::as_const(m_arrTemplates))
        m_lbTemplates->addItem(entry.strName);
}

void CManageTemplatesDlg::showEntry(int nIndex) {
    m_nSelected = nIndex;
    m_strName = nIndex >= 0 ? m_arrTemplates[nIndex].strName : QString();
    m_strDescription = nIndex >= 0 ? m_arrTemplates[nIndex].strDescription : QString();
    UpdateData(false);
}

void CManageTemplatesDlg::OnSelchangeTemplates() {
    const int selected = m_lbTemplates->currentRow();
    if (selected == m_nSelected || selected < 0 || selected >= m_arrTemplates.size()) return;
    showEntry(selected);
}

bool CManageTemplatesDlg::hasSelection() const {
    if (m_nSelected >= 0 && m_nSelected < m_arrTemplates.size()) return true;
    AfxMessageBox(kSelectFirst);
    return false;
}

void CManageTemplatesDlg::OnDelete() {
    if (!UpdateData(true) || !hasSelection()) return;
    const int position = m_nSelected;
    const TemplateEntry entry = m_arrTemplates[position];
    if (AfxMessageBox("Are you sure to delete \"" + entry.strName + "\" template?",
                      MessageButtons::OkCancel) != IDOK)
        return;
    QString error;
    // A file that is already gone is as good as deleted.
    if (!platform::RemoveFile(entry.strPath, &error) && QFileInfo::exists(entry.strPath)) {
        // Still in the folder, so still in the list.
        AfxMessageBox("The template \"" + entry.strName + "\" cannot be deleted: " + error);
        return;
    }
    {
        // The list box moves its selection while the item goes; the entry
        // at the deleted position is chosen below, once the lists agree.
        const QSignalBlocker quiet(m_lbTemplates->selectionModel());
        delete m_lbTemplates->takeItem(position);
    }
    m_arrTemplates.removeAt(position);
    showEntry(std::min(position, int(m_arrTemplates.size()) - 1));
}

void CManageTemplatesDlg::OnRename() {
    if (!UpdateData(true) || !hasSelection()) return;
    if (!CheckWidgetName(m_strName, NameUse::Template)) return;
    const QString newPath = TemplateFilePath(m_scratch, m_strName);
    if (QFileInfo::exists(newPath)) {
        AfxMessageBox("The " + m_strName + " template has been there,please give a new name!");
        return;
    }
    const int position = m_nSelected;
    const QString oldPath = m_arrTemplates[position].strPath;
    if (AfxMessageBox("Are you sure to rename \"" + m_arrTemplates[position].strName +
                          "\" template to \"" + m_strName + "\"?",
                      MessageButtons::OkCancel) != IDOK)
        return;
    TavoletDispatch& widget = m_scratch.m_dispatch;
    if (!widget.LoadFromFile(oldPath)) {
        AfxMessageBox(QStringLiteral("Rename Failure!"),
                      "The template " + oldPath + " cannot be read.");
        return;
    }
    widget.SetName(m_strName);
    widget.SetDescription(m_strDescription);
    if (!widget.SaveToFile(newPath)) {
        AfxMessageBox(QStringLiteral("Rename Failure!"), WhyServerSaveFailed(newPath));
        return;
    }
    QString error;
    if (!platform::RemoveFile(oldPath, &error)) {
        // Both files are templates now; the list shows what the folder holds.
        AfxMessageBox("The template was copied to " + newPath + ", but its old file " + oldPath +
                      " cannot be removed: " + error);
        listTemplates();
        const auto renamed =
            std::find_if(m_arrTemplates.cbegin(), m_arrTemplates.cend(),
                         [&](const TemplateEntry& e) { return e.strPath == newPath; });
        showEntry(renamed == m_arrTemplates.cend() ? -1 : int(renamed - m_arrTemplates.cbegin()));
        return;
    }
    // The entry keeps its place until the templates are listed again.
    m_arrTemplates[position] = {m_strName, m_strDescription, newPath};
    m_lbTemplates->item(position)->setText(m_strName);
    showEntry(position);
}
