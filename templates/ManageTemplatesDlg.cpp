#include "templates/ManageTemplatesDlg.h"

#include "framework/DataExchange.h"
#include "framework/StringTable.h"
#include "platform/SafeFile.h"
#include "res/Resource.h"
#include "templates/TemplateStore.h"

#include <QFileInfo>
#include <QListWidget>

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
                {K::Static, -1, QStringLiteral("Templates List:"), {7, 42, 134, 10}, S::Sunken},
                {K::ListBox, IDC_TEMPLATES, {}, {7, 55, 134, 89}, S::VScroll},
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
    if (!m_scratch.CreateFromProgID(LoadString(IDS_PROGID))) {
        AfxMessageBox(QStringLiteral("Manage templates failure!"));
        EndDialog(IDCANCEL);
        return true;
    }
    listTemplates();
    showEntry(m_arrNames.isEmpty() ? -1 : 0);
    return true;
}

// The lists and the list box as the folder holds them now.
void CManageTemplatesDlg::listTemplates() {
    m_scratch.ListTemplates(m_arrNames, m_arrDescriptions, m_arrPaths);
    m_lbTemplates->clear();
    for (int i = 0; i < m_arrNames.size(); ++i)
        m_lbTemplates->insertItem(i, m_arrNames[i]);
}

void CManageTemplatesDlg::showEntry(int nIndex) {
    m_nSelected = nIndex;
    m_strName = nIndex >= 0 ? m_arrNames[nIndex] : QString();
    m_strDescription = nIndex >= 0 ? m_arrDescriptions[nIndex] : QString();
    UpdateData(false);
}

void CManageTemplatesDlg::OnSelchangeTemplates() {
    const int selected = m_lbTemplates->currentRow();
    if (selected == m_nSelected || selected < 0 || selected >= m_arrNames.size()) return;
    showEntry(selected);
}

void CManageTemplatesDlg::OnDelete() {
    if (!UpdateData(true)) return;
    if (m_nSelected < 0 || m_nSelected >= m_arrNames.size()) {
        AfxMessageBox(kSelectFirst);
        return;
    }
    const QString name = m_arrNames[m_nSelected];
    if (AfxMessageBox("Are you sure to delete \"" + name + "\" template?",
                      MessageButtons::OkCancel) != IDOK)
        return;
    QString error;
    if (!platform::RemoveFile(m_arrPaths[m_nSelected], &error)) {
        // Still in the folder, so still in the list.
        AfxMessageBox("The template \"" + name + "\" cannot be deleted: " + error);
        return;
    }
    m_arrNames.removeAt(m_nSelected);
    m_arrDescriptions.removeAt(m_nSelected);
    m_arrPaths.removeAt(m_nSelected);
    delete m_lbTemplates->takeItem(m_nSelected);
    showEntry(std::min(m_nSelected, int(m_arrNames.size()) - 1));
}

void CManageTemplatesDlg::OnRename() {
    if (!UpdateData(true)) return;
    if (m_nSelected < 0 || m_nSelected >= m_arrNames.size()) {
        AfxMessageBox(kSelectFirst);
        return;
    }
    if (!CheckWidgetName(m_strName, NameUse::Template)) return;
    const QString newPath = TemplateFilePath(m_scratch, m_strName);
    if (QFileInfo::exists(newPath)) {
        AfxMessageBox("The " + m_strName + " template has been there,please give a new name!");
        return;
    }
    if (AfxMessageBox("Are you sure to rename \"" + m_arrNames[m_nSelected] + "\" template to \"" +
                          m_strName + "\"?",
                      MessageButtons::OkCancel) != IDOK)
        return;
    const QString oldPath = m_arrPaths[m_nSelected];
    TavoletDispatch& widget = m_scratch.m_dispatch;
    if (!widget.LoadFromFile(oldPath)) {
        AfxMessageBox(QStringLiteral("Rename Failure!"));
        return;
    }
    widget.SetName(m_strName);
    widget.SetDescription(m_strDescription);
    if (!widget.SaveToFile(newPath)) {
        AfxMessageBox(QStringLiteral("Rename Failure!"));
        return;
    }
    const int position = m_nSelected;
    QString error;
    if (!platform::RemoveFile(oldPath, &error)) {
        // Both files are templates now; the list shows what the folder holds.
        AfxMessageBox("The template was copied to " + newPath + ", but its old file " + oldPath +
                      " cannot be removed: " + error);
        listTemplates();
        showEntry(int(m_arrPaths.indexOf(newPath)));
        return;
    }
    m_arrNames[position] = m_strName;
    m_arrPaths[position] = newPath;
    m_arrDescriptions[position] = m_strDescription;
    for (int i = m_lbTemplates->count() - 1; i >= 0; --i)
        delete m_lbTemplates->takeItem(i);
    for (const QString& name : std::as_const(m_arrNames))
        m_lbTemplates->addItem(name);
    showEntry(position);
}
