#include "output/VellwickToolView.h"

#include "controls/ColorStatic.h"
#include "framework/Application.h"
#include "framework/BitmapButton.h"
#include "framework/DataExchange.h"
#include "framework/FrameWindow.h"
#include "framework/Profile.h"
#include "output/HtmlCodeDlg.h"
#include "output/InsertIntoPageDlg.h"
#include "output/InsertNoticeDlg.h"
#include "output/Preview.h"
#include "output/UpdatePagesDlg.h"
#include "output/publishing/HtmlCode.h"
#include "output/publishing/PreviewFiles.h"
#include "platform/Shell.h"
#include "res/Resource.h"
#include "templates/RenameWidgetDlg.h"
#include "widget/VellwickToolDoc.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>

using namespace framework;

namespace {

enum {
    IDC_NEW = 1021,
    IDC_OPEN = 1022,
    IDC_CONFIGURE = 1023,
    IDC_COPY_CODE = 1024,
    IDC_NEW_PAGE = 1025,
    IDC_INSERT_INTO = 1026,
    IDC_MORE_INFO = 1028,
    IDC_CLIPBOARD = 1029,
    IDC_TIP1 = 1046,
    IDC_TIP6 = 1051,
};

const QColor kFormColor(178, 178, 201);

DialogTemplate formTemplate() {
    using K = ControlKind;
    using S = ControlStyle;
    const auto tip = [](int id, const char* text, QRect rc) {
        return ControlTemplate{K::Custom, id, QString::fromLatin1(text),     rc,
                               S::None,   0,  QStringLiteral("CColorStatic")};
    };
    const auto picture = [](int image, QRect rc) {
        return ControlTemplate{K::Picture, -1, {}, rc, S::None, image};
    };
    const auto rule = [](QRect rc) {
        return ControlTemplate{K::HorizontalRule, -1, {}, rc, S::Sunken};
    };
    const auto button = [](int id, const char* text, QRect rc) {
        return ControlTemplate{K::BitmapButton, id, QString::fromLatin1(text), rc};
    };
    return {{},
            {300, 212},
            {
                rule({0, 0, 300, 1}),
                picture(IDB_STEP1, {5, 4, 133, 15}),
                tip(1046,
                    "You can create a new Glimmerkey from the pre-made templates or open a "
                    "previous saved Glimmerkey.",
                    {21, 22, 184, 34}),
                button(IDC_NEW, "New...", {224, 6, 58, 17}),
                button(IDC_OPEN, "Open...", {224, 31, 58, 17}),
                rule({8, 56, 280, 1}),
                picture(IDB_STEP2, {6, 60, 0, 0}),
                tip(1047, "Configure the Glimmerkey to meet your requirements.", {22, 78, 192, 21}),
                button(IDC_CONFIGURE, "Configure...", {224, 72, 58, 17}),
                rule({8, 101, 280, 1}),
                picture(IDB_STEP3, {6, 105, 160, 15}),
                tip(1048, "You can use one of these methods:", {23, 122, 199, 15}),
                tip(1049, "1. Copy HTML code and paste into web page later.", {23, 138, 202, 15}),
                tip(1050, "2. Create a web page which only contains the Glimmerkey.",
                    {23, 154, 201, 15}),
                tip(1051, "3. Open an existing web page and insert Glimmerkey into it.",
                    {23, 170, 201, 15}),
                button(IDC_COPY_CODE, "Copy Code...", {225, 115, 58, 17}),
                button(IDC_NEW_PAGE, "New Page...", {225, 148, 58, 17}),
                button(IDC_INSERT_INTO, "Insert into...", {225, 181, 58, 17}),
                button(IDC_MORE_INFO, "More Information...", {24, 185, 54, 15}),
                {K::Edit, IDC_CLIPBOARD, {}, {139, 191, 68, 12}, S::AutoScroll | S::Hidden},
                rule({0, 210, 300, 1}),
            }};
}

// Save and open dialogs of the page commands.
const QString kPageFilter = QStringLiteral("HTML Files (*.htm *.html);;All Files (*)");

void sendToMainWindow(int id) {
    if (CFrameWnd* frame = AfxGetMainWnd()) frame->SendCommand(id);
}

} // namespace

