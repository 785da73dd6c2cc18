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
        {336, 248},
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
             {7, 227, 322, 13}},
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
    // Said now, before the user does the work that could not be saved.
    const QFileInfo page(m_strPagePath);
    const bool writable =
        page.exists() ? page.isWritable() : QFileInfo(page.absolutePath()).isWritable();
    SetWindowText("Insert into " + m_strPagePath +
                  (writable ? QString() : QStringLiteral(" (read-only: OK cannot write it)")));
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
        const bool exists = QFileInfo::exists(m_strPagePath);
        AfxMessageBox("Open " + m_strPagePath + " Failure!",
                      exists ? file.errorString()
                             : QStringLiteral("The page does not exist yet: OK creates it."));
        // A page that exists but cannot be read must not be replaced by the box;
        // one that does not exist yet is made from it, support files and all.
        if (exists) refuseOk();
        return !exists;
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

void CInsertIntoPageDlg::OnOK() {
    if (!UpdateData(true)) return;
    bool encodable = true;
    const QByteArray bytes = PageBytes(m_page, std::exchange(m_strPageText, {}), &encodable);
    QString reason;
    if (!encodable)
        reason = "Its text no longer fits the page's encoding, " +
                 QString::fromLatin1(m_page.encoding) + "; the page is not changed.";
    else if (WriteInsertedPage(*m_pTavolet, m_strPagePath, bytes, m_bCopySupportFiles, &reason))
        return EndDialog(IDOK);
    // The box keeps the user's work: fix the cause and press OK again, or cancel.
    AfxMessageBox("Write " + m_strPagePath + " Failure!", reason);
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
