#include "browsers/WebBrowserDlg.h"

#include "framework/Application.h"
#include "framework/DataExchange.h"

#include <QListWidget>

using namespace framework;

namespace {

enum {
    IDC_NAME = 1012,
    IDC_SPECIFIED = 1026,
    IDC_ADD = 1027,
    IDC_BROWSE = 1010,
    IDC_PATH = 1039,
    IDC_DELETE = 1049,
    IDC_INSTALLED = 1053
};

DialogTemplate webBrowserTemplate() {
    using K = ControlKind;
    using S = ControlStyle;
    return {QStringLiteral("Web Browser"),
            {175, 193},
            {
                {K::ListBox, IDC_SPECIFIED, {}, {10, 70, 155, 32}, S::VScroll},
                {K::PushButton, IDC_DELETE, QStringLiteral("Delete"), {10, 105, 155, 12}},
                {K::Edit, IDC_NAME, {}, {54, 140, 111, 12}, S::AutoScroll},
                {K::Edit, IDC_PATH, {}, {54, 156, 85, 12}, S::AutoScroll},
                {K::PushButton, IDC_BROWSE, QStringLiteral("..."), {143, 156, 22, 13}},
                {K::PushButton, IDC_ADD, QStringLiteral("Add"), {10, 171, 155, 12}},
                {K::GroupBox, -1, QStringLiteral("Specify Browser List"), {7, 60, 161, 62}},
                {K::GroupBox, -1, QStringLiteral("New Web Browser"), {7, 125, 161, 61}},
                {K::Static, -1, QStringLiteral("Name:"), {11, 141, 42, 11}},
                {K::Static, -1, QStringLiteral("File Path:"), {11, 158, 41, 10}},
                {K::ListBox, IDC_INSTALLED, {}, {10, 19, 155, 32}, S::VScroll},
                {K::GroupBox, -1, QStringLiteral("Installed Browser List"), {7, 7, 161, 52}},
            }};
}

// The selected item's text; back into the list, the first item that
// begins with the text, letter case ignored.
void DDX_LBString(CDataExchange* pDX, QListWidget* list, QString& strValue) {
    if (pDX->m_bSaveAndValidate) {
        const QListWidgetItem* item = list->currentRow() >= 0 ? list->currentItem() : nullptr;
        strValue = item ? item->text() : QString();
        return;
    }
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text().startsWith(strValue, Qt::CaseInsensitive)) {
            list->setCurrentRow(i);
            return;
        }
}

} // namespace

CWebBrowserDlg::CWebBrowserDlg()
    : CDialog(webBrowserTemplate()), m_browsers(AfxGetApp()->GetProfile()) {
    OnButton(IDC_BROWSE, &CWebBrowserDlg::OnBrowse);
    OnButton(IDC_DELETE, &CWebBrowserDlg::OnDelete);
    OnButton(IDC_ADD, &CWebBrowserDlg::OnAdd);
}

void CWebBrowserDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_INSTALLED, m_lbInstalled);
    DDX_Control(pDX, IDC_SPECIFIED, m_lbSpecified);
    DDX_Text(pDX, IDC_PATH, m_strPath);
    DDX_Text(pDX, IDC_NAME, m_strName);
    DDX_LBString(pDX, m_lbSpecified, m_strSelected);
}

bool CWebBrowserDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The installed list is for reading only.
    m_lbInstalled->setSelectionMode(QAbstractItemView::NoSelection);
    for (int i = 0; i < m_browsers.GetSpecifiedCount(); ++i)
        m_lbSpecified->addItem(m_browsers.GetSpecifiedName(i));
    for (int i = 0; i < m_browsers.GetInstalledCount(); ++i)
        m_lbInstalled->addItem(m_browsers.GetInstalledName(i));
    UpdateData(false);
    return true;
}

void CWebBrowserDlg::OnBrowse() {
    UpdateData(true);
    FileDialogRequest request;
    request.mode = FileDialogRequest::Open;
    // Programs here have no extension, so all files come first.
    request.filter = QStringLiteral("All Files (*);;Web Browser (*.EXE *.exe)");
    const auto path = Prompts::instance().FileDialog(request);
    if (!path) return;
    m_strPath = *path;
    UpdateData(false);
}

void CWebBrowserDlg::OnDelete() {
    UpdateData(true);
    const int selected = m_lbSpecified->currentRow();
    if (selected < 0 || !m_lbSpecified->currentItem()->isSelected()) {
        AfxMessageBox(QStringLiteral("Please select a browser to delete!"));
        return;
    }
    if (m_browsers.DeleteSpecifiedBrowser(m_strSelected)) delete m_lbSpecified->takeItem(selected);
}

void CWebBrowserDlg::OnAdd() {
    UpdateData(true);
    if (m_strName.isEmpty() || m_strPath.isEmpty()) {
        AfxMessageBox(QStringLiteral("You must input the name and execute file's path for the "
                                     "specified web browser."));
        return;
    }
    if (m_browsers.AddSpecifiedBrowser(m_strPath, m_strName)) m_lbSpecified->addItem(m_strName);
}
