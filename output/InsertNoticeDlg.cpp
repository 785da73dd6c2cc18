#include "output/InsertNoticeDlg.h"

#include "controls/ColorStatic.h"
#include "framework/DataExchange.h"
#include "output/NoticeColors.h"
#include "platform/Shell.h"

#include <algorithm>

using namespace framework;

const QStringList& HtmlEditorNames() {
    static const QStringList names{QStringLiteral("vellwick"), QStringLiteral("Vellwick.exe")};
    return names;
}

namespace {

enum { IDC_USE_EDITOR = 1042, IDC_NOTE = 1043 };

DialogTemplate noticeTemplate() {
    using K = ControlKind;
    using S = ControlStyle;
    return {QStringLiteral("Insert Glimmerkey into Page"),
            {250, 85},
            {
                {K::Custom,
                 IDC_NOTE,
                 QStringLiteral("The best method to insert Glimmerkey into page is using Vellwick "
                                "- a free HTML editor developed by Mirovasta Software. You can "
                                "insert,configure or delete a Glimmerkey in Vellwick easy."),
                 {7, 7, 236, 32},
                 S::Sunken,
                 0,
                 QStringLiteral("CColorStatic")},
                {K::CheckBox,
                 IDC_USE_EDITOR,
                 QStringLiteral("Using Vellwick's File\\Import Widget... to insert Glimmerkey"),
                 {7, 42, 236, 13}},
                {K::PushButton, IDOK, QStringLiteral("OK"), {101, 64, 50, 14}, S::Default},
            }};
}

} // namespace

CInsertNoticeDlg::CInsertNoticeDlg() : CDialog(noticeTemplate()) {}

void CInsertNoticeDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_NOTE, m_tipNote);
    DDX_Check(pDX, IDC_USE_EDITOR, m_bUseEditor);
}

bool CInsertNoticeDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_tipNote->SetBkColor(kNoticeBackground);
    m_tipNote->SetTextColor(kNoticeText);
    // Recommending an editor that is not there would lead to a dead end.
    m_bUseEditor =
        std::any_of(HtmlEditorNames().cbegin(), HtmlEditorNames().cend(), [](const QString& name) {
            return platform::Shell::instance().FindProgram(name);
        });
    UpdateData(false);
    return true;
}
