#include "app/AboutDlg.h"

#include "controls/CreditsScroller.h"
#include "controls/HyperLink.h"
#include "framework/DataExchange.h"

using namespace framework;

namespace {

enum { IDC_CREDITS = 1044, IDC_WEB = 1055 };

const QString kHomePage = QStringLiteral("https://www.vellwick.example/");

// One line per piece, each ended by "|". The last character marks a line:
// "^" a bitmap resource, a tab the title, a carriage return a heading.
const QString kCredits = QStringLiteral("|"
                                        "IDBGLIMMERKEY^|"
                                        "Vellwick Glimmerkey 1.5\t|"
                                        "|"
                                        "Button widgets for your web pages,|"
                                        "made, set up and published in three steps.|"
                                        "||"
                                        "Product Design\r||"
                                        "Lead product designer|"
                                        "Product planning team|"
                                        "||"
                                        "Programmer\r||"
                                        "Lead developer|"
                                        "Widget host developer|"
                                        "Widget server developer|"
                                        "||"
                                        "Interface Design\r||"
                                        "Interface designer|"
                                        "Picture and icon artist|"
                                        "Usability review team|"
                                        "||"
                                        "Sample Design\r||"
                                        "Template designer|"
                                        "Sample page author|"
                                        "Widget gallery team|"
                                        "||"
                                        "Thank you for choosing Vellwick Glimmerkey.|"
                                        "Copyright (C) Mirovasta. All rights reserved.|"
                                        "|||||||");

const QColor kDarkBlue(13, 47, 109), kGold(248, 200, 8), kWhite(255, 255, 255);

DialogTemplate aboutTemplate() {
    using K = ControlKind;
    using S = ControlStyle;
    return {QStringLiteral("About Vellwick Glimmerkey"),
            {234, 212},
            {
                {K::Custom,
                 IDC_CREDITS,
                 {},
                 {7, 7, 220, 120},
                 S::Sunken,
                 0,
                 QStringLiteral("CCreditsScroller")},
                {K::HorizontalRule, -1, {}, {7, 134, 220, 0}},
                {K::Static, -1, QStringLiteral("Web:"), {7, 140, 52, 8}},
                {K::Custom,
                 IDC_WEB,
                 kHomePage,
                 {62, 140, 110, 8},
                 S::None,
                 0,
                 QStringLiteral("CHyperLink")},
                {K::Static, -1, QStringLiteral("Tech Support:"), {7, 151, 52, 8}},
                {K::Static, -1, QStringLiteral("support@vellwick.example"), {62, 151, 165, 8}},
                {K::Static, -1, QStringLiteral("Postal Mail:"), {7, 162, 52, 8}},
                {K::Static,
                 -1,
                 QStringLiteral("Mirovasta, 12 Lantern Row,\nPort Vellwick PV3 1GK"),
                 {62, 162, 165, 17}},
                {K::HorizontalRule, -1, {}, {7, 184, 220, 0}},
                {K::PushButton, IDOK, QStringLiteral("OK"), {92, 191, 50, 14}, S::Default},
            }};
}

} // namespace

CAboutDlg::CAboutDlg() : CDialog(aboutTemplate()) {}

void CAboutDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_CREDITS, m_pCredits);
    DDX_Control(pDX, IDC_WEB, m_pWebLink);
}

bool CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_pWebLink->SetURL(kHomePage);

    m_pCredits->SetCreditText(kCredits, u'|');
    m_pCredits->SelectSpeed(2, 0); // the 5 ms of slot 2
    m_pCredits->SetStyleColor(0, kDarkBlue);
    m_pCredits->SetTransparentBitmaps(true);
    m_pCredits->SetStyleColor(1, kGold);
    m_pCredits->SetStyleColor(3, kGold);
    m_pCredits->SetStyleColor(4, kWhite);
    m_pCredits->BeginScroll();
    return true;
}
