#include "templates/RenameWidgetDlg.h"

#include "framework/DataExchange.h"
#include "templates/TemplateStore.h"

using namespace framework;

namespace {

enum { IDC_NAME = 1012, IDC_DESCRIPTION = 1013 };

DialogTemplate renameTemplate() {
    using K = ControlKind;
    using S = ControlStyle;
    return {QStringLiteral("Rename"),
            {191, 68},
            {
                {K::Static, -1, QStringLiteral("Name:"), {7, 9, 54, 10}},
                {K::Edit, IDC_NAME, {}, {68, 7, 116, 14}, S::AutoScroll},
                {K::Static, -1, QStringLiteral("Description:"), {7, 26, 56, 11}},
                {K::Edit, IDC_DESCRIPTION, {}, {68, 24, 116, 14}, S::AutoScroll},
                {K::PushButton, IDOK, QStringLiteral("OK"), {40, 47, 50, 14}, S::Default},
                {K::PushButton, IDCANCEL, QStringLiteral("Cancel"), {101, 47, 50, 14}},
            }};
}

} // namespace

CRenameWidgetDlg::CRenameWidgetDlg() : CDialog(renameTemplate()) {}

void CRenameWidgetDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, IDC_DESCRIPTION, m_strDescription);
    DDX_Text(pDX, IDC_NAME, m_strName);
}

void CRenameWidgetDlg::OnOK() {
    if (!UpdateData(true)) return;
    if (!CheckWidgetName(m_strName, NameUse::Widget)) return;
    EndDialog(IDOK);
}
