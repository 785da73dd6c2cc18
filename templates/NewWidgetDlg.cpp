#include "templates/NewWidgetDlg.h"

#include "framework/DataExchange.h"
#include "framework/StringTable.h"
#include "res/Resource.h"
#include "templates/TemplateStore.h"

#include "framework/Prompts.h"

#include <QLabel>
#include <QListWidget>

using namespace framework;

namespace {

enum { IDC_TEMPLATES = 1011, IDC_NAME = 1012, IDC_DESCRIPTION = 1013, IDC_TEMPLATE_INFO = 1014 };

DialogTemplate newWidgetTemplate() {
    using K = ControlKind;
    using S = ControlStyle;
    return {QStringLiteral("New "),
            {191, 170},
            {
                {K::Static, -1, QStringLiteral("Name:"), {7, 9, 54, 10}},
                {K::Edit, IDC_NAME, {}, {68, 7, 116, 14}},
                {K::Static, -1, QStringLiteral("Description:"), {7, 26, 56, 11}},
                {K::Edit, IDC_DESCRIPTION, {}, {68, 24, 116, 14}},
                {K::Static, -1, QStringLiteral("Select a Template:"), {7, 44, 177, 11}},
                {K::ListBox, IDC_TEMPLATES, {}, {7, 56, 177, 75}, S::VScroll},
                {K::Static, IDC_TEMPLATE_INFO, {}, {7, 134, 177, 11}},
                {K::PushButton, IDOK, QStringLiteral("OK"), {49, 149, 40, 14}, S::Default},
                {K::PushButton, IDCANCEL, QStringLiteral("Cancel"), {102, 149, 40, 14}},
            }};
}

} // namespace

CNewWidgetDlg::CNewWidgetDlg() : CDialog(newWidgetTemplate()) {
    OnSelChange(IDC_TEMPLATES, &CNewWidgetDlg::OnSelchangeTemplates);
}

void CNewWidgetDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_TEMPLATES, m_lbTemplates);
    DDX_LBIndex(pDX, IDC_TEMPLATES, m_nSelected);
    DDX_Text(pDX, IDC_DESCRIPTION, m_strDescription);
    DDX_Text(pDX, IDC_NAME, m_strName);
    DDX_Text(pDX, IDC_TEMPLATE_INFO, m_strTemplateInfo);
}

bool CNewWidgetDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (!m_scratch.CreateFromProgID(framework::LoadString(IDS_PROGID))) {
        EndDialog(IDCANCEL);
        return true;
    }
    m_strName = m_scratch.m_dispatch.Name();
    m_strDescription = m_scratch.m_dispatch.Description();
    m_arrTemplates = m_scratch.ListTemplates();
    for (const TemplateEntry& entry : std::as_const(m_arrTemplates))
        m_lbTemplates->addItem(entry.strName);
    if (!m_arrTemplates.isEmpty()) {
        m_nSelected = 0;
        m_strTemplateInfo = m_arrTemplates[0].strDescription;
    }
    UpdateData(false);
    return true;
}

void CNewWidgetDlg::OnSelchangeTemplates() {
    const int selected = m_lbTemplates->currentRow();
    if (selected == m_nSelected || selected < 0 || selected >= m_arrTemplates.size()) return;
    m_strTemplateInfo = m_arrTemplates[selected].strDescription;
    m_nSelected = selected;
    // Only the description: a full exchange would throw away what the user
    // has typed into Name and Description.
    Item<QLabel>(IDC_TEMPLATE_INFO)->setText(m_strTemplateInfo);
}

void CNewWidgetDlg::OnOK() {
    if (!UpdateData(true)) return;
    if (!CheckWidgetName(m_strName, NameUse::Widget)) return;
    TavoletDispatch& widget = m_pTavolet->m_dispatch;
    if (m_nSelected >= 0 && m_nSelected < m_arrTemplates.size()) {
        if (!widget.LoadFromFile(m_arrTemplates[m_nSelected].strPath)) {
            // Naming a widget that did not become the template would mislead.
            framework::AfxMessageBox("The template " + m_arrTemplates[m_nSelected].strPath +
                                     " cannot be read.");
            return;
        }
        // A template saved from a widget carries that widget's identity; the
        // new widget must not claim its blocks.
        widget.RenewWidgetIdentity();
    }
    widget.SetName(m_strName);
    widget.SetDescription(m_strDescription);
    widget.SetAuxText(QString());
    EndDialog(IDOK);
}
