#include "output/HtmlCodeDlg.h"

#include "controls/ColorStatic.h"
#include "framework/DataExchange.h"
#include "output/NoticeColors.h"

using namespace framework;

namespace {

enum { IDC_CODE = 1036, IDC_NOTE = 1041 };

DialogTemplate htmlCodeTemplate() {
    using K = ControlKind;
    using S = ControlStyle;
    return {
        QStringLiteral("Glimmerkey's HTML Code"),
        {296, 224},
        {
            {K::Static,
             -1,
             QStringLiteral("You have copied Glimmerkey's HTML code into clipboard successfully."),
             {7, 7, 282, 9}},
            {K::RichEdit,
             IDC_CODE,
             {},
             {7, 21, 282, 139},
             // Long lines wrap: a widget's code is often one line.
             S::VScroll | S::WantReturn},
            {K::Custom,
             IDC_NOTE,
             QStringLiteral("After you paste into your HTML file,you must ensure the "
                            "image,audio and class files in the right path according to the "
                            "HTML code. You can use File\\Support Files... function to list all "
                            "the image, audio and class files used by Glimmerkey."),
             {7, 165, 282, 34},
             S::None,
             0,
             QStringLiteral("CColorStatic")},
            {K::PushButton, IDCANCEL, QStringLiteral("Close"), {123, 205, 50, 14}, S::Default},
        }};
}

} // namespace

CHtmlCodeDlg::CHtmlCodeDlg() : CDialog(htmlCodeTemplate()) {}

void CHtmlCodeDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_NOTE, m_tipNote);
    DDX_Text(pDX, IDC_CODE, m_strCode);
}

bool CHtmlCodeDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_tipNote->SetBkColor(kNoticeBackground);
    m_tipNote->SetTextColor(kNoticeText);
    UpdateData(false);
    return true;
}