CVellwickToolView::CVellwickToolView() : CColorFormView(formTemplate()) {
    OnCommand(ID_CONFIGURE, [this] { OnConfigure(); });
    // Every command on the widget greys, on the form too, while there is none.
    for (int id : {int(ID_CONFIGURE), int(IDC_CONFIGURE), int(ID_RENAME_WIDGET), int(IDC_COPY_CODE),
                   int(IDC_NEW_PAGE), int(IDC_INSERT_INTO), int(ID_PREVIEW_IN_BROWSER),
                   int(ID_PREVIEW_WITH), int(ID_UPDATE_PAGES)})
        OnUpdateCommand(
            id, [this](CCmdUI& ui) { ui.Enable(GetDocument() && GetDocument()->HasWidget()); });
    OnCommand(IDC_NEW, [] { sendToMainWindow(ID_FILE_NEW); });
    OnCommand(IDC_OPEN, [] { sendToMainWindow(ID_FILE_OPEN); });
    OnCommand(IDC_CONFIGURE, [] { sendToMainWindow(ID_CONFIGURE); });
    OnCommand(IDC_MORE_INFO, [this] { OnMoreInformation(); });
    OnCommand(ID_RENAME_WIDGET, [this] { OnRenameWidget(); });
    OnCommand(IDC_COPY_CODE, [this] { OnCopyCode(); });
    OnCommand(IDC_NEW_PAGE, [this] { OnNewPage(); });
    OnCommand(IDC_INSERT_INTO, [this] { OnInsertInto(); });
    OnCommand(ID_PREVIEW_IN_BROWSER, [this] { OnPreviewInBrowser(); });
    OnCommand(ID_UPDATE_PAGES, [this] {
        if (GetDocument()->HasWidget()) CUpdatePagesDlg::Run(*GetDocument()->m_pTavolet);
    });
}

CVellwickToolDoc* CVellwickToolView::GetDocument() const {
    return static_cast<CVellwickToolDoc*>(CView::GetDocument());
}

void CVellwickToolView::DoDataExchange(CDataExchange* pDX) {
    for (int i = 0; i < int(m_tipTexts.size()); ++i)
        DDX_Control(pDX, IDC_TIP6 - i, m_tipTexts[i]);
    DDX_Control(pDX, IDC_CLIPBOARD, m_editClipboard);
    DDX_Control(pDX, IDC_OPEN, m_btnOpen);
    DDX_Control(pDX, IDC_NEW_PAGE, m_btnNewPage);
    DDX_Control(pDX, IDC_NEW, m_btnNew);
    DDX_Control(pDX, IDC_MORE_INFO, m_btnMoreInfo);
    DDX_Control(pDX, IDC_INSERT_INTO, m_btnInsertInto);
    DDX_Control(pDX, IDC_CONFIGURE, m_btnConfigure);
    DDX_Control(pDX, IDC_COPY_CODE, m_btnCopyCode);
}

void CVellwickToolView::OnInitialUpdate() {
    CColorFormView::OnInitialUpdate();
    const std::pair<CBitmapButton*, std::pair<int, int>> faces[] = {
        {m_btnNew, {IDB_NEW, IDB_NEW_DOWN}},
        {m_btnOpen, {IDB_OPEN, IDB_OPEN_DOWN}},
        {m_btnConfigure, {IDB_CONFIGURE, IDB_CONFIGURE_DOWN}},
        {m_btnCopyCode, {IDB_COPYCODE, IDB_COPYCODE_DOWN}},
        {m_btnNewPage, {IDB_NEWPAGE, IDB_NEWPAGE_DOWN}},
        {m_btnInsertInto, {IDB_INSERTINTO, IDB_INSERTINTO_DOWN}},
        {m_btnMoreInfo, {IDB_MOREINFO, IDB_MOREINFO_DOWN}},
    };
    for (const auto& [button, ids] : faces) {
        button->LoadBitmaps(ids.first, ids.second);
        button->SizeToContent();
    }
    for (int id = IDC_TIP1; id <= IDC_TIP6; ++id)
        m_tipTexts[IDC_TIP6 - id]->SetBkColor(kFormColor);
    SetBackgroundColor(kFormColor);
    if (auto* frame = qobject_cast<CFrameWnd*>(window())) frame->ShrinkToFitView(sizeHint());
}

void CVellwickToolView::OnConfigure() {
    CVellwickToolDoc* document = GetDocument();
    if (!document->HasWidget()) return;
    if (document->m_pTavolet->m_dispatch.Configure()) document->SetModifiedFlag(true);
}

void CVellwickToolView::OnRenameWidget() {
    CVellwickToolDoc* document = GetDocument();
    if (!document->HasWidget()) return;
    TavoletDispatch& widget = document->m_pTavolet->m_dispatch;
    CRenameWidgetDlg dialog;
    dialog.m_strName = widget.Name();
    dialog.m_strDescription = widget.Description();
    if (dialog.DoModal() != IDOK) return;
    widget.SetName(dialog.m_strName);
    widget.SetDescription(dialog.m_strDescription);
    document->SetModifiedFlag(true);
}

