#include "templates/SaveTemplateDlg.h"

#include "framework/DataExchange.h"
#include "framework/StringTable.h"
#include "res/Resource.h"
#include "templates/TemplateStore.h"

#include <QFileInfo>
#include <QLabel>
#include <QListWidget>

using namespace framework;

namespace {

enum { IDC_NAME = 1004, IDC_DESCRIPTION = 1007, IDC_PATH = 1008, IDC_TEMPLATES = 1011 };

DialogTemplate saveTemplateTemplate() {
    using K = ControlKind;
    using S = ControlStyle;
    return {QStringLiteral("Save as Template"),
            {190, 168},
            {
                {K::Static, -1, QStringLiteral("Name:"), {7, 9, 60, 10}},
                {K::Edit, IDC_NAME, {}, {75, 7, 108, 12}, S::AutoScroll},
                {K::Static, -1, QStringLiteral("Description:"), {7, 25, 61, 11}},
                {K::Edit, IDC_DESCRIPTION, {}, {75, 23, 108, 13}, S::AutoScroll},
                {K::Static,
                 -1,
                 QStringLiteral("Widget's parameters will stored in:"),
                 {7, 43, 176, 10}},
                // Room for a long path on three lines.
                {K::Static, IDC_PATH, {}, {7, 53, 176, 26}, S::WrapAnywhere},
                {K::Static, -1, QStringLiteral("Existing Templates:"), {7, 82, 176, 10}},
                {K::ListBox, IDC_TEMPLATES, {}, {7, 93, 176, 48}, S::VScroll},
                {K::PushButton, IDOK, QStringLiteral("OK"), {36, 147, 50, 14}, S::Default},
                {K::PushButton, IDCANCEL, QStringLiteral("Cancel"), {102, 147, 50, 14}},
            }};
}

} // namespace

CSaveTemplateDlg::CSaveTemplateDlg() : CDialog(saveTemplateTemplate()) {
    OnEditChange(IDC_NAME, &CSaveTemplateDlg::OnChangeName);
}

void CSaveTemplateDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_TEMPLATES, m_lbTemplates);
    DDX_Text(pDX, IDC_DESCRIPTION, m_strDescription);
    DDX_Text(pDX, IDC_NAME, m_strName);
    DDX_Text(pDX, IDC_PATH, m_strPath);
}

bool CSaveTemplateDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    QString why;
    if (!m_scratch.CreateFromProgID(LoadString(IDS_PROGID), &why)) {
        AfxMessageBox(QStringLiteral("Save as template failure!"), why);
        EndDialog(IDCANCEL);
        return true;
    }
    computePath();
    for (const TemplateEntry& entry : m_scratch.ListTemplates())
        m_lbTemplates->addItem(entry.strName);
    UpdateData(false);
    return true;
}

void CSaveTemplateDlg::computePath() {
    m_strPath = m_strName.isEmpty() ? m_scratch.m_strServerFolder + "/"
                                    : TemplateFilePath(m_scratch, m_strName);
}

void CSaveTemplateDlg::OnChangeName() {
    UpdateData(true);
    computePath();
    Item<QLabel>(IDC_PATH)->setText(m_strPath);
}

void CSaveTemplateDlg::OnOK() {
    if (!UpdateData(true)) return;
    // The path follows the name; recomputed so it cannot lag behind it.
    computePath();
    if (!CheckWidgetName(m_strName, NameUse::Template)) return;
    if (QFileInfo::exists(m_strPath)) {
        AfxMessageBox(m_strPath + " is already exist.Please enter a new template name.\n");
        return;
    }
    EndDialog(IDOK);
}
