#include "supportfiles/SupportFilesDlg.h"

#include "framework/DataExchange.h"
#include "framework/Prompts.h"
#include "supportfiles/SupportFileCopy.h"
#include "widget/Tavolet.h"

#include <QHeaderView>
#include <QTreeWidget>

using namespace framework;

namespace {

enum { IDC_FILES = 1035, IDC_COPY_TO = 1037 };
enum Column { FileName, SourcePath, WebPath };

DialogTemplate supportFilesTemplate() {
    using K = ControlKind;
    using S = ControlStyle;
    return {QStringLiteral("Support Files"),
            {286, 148},
            {
                {K::Static,
                 -1,
                 QStringLiteral("Your Glimmerkey has used these image,audio and class files:"),
                 {7, 7, 272, 9}},
                {K::ListView, IDC_FILES, {}, {7, 19, 272, 104}, S::MultipleSelection},
                {K::PushButton, IDOK, QStringLiteral("OK"), {78, 128, 48, 15}, S::Default},
                {K::PushButton, IDC_COPY_TO, QStringLiteral("Copy to..."), {159, 128, 48, 15}},
            }};
}

} // namespace

CSupportFilesDlg::CSupportFilesDlg() : CDialog(supportFilesTemplate()) {
    OnButton(IDC_COPY_TO, &CSupportFilesDlg::OnCopyTo);
}

void CSupportFilesDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_FILES, m_listFiles);
}

bool CSupportFilesDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_listFiles->setHeaderLabels({QStringLiteral("File Name"), QStringLiteral("Source File Path"),
                                  QStringLiteral("Web Path")});
    const QFontMetrics metrics(m_listFiles->font());
    const int extra[] = {50, 140, 120};
    for (int column = 0; column < 3; ++column)
        m_listFiles->setColumnWidth(
            column,
            metrics.horizontalAdvance(m_listFiles->headerItem()->text(column)) + extra[column]);

    for (const SupportFileRow& row : ListSupportFiles(m_pTavolet->m_dispatch)) {
        auto* item = new QTreeWidgetItem(m_listFiles, {row.strName, row.strSource, row.strWebPath});
        item->setSelected(true);
    }
    return true;
}

void CSupportFilesDlg::OnCopyTo() {
    const auto folder =
        framework::Prompts::instance().BrowseFolder(QStringLiteral("Choose a directory"));
    if (!folder) return;
    const QList<QTreeWidgetItem*> selected = m_listFiles->selectedItems();
    if (selected.isEmpty()) {
        framework::AfxMessageBox(QStringLiteral("Please select files to copy."));
        return;
    }
    QList<SupportFileRow> rows;
    for (int row = 0; row < m_listFiles->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = m_listFiles->topLevelItem(row);
        if (item->isSelected())
            rows << SupportFileRow{item->text(FileName), item->text(SourcePath),
                                   item->text(WebPath)};
    }
    framework::AfxMessageBox(CopySupportFilesReport(*folder, CopySupportFiles(rows, *folder)));
}
