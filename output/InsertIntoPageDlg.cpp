#include "output/InsertIntoPageDlg.h"

#include "framework/DataExchange.h"
#include "output/HtmlCode.h"
#include "output/PageEditor.h"
#include "widget/Tavolet.h"

#include <QFile>
#include <QFileInfo>
#include <QPushButton>

using namespace framework;

namespace {

enum { IDC_PAGE = 1030, IDC_INSERT = 1031, IDC_UNDO = 1032, IDC_COPY_SUPPORT_FILES = 1034 };

const QString kPageEditorClass = QStringLiteral("CPageEditor");

DialogTemplate insertTemplate() {
    static const bool registered = [] {
        RegisterControlClass(kPageEditorClass, [](const ControlTemplate&, QWidget* pParent) {
            return new CPageEditor(pParent);
        });
        return true;
    }();
    Q_UNUSED(registered);
    using K = ControlKind;
    using S = ControlStyle;
    return {
        {},
        {336, 244},
        {
            {K::Static,
             -1,
             QStringLiteral("Locate the insert point using caret:"),
             {7, 7, 248, 10}},
            {K::Custom, IDC_PAGE, {}, {7, 19, 259, 204}, S::None, 0, kPageEditorClass},
            {K::PushButton, IDOK, QStringLiteral("OK"), {279, 20, 50, 18}, S::Default},
            {K::PushButton, IDCANCEL, QStringLiteral("Cancel"), {279, 42, 50, 18}},
            {K::PushButton, IDC_INSERT, QStringLiteral("Insert"), {279, 79, 50, 17}},
            {K::PushButton, IDC_UNDO, QStringLiteral("Undo"), {279, 102, 50, 17}},
            {K::CheckBox,
             IDC_COPY_SUPPORT_FILES,
             QStringLiteral("Copy class,image and audio files into same directory automatically"),
             {7, 228, 322, 9}},
        }};
}

} // namespace

CInsertIntoPageDlg::CInsertIntoPageDlg() : CDialog(insertTemplate()) {
    OnButton(IDC_INSERT, &CInsertIntoPageDlg::OnInsert);
    OnButton(IDC_UNDO, &CInsertIntoPageDlg::OnUndo);
}

void CInsertIntoPageDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_UNDO, m_btnUndo);
    DDX_Control(pDX, IDC_PAGE, m_editPage);
    if (pDX->m_bSaveAndValidate)
        m_strPageText = m_editPage->PageBytes();
    else
        m_editPage->SetPageBytes(m_strPageText, m_page.mode != PageText::Bytes);
    DDX_Check(pDX, IDC_COPY_SUPPORT_FILES, m_bCopySupportFiles);
}

bool CInsertIntoPageDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (!LoadPageText()) return true;
    SetWindowText("Insert into " + m_strPagePath);
    m_bCopySupportFiles = true;
    m_btnUndo->setEnabled(false);
    UpdateData(false);
    // The box holds the page now; a large page is not kept twice more.
    m_strPageText.clear();
    m_page.editorText.clear();
    m_editPage->setFocus();
    return false;
}

bool CInsertIntoPageDlg::LoadPageText() {
    QFile file(m_strPagePath);
    if (!file.open(QIODevice::ReadOnly)) {
        AfxMessageBox("Open " + m_strPagePath + " Failure!");
        // A page that does not exist yet may still be created from the box.
        if (QFileInfo::exists(m_strPagePath)) refuseOk();
        return false;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        AfxMessageBox("Can't read content from " + m_strPagePath);
        refuseOk();
        return false;
    }
    m_page = ::LoadPageText(std::exchange(bytes, {}));
    if (!m_page.refusal.isEmpty()) {
        AfxMessageBox(m_strPagePath + ": " + m_page.refusal);
        refuseOk();
        return false;
    }
    m_strPageText = m_page.editorText;
    return true;
}

void CInsertIntoPageDlg::refuseOk() {
    if (QWidget* ok = GetDlgItem(IDOK)) ok->setEnabled(false);
    if (QWidget* insert = GetDlgItem(IDC_INSERT)) insert->setEnabled(false);
}

void CInsertIntoPageDlg::OnInsert() {
    const QString code = m_pTavolet->m_dispatch.CodePartText(0, m_nCodeMode);
    m_editPage->ReplaceSelection(EditorTextOf(m_page, InsertBeginMarker + code + InsertEndMarker));
    m_btnUndo->setEnabled(true);
}

void CInsertIntoPageDlg::OnUndo() {
    m_editPage->Undo();
    m_btnUndo->setEnabled(false);
}
