#include "output/InsertIntoPageDlg.h"

#include "framework/DataExchange.h"
#include "output/PageEditor.h"
#include "output/Preview.h"
#include "output/publishing/HtmlCode.h"
#include "output/publishing/Page.h"
#include "output/publishing/PreviewFiles.h"
#include "widget/Tavolet.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

using namespace framework;

namespace {

enum {
    IDC_PAGE = 1030,
    IDC_INSERT = 1031,
    IDC_UNDO = 1032,
    IDC_COPY_SUPPORT_FILES = 1034,
    IDC_UPDATE = 1060,
    IDC_BLOCKS = 1061,
    IDC_PREVIEW = 1066,
};

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
            {K::PushButton, IDC_UPDATE, QStringLiteral("Update"), {279, 125, 50, 17}},
            {K::PushButton, IDC_PREVIEW, QStringLiteral("Preview"), {279, 148, 50, 17}},
            {K::Static, IDC_BLOCKS, {}, {279, 171, 50, 52}},
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
    OnButton(IDC_UPDATE, &CInsertIntoPageDlg::OnUpdate);
    OnButton(IDC_PREVIEW, &CInsertIntoPageDlg::OnPreview);
}

void CInsertIntoPageDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_UNDO, m_btnUndo);
    DDX_Control(pDX, IDC_PAGE, m_editPage);
    if (pDX->m_bSaveAndValidate)
        m_page.EditorText() = m_editPage->PageBytes();
    else
        m_editPage->SetPageBytes(m_page.EditorText(), m_page.Text().mode != PageText::Bytes);
    DDX_Check(pDX, IDC_COPY_SUPPORT_FILES, m_bCopySupportFiles);
}

bool CInsertIntoPageDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (!LoadPage()) return true;
    // Said now, before the user does the work that could not be saved.
    const QFileInfo page(m_strPagePath);
    const bool writable =
        page.exists() ? page.isWritable() : QFileInfo(page.absolutePath()).isWritable();
    SetWindowText("Insert into " + m_strPagePath +
                  (writable ? QString() : QStringLiteral(" (read-only: OK cannot write it)")));
    m_bCopySupportFiles = true;
    m_btnUndo->setEnabled(false);
    showBlocks(m_page.Blocks());
    UpdateData(false);
    // The box holds the page now; a large page is not kept twice.
    m_page.EditorText().clear();
    m_editPage->setFocus();
    return false;
}

bool CInsertIntoPageDlg::LoadPage() {
    QString error;
    if (m_page.Load(m_strPagePath, LineEnds::CrLf, &error)) return true;
    if (!QFileInfo::exists(m_strPagePath)) {
        AfxMessageBox("Open " + m_strPagePath + " Failure!",
                      QStringLiteral("The page does not exist yet: OK creates it."));
        // Made from the box, support files and all.
        m_page.Create(m_strPagePath);
        return true;
    }
    // A page that exists but cannot be read must not be replaced by the box.
    AfxMessageBox("Open " + m_strPagePath + " Failure!", error);
    refuseOk();
    return false;
}

void CInsertIntoPageDlg::showBlocks(const BlockScan& scan) {
    const QString identity = m_pTavolet->m_dispatch.WidgetIdentity();
    const auto own =
        std::count_if(scan.blocks.cbegin(), scan.blocks.cend(), [&](const MarkedBlock& b) {
            return !identity.isEmpty() && b.identity == identity;
        });
    QString text;
    if (!scan.problem.isEmpty())
        text = "Its markers cannot be trusted: " + scan.problem + ".";
    else if (!scan.blocks.isEmpty())
        text = QStringLiteral("%1 marked block(s), %2 of this widget.")
                   .arg(scan.blocks.size())
                   .arg(own);
    Item<QLabel>(IDC_BLOCKS)->setText(text);
    GetDlgItem(IDC_UPDATE)->setEnabled(scan.problem.isEmpty() && !scan.blocks.isEmpty());
}

void CInsertIntoPageDlg::refuseOk() {
    for (int id : {int(IDOK), int(IDC_INSERT), int(IDC_UPDATE)})
        if (QWidget* button = GetDlgItem(id)) button->setEnabled(false);
}

void CInsertIntoPageDlg::OnOK() {
    if (!UpdateData(true)) return;
    if (QString why; !m_page.UnchangedOnDisk(&why) && !resolveChangeOnDisk(why)) {
        m_page.EditorText().clear();
        return;
    }
    QString reason;
    if (PublishPage(*m_pTavolet, m_page, m_bCopySupportFiles, &reason) ==
        platform::Replaced::Written)
        return EndDialog(IDOK);
    m_page.EditorText().clear();
    // The box keeps the user's work: fix the cause and press OK again, or cancel.
    AfxMessageBox("Write " + m_strPagePath + " Failure!", reason);
}

bool CInsertIntoPageDlg::resolveChangeOnDisk(const QString& why) {
    const int answer = AfxMessageBox(
        m_strPagePath + " changed on disk while this dialog was open (" + why +
            ").\n\nYes: read it again and put your insertions back in, to look at before OK.\n"
            "No: overwrite it with the text here.\nCancel: go back.",
        MessageButtons::YesNoCancel);
    if (answer == IDYES) reloadKeepingInsertions();
    if (answer != IDNO) return false;
    QString error;
    if (m_page.TakeDiskState(&error)) return true;
    AfxMessageBox("Write " + m_strPagePath + " Failure!", error);
    return false;
}

