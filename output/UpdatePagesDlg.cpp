#include "output/UpdatePagesDlg.h"

#include "framework/Application.h"
#include "framework/DataExchange.h"
#include "framework/Profile.h"
#include "framework/Prompts.h"
#include "output/publishing/HtmlCode.h"
#include "output/publishing/Page.h"
#include "widget/Tavolet.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>

using namespace framework;

namespace {

enum {
    IDC_PAGES = 1062,
    IDC_BEFORE = 1063,
    IDC_AFTER = 1064,
    IDC_COPY_SUPPORT_FILES = 1065,
    IDC_EXTENSIONS = 1067,
    IDC_LOOK_AGAIN = 1068,
};
enum Column { PagePath, Blocks, Encoding, Result };

const QString kCaption = QStringLiteral("Update Published Pages");
// The profile remembers the endings a user adds to .htm and .html.
const QString kSection = kCaption;
const QString kExtensionsEntry = QStringLiteral("Extensions");

DialogTemplate updatePagesTemplate() {
    using K = ControlKind;
    using S = ControlStyle;
    return {
        kCaption,
        {340, 246},
        {
            {K::Static, -1, QStringLiteral("Pages that hold this widget:"), {7, 7, 326, 10}},
            {K::ListView, IDC_PAGES, {}, {7, 19, 326, 110}},
            {K::Static, -1, QStringLiteral("A block now:"), {7, 134, 160, 10}},
            {K::RichEdit, IDC_BEFORE, {}, {7, 145, 160, 62}, S::ReadOnly | S::VScroll},
            {K::Static, -1, QStringLiteral("After Update:"), {173, 134, 160, 10}},
            {K::RichEdit, IDC_AFTER, {}, {173, 145, 160, 62}, S::ReadOnly | S::VScroll},
            {K::CheckBox,
             IDC_COPY_SUPPORT_FILES,
             QStringLiteral("Copy class,image and audio files into same directory automatically"),
             {7, 211, 326, 12}},
            {K::Static, -1, QStringLiteral("Also pa&ges ending in:"), {7, 230, 72, 10}},
            {K::Edit, IDC_EXTENSIONS, {}, {80, 227, 90, 14}},
            {K::PushButton, IDC_LOOK_AGAIN, QStringLiteral("&Look again"), {173, 227, 48, 14}},
            {K::PushButton, IDOK, QStringLiteral("Update"), {226, 227, 50, 14}, S::Default},
            {K::PushButton, IDCANCEL, QStringLiteral("Cancel"), {283, 227, 50, 14}},
        }};
}

// A progress bar with Cancel that shows only for work of over half a second.
class Progress {
public:
    Progress(const QString& label, int nSteps)
        : m_dialog(label, QStringLiteral("Cancel"), 0, nSteps, QApplication::activeWindow()) {
        m_dialog.setWindowTitle(kCaption);
        m_dialog.setWindowModality(Qt::ApplicationModal);
        m_dialog.setMinimumDuration(500);
    }
    // False when the user cancelled: the caller stops before the next step.
    bool Step(int nDone) {
        m_dialog.setValue(nDone);
        return !m_dialog.wasCanceled();
    }

private:
    QProgressDialog m_dialog;
};

} // namespace

CUpdatePagesDlg::CUpdatePagesDlg() : CDialog(updatePagesTemplate()) {
    OnSelChange(IDC_PAGES, &CUpdatePagesDlg::OnSelchangePages);
    OnButton(IDC_LOOK_AGAIN, &CUpdatePagesDlg::OnLookAgain);
}

