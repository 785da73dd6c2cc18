#include "supportfiles/SupportFilesDlg.h"

#include "framework/DataExchange.h"
#include "framework/Prompts.h"
#include "platform/Paths.h"
#include "platform/SafeFile.h"
#include "widget/Tavolet.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QRegularExpression>
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

// Where a support file goes in `folder`: at its web path when that is a
// plain relative path staying inside the folder, so that a page in the
// folder finds it where its code looks; else under its own name. Empty when
// neither stays inside (names and paths come from widget files users exchange).
QString supportFileTarget(const QString& folder, const QString& name, QString webPath) {
    webPath.replace(QLatin1Char('\\'), QLatin1Char('/'));
    static const QRegularExpression notAPlainPath(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:|[?#]"));
    if (!notAPlainPath.match(webPath).hasMatch() && platform::StaysInsideFolder(webPath) &&
        !webPath.endsWith(QLatin1Char('/')))
        return folder + "/" + webPath;
    if (platform::IsPlainFileName(name)) return folder + "/" + name;
    return {};
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

    TavoletDispatch& widget = m_pTavolet->m_dispatch;
    for (int i = 0; i < widget.SupportFileCount(); ++i) {
        const QStringList row{widget.SupportFileName(i), widget.SupportFileSource(i),
                              widget.SupportFileWebPath(i)};
        // Only the first row of a name is compared, as the list finds it.
        const auto same = m_listFiles->findItems(row[FileName], Qt::MatchFixedString, FileName);
        if (!same.isEmpty() && same.first()->text(SourcePath) == row[SourcePath] &&
            same.first()->text(WebPath) == row[WebPath])
            continue;
        auto* item = new QTreeWidgetItem(m_listFiles, row);
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
    QStringList failed;
    for (int row = 0; row < m_listFiles->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = m_listFiles->topLevelItem(row);
        if (!item->isSelected()) continue;
        const QString name = item->text(FileName);
        const QString target = supportFileTarget(*folder, name, item->text(WebPath));
        if (target.isEmpty()) {
            failed << name + " (it would be placed outside the folder)";
            continue;
        }
        // The name is joined to the source folder too: it must not lead out of that.
        if (!platform::IsPlainFileName(name)) {
            failed << name + " (its name leads outside its source folder)";
            continue;
        }
        QString error;
        if (!QDir().mkpath(QFileInfo(target).absolutePath()))
            error = "cannot make the folder " + QFileInfo(target).absolutePath();
        else
            platform::CopyFileSafely(item->text(SourcePath) + name, target, &error);
        if (!error.isEmpty()) failed << name + " (" + error + ")";
    }
    // A copy that failed is no success, whatever the others did.
    if (!failed.isEmpty()) {
        framework::AfxMessageBox("Copy support files to " + *folder +
                                 " failure! Not copied: " + failed.join(QStringLiteral(", ")));
        return;
    }
    framework::AfxMessageBox("Copy support files to " + *folder + " success!");
}