void CInsertIntoPageDlg::reloadKeepingInsertions() {
    if (!LoadPage()) return;
    QByteArray& text = m_page.EditorText();
    QStringList lost;
    for (const Inserted& inserted : std::as_const(m_arrInserted)) {
        qsizetype start = 0;
        for (qsizetype line = 0; line < inserted.nLine && start < text.size(); ++line) {
            const qsizetype end = text.indexOf('\n', start);
            start = end < 0 ? text.size() : end + 1;
        }
        qsizetype lineEnd = text.indexOf('\n', start);
        lineEnd = lineEnd < 0 ? text.size() : lineEnd - (text.sliced(0, lineEnd).endsWith('\r'));
        const Insertion place =
            PlaceBlock(m_page.Text(), text,
                       {InsertionPoint::Offset, std::min(start + inserted.nColumn, lineEnd), {}},
                       inserted.block);
        if (place.problem.isEmpty())
            text.insert(place.offset, inserted.block);
        else
            lost << QStringLiteral("line %1: %2").arg(inserted.nLine + 1).arg(place.problem);
    }
    showBlocks(m_page.Blocks());
    UpdateData(false);
    text.clear();
    m_btnUndo->setEnabled(false);
    if (!lost.isEmpty())
        AfxMessageBox(QStringLiteral("Some insertions could not be put back."),
                      lost.join(QLatin1Char('\n')));
}

void CInsertIntoPageDlg::OnInsert() {
    const QString code = m_pTavolet->m_dispatch.CodePartText(0, m_nCodeMode);
    const QByteArray block = EditorTextOf(m_page.Text(), MarkedBlockText(code));
    const QByteArray text = m_editPage->PageBytes();
    const Insertion place = PlaceBlock(
        m_page.Text(), text, {InsertionPoint::Offset, m_editPage->CaretPosition(), {}}, block);
    if (!place.problem.isEmpty()) {
        AfxMessageBox(QStringLiteral("The widget cannot be inserted there."),
                      place.problem + ". Move the caret and press Insert again.");
        return;
    }
    if (place.offset != m_editPage->CaretPosition()) m_editPage->Select(place.offset, place.offset);
    m_editPage->ReplaceSelection(block);
    const qsizetype lineStart = text.lastIndexOf('\n', place.offset - 1) + 1;
    m_arrInserted << Inserted{text.first(lineStart).count('\n'), place.offset - lineStart, block};
    m_bUndoTakesInsertion = true;
    m_btnUndo->setEnabled(true);
}

void CInsertIntoPageDlg::OnUpdate() {
    const QByteArray text = m_editPage->PageBytes();
    const BlockScan scan = FindMarkedBlocks(text);
    showBlocks(scan);
    if (!scan.problem.isEmpty()) {
        AfxMessageBox(QStringLiteral("Update Failure!"), scan.problem + "; nothing is changed.");
        return;
    }
    // The block the caret is in, else every block of this widget.
    const qint64 caret = m_editPage->CaretPosition();
    const QString identity = m_pTavolet->m_dispatch.WidgetIdentity();
    QList<MarkedBlock> chosen;
    for (const MarkedBlock& block : scan.blocks)
        if (block.contains(caret)) chosen = {block};
    if (chosen.isEmpty() && !identity.isEmpty())
        for (const MarkedBlock& block : scan.blocks)
            if (block.identity == identity) chosen << block;
    if (chosen.isEmpty()) {
        AfxMessageBox(QStringLiteral("No block of this widget is marked in the page."),
                      QStringLiteral("Put the caret inside the block to update and press Update."));
        return;
    }
    // One change from the first chosen block to the last, so one Undo takes it back.
    const QString code = m_pTavolet->m_dispatch.CodePartText(0, m_nCodeMode);
    const QByteArray updated =
        WithBlocksReplaced(text, chosen, EditorTextOf(m_page.Text(), MarkedBlockText(code)));
    const qsizetype from = chosen.first().begin, tail = text.size() - chosen.last().end;
    m_editPage->Select(from, chosen.last().end);
    m_editPage->ReplaceSelection(updated.sliced(from, updated.size() - tail - from));
    m_bUndoTakesInsertion = false;
    m_btnUndo->setEnabled(true);
    showBlocks(FindMarkedBlocks(m_editPage->PageBytes()));
}

void CInsertIntoPageDlg::OnPreview() {
    QString error;
    const QString preview = WritePagePreview(m_page, m_editPage->PageBytes(), &error);
    if (preview.isEmpty()) {
        AfxMessageBox("Cannot write the preview of " + m_strPagePath, error);
        return;
    }
    OpenInPreviewBrowser(preview);
}

void CInsertIntoPageDlg::OnUndo() {
    m_editPage->Undo();
    if (m_bUndoTakesInsertion && !m_arrInserted.isEmpty()) m_arrInserted.removeLast();
    m_bUndoTakesInsertion = false;
    m_btnUndo->setEnabled(false);
}