void CUpdatePagesDlg::Run(CTavolet& tavolet) {
    const QString identity = tavolet.m_dispatch.WidgetIdentity();
    if (identity.isEmpty()) {
        AfxMessageBox(kCaption + " cannot find this widget's blocks.",
                      QStringLiteral("Its widget server does not mark the code it writes; use "
                                     "Update in the Insert into dialog, page by page."));
        return;
    }
    const auto folder =
        Prompts::instance().BrowseFolder(QStringLiteral("Choose the folder that holds your pages"));
    if (!folder) return;

    CUpdatePagesDlg dialog;
    dialog.m_pTavolet = &tavolet;
    dialog.m_strFolder = *folder;
    dialog.m_strIdentity = identity;
    if (CWinApp* app = AfxGetApp())
        dialog.m_strExtensions = app->GetProfile().GetProfileString(kSection, kExtensionsEntry);
    const int nLooked = dialog.scan();
    if (nLooked < 0) return;
    if (dialog.m_arrPages.isEmpty()) {
        QString reasons;
        for (const PageOutcome& skipped : std::as_const(dialog.m_arrSkipped))
            reasons += "\n" + skipped.strPath + ": " + skipped.strReason;
        AfxMessageBox("No page in " + *folder + " holds this widget.",
                      QStringLiteral("%1 page(s) looked at.").arg(nLooked) + reasons);
        return;
    }
    dialog.DoModal();
}

int CUpdatePagesDlg::scan() {
    m_arrPages.clear();
    m_arrSkipped.clear();
    m_nUnexamined = 0;
    const QStringList extensions =
        SiteUpdate::PageExtensions(m_strExtensions).value_or(*SiteUpdate::PageExtensions({}));
    // Counted first, for the progress bar: walking names costs little beside reading pages.
    int nPages = 0;
    for (SiteUpdate::PageFinder pages({m_strFolder}, extensions); !pages.Next().strPath.isEmpty();)
        ++nPages;
    Progress progress(QStringLiteral("Looking for the pages that hold this widget..."), nPages);
    SiteUpdate::PageFinder pages({m_strFolder}, extensions);
    int nLooked = 0;
    for (SiteUpdate::FoundPage found = pages.Next(); !found.strPath.isEmpty();
         found = pages.Next()) {
        if (!progress.Step(std::min(nLooked++, nPages))) return -1;
        QString skipped = found.strProblem;
        if (!skipped.isEmpty()) ++m_nUnexamined;
        if (skipped.isEmpty()) {
            if (auto page = SiteUpdate::ScanPage(found.strPath, m_strIdentity, &skipped)) {
                m_arrPages << *page;
                continue;
            }
        }
        if (!skipped.isEmpty())
            m_arrSkipped << PageOutcome{found.strPath, PageOutcome::Skipped, skipped};
    }
    progress.Step(nPages);
    return nLooked;
}

void CUpdatePagesDlg::OnLookAgain() {
    const QString extensions = Item<QLineEdit>(IDC_EXTENSIONS)->text();
    QString why;
    if (!SiteUpdate::PageExtensions(extensions, &why)) {
        AfxMessageBox(QStringLiteral("These are no file name endings."),
                      why + ". Give endings such as: php, tpl");
        return;
    }
    m_strExtensions = extensions;
    if (CWinApp* app = AfxGetApp())
        app->GetProfile().WriteProfileString(kSection, kExtensionsEntry, m_strExtensions);
    if (scan() < 0) return;
    fillList();
}

void CUpdatePagesDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_PAGES, m_listPages);
    DDX_Check(pDX, IDC_COPY_SUPPORT_FILES, m_bCopySupportFiles);
    DDX_Text(pDX, IDC_EXTENSIONS, m_strExtensions);
}

bool CUpdatePagesDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_listPages->setHeaderLabels({QStringLiteral("Page"), QStringLiteral("Blocks"),
                                  QStringLiteral("Encoding"), QStringLiteral("Result")});
    m_listPages->setRootIsDecorated(false);
    m_listPages->setSelectionMode(QAbstractItemView::SingleSelection);
    fillList();
    m_listPages->setColumnWidth(PagePath, m_listPages->width() / 2);
    UpdateData(false);
    return true;
}