void CVellwickToolView::OnMoreInformation() {
    // 43 itself: this topic is not offset like command help.
    if (CFrameWnd* frame = AfxGetMainWnd()) frame->WinHelp(HID_MORE_INFORMATION);
}

void CVellwickToolView::PutTextOnClipboard(const QString& strText) {
    // Nothing to copy leaves the clipboard as it was.
    if (strText.isEmpty()) return;
    QGuiApplication::clipboard()->setText(strText);
}

void CVellwickToolView::OnCopyCode() {
    CVellwickToolDoc* document = GetDocument();
    if (!document->HasWidget()) return;
    const CodeParts parts = CollectCodeParts(*document->m_pTavolet);
    PutTextOnClipboard(parts.cursor);
    document->OnCodePublished();
    CHtmlCodeDlg dialog;
    dialog.m_strCode = parts.cursor;
    dialog.DoModal();
}

void CVellwickToolView::OnNewPage() {
    CVellwickToolDoc* document = GetDocument();
    if (!document->HasWidget()) return;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Save;
    request.filter = kPageFilter;
    request.defaultSuffix = QStringLiteral("htm");
    const auto page = Prompts::instance().FileDialog(request);
    if (!page) return;
    QString error;
    if (!WriteNewPage(*document->m_pTavolet, *page, &error)) {
        AfxMessageBox(QStringLiteral("Create HTML File Failure!"), error);
        return;
    }
    document->OnCodePublished();
    AfxMessageBox("You have saved Glimmerkey into " + *page + " successfully!");
}

void CVellwickToolView::OnInsertInto() {
    CVellwickToolDoc* document = GetDocument();
    if (!document->HasWidget()) return;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Open;
    request.filter = kPageFilter;
    request.mustExist = false; // a page that does not exist yet is made
    const auto page = Prompts::instance().FileDialog(request);
    if (!page) return;

    CInsertNoticeDlg notice;
    if (notice.DoModal() == IDOK && notice.m_bUseEditor && startEditor(*page)) return;

    CInsertIntoPageDlg dialog;
    dialog.m_pTavolet = document->m_pTavolet.get();
    dialog.m_strPagePath = *page;
    dialog.m_nCodeMode = 1;
    if (dialog.DoModal() == IDOK) document->OnCodePublished();
}

// True when the editor took over, or the user went for its download page;
// false to go on with the built-in dialog.
bool CVellwickToolView::startEditor(const QString& strPage) {
    CVellwickToolDoc* document = GetDocument();
    if (document->IsModified()) {
        if (AfxMessageBox(
                QStringLiteral("You must save your Glimmerkey before using Vellwick,Save it?"),
                MessageButtons::OkCancel) != IDOK)
            return true;
        sendToMainWindow(ID_FILE_SAVE);
    }
    // The page path is one argument, never read by a shell.
    for (const QString& name : HtmlEditorNames())
        if (platform::Shell::instance().StartProgram(name, {strPage})) return true;
    if (AfxMessageBox(QStringLiteral("Can't find Vellwick.exe, Download it?"),
                      MessageButtons::OkCancel) != IDOK)
        return false;
    OpenOrSay(QString::fromLatin1(kEditorDownloadUrl));
    return true;
}

// The preview page's path, or empty after saying why there is none.
QString CVellwickToolView::writePreview() {
    QString error;
    QString page = WritePreviewPage(*GetDocument()->m_pTavolet, &error);
    if (page.isEmpty())
        AfxMessageBox("Cannot write the preview page into " + ScratchFolder(), error);
    return page;
}

void CVellwickToolView::OnPreviewInBrowser() {
    if (!GetDocument()->HasWidget()) return;
    if (const QString page = writePreview(); !page.isEmpty()) OpenInPreviewBrowser(page);
}

void CVellwickToolView::OnPreviewWith(const PreviewBrowser& browser) {
    if (!GetDocument()->HasWidget()) return;
    // Settings that cannot be written still let this preview go ahead.
    if (!RememberPreviewBrowser(AfxGetApp()->GetProfile(), browser))
        AfxMessageBox("Cannot keep " + browser.name + " as the browser for previews",
                      QStringLiteral("Your settings could not be written."));
    if (const QString page = writePreview(); !page.isEmpty()) OpenInBrowser(browser, page);
}