void CUpdatePagesDlg::fillList() {
    m_listPages->clear();
    m_arrOutcomes.clear();
    const QDir folder(m_strFolder);
    for (const PublishedPage& page : std::as_const(m_arrPages)) {
        auto* item = new QTreeWidgetItem(m_listPages, {folder.relativeFilePath(page.strPath),
                                                       QString::number(page.blocks.size()),
                                                       page.strEncoding, QString()});
        item->setCheckState(PagePath, Qt::Checked);
    }
    // Pages passed over are named too, with why, and cannot be ticked.
    for (const PageOutcome& skipped : std::as_const(m_arrSkipped)) {
        auto* item = new QTreeWidgetItem(
            m_listPages, {folder.relativeFilePath(skipped.strPath), {}, {}, skipped.Text()});
        item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
    }
    if (m_listPages->topLevelItemCount() > 0)
        m_listPages->setCurrentItem(m_listPages->topLevelItem(0));
    OnSelchangePages();
}

void CUpdatePagesDlg::OnSelchangePages() {
    const int row = m_listPages->indexOfTopLevelItem(m_listPages->currentItem());
    QString before, after;
    if (row >= 0 && row < m_arrPages.size()) {
        Page page;
        QString error;
        if (page.Load(m_arrPages[row].strPath, LineEnds::AsTheyAre, &error)) {
            for (const MarkedBlock& block : page.Blocks().blocks)
                if (block.identity == m_strIdentity) {
                    const QByteArray text =
                        page.EditorText().sliced(block.begin, block.end - block.begin);
                    before = page.Text().mode == PageText::Bytes ? QString::fromLatin1(text)
                                                                 : QString::fromUtf8(text);
                    break;
                }
        } else {
            before = error;
        }
        after = MarkedBlockText(m_pTavolet->m_dispatch.CodePartText(0, 1));
    }
    Item<QPlainTextEdit>(IDC_BEFORE)->setPlainText(before);
    Item<QPlainTextEdit>(IDC_AFTER)->setPlainText(after);
}

void CUpdatePagesDlg::showOutcome(int nRow, const PageOutcome& outcome) {
    QTreeWidgetItem* item = m_listPages->topLevelItem(nRow);
    item->setText(Result, outcome.Text());
    if (outcome.kind == PageOutcome::Updated || outcome.kind == PageOutcome::Current)
        item->setCheckState(PagePath, Qt::Unchecked);
}

void CUpdatePagesDlg::OnOK() {
    if (!UpdateData(true)) return;
    const QString code = m_pTavolet->m_dispatch.CodePartText(0, 1);
    m_arrOutcomes.clear();
    QList<int> ticked;
    for (int row = 0; row < m_arrPages.size(); ++row)
        if (m_listPages->topLevelItem(row)->checkState(PagePath) == Qt::Checked) ticked << row;
    Progress progress(QStringLiteral("Updating the pages..."), int(ticked.size()));
    SiteUpdate::Updater updater(*m_pTavolet, m_strIdentity, code, m_bCopySupportFiles);
    int done = 0;
    for (int row : std::as_const(ticked)) {
        // Between pages only: each page is wholly old or wholly new.
        if (!progress.Step(done++)) break;
        const PageOutcome outcome = updater.Update(m_arrPages[row], m_strFolder);
        m_arrOutcomes << outcome;
        showOutcome(row, outcome);
    }
    progress.Step(int(ticked.size()));
    const auto count = [&](PageOutcome::Kind kind) {
        return std::count_if(m_arrOutcomes.cbegin(), m_arrOutcomes.cend(),
                             [kind](const PageOutcome& o) { return o.kind == kind; });
    };
    // Nothing is called done that was not written; the list says page by page.
    Item<QPushButton>(IDCANCEL)->setText(QStringLiteral("Close"));
    QString summary = QStringLiteral("%1 page(s) updated, %2 skipped, %3 failed, %4 not reached.")
                          .arg(count(PageOutcome::Updated))
                          .arg(count(PageOutcome::Skipped))
                          .arg(count(PageOutcome::Failed))
                          .arg(ticked.size() - m_arrOutcomes.size());
    if (const auto current = count(PageOutcome::Current))
        summary += QStringLiteral(" %1 page(s) already current, not written.").arg(current);
    if (m_nUnexamined > 0)
        summary += QStringLiteral(" %1 page(s) or folder(s) could not be examined; the list names "
                                  "them.")
                       .arg(m_nUnexamined);
    AfxMessageBox(summary);
}
