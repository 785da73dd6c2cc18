#include "framework/DocTemplate.h"

#include "framework/Application.h"
#include "framework/Document.h"
#include "framework/FrameWindow.h"
#include "framework/StringTable.h"
#include "framework/View.h"

#include <QFileInfo>

namespace framework {

enum DocStringField { WindowTitle, DocName, FileNewName, FilterName, FilterExt };

CSingleDocTemplate::CSingleDocTemplate(int resourceId, DocumentFactory document, FrameFactory frame,
                                       ViewFactory view)
    : m_nResourceId(resourceId), m_makeDocument(std::move(document)), m_makeFrame(std::move(frame)),
      m_makeView(std::move(view)) {}

CSingleDocTemplate::~CSingleDocTemplate() {
    // The view refers to the document: windows go first.
    m_pFrame.reset();
    m_pDocument.reset();
}

QString CSingleDocTemplate::DocString(int field) const {
    return StringField(LoadString(m_nResourceId), field);
}

QString CSingleDocTemplate::DefaultExtension() const {
    return DocString(FilterExt).trimmed();
}

QString CSingleDocTemplate::FileFilter() const {
    QString name = DocString(FilterName).trimmed();
    // "Widgets File(*.tvt)" already names its pattern; Qt wants it in brackets.
    const QString pattern = "*" + DefaultExtension();
    if (!name.contains(pattern)) name += " (" + pattern + ")";
    return name + ";;All Files (*)";
}

QString CSingleDocTemplate::UntitledName() const {
    return DocString(DocName);
}

void CSingleDocTemplate::AddToRecentFileList(const QString& path) {
    if (CWinApp* app = AfxGetApp()) app->AddToRecentFileList(path);
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const QString& path) {
    const bool creating = !m_pFrame;
    if (creating) {
        m_pDocument = m_makeDocument();
        m_pDocument->m_pDocTemplate = this;
        m_pFrame = m_makeFrame();
        m_pFrame->AttachView(m_makeView(), m_pDocument.get());
    } else if (!m_pDocument->SaveModified()) {
        return nullptr;
    }

    bool ok;
    if (path.isEmpty()) {
        // Stays so when New fails: the document it replaced is gone.
        m_pDocument->SetTitle(UntitledName());
        ok = m_pDocument->OnNewDocument();
    } else {
        ok = m_pDocument->OnOpenDocument(path);
        if (ok) m_pDocument->SetPathName(path);
    }

    if (!ok) {
        if (creating) {
            m_pFrame.reset();
            m_pDocument.reset();
        }
        return nullptr;
    }
    if (creating) {
        if (CWinApp* app = AfxGetApp(); app && !app->m_pMainWnd) app->m_pMainWnd = m_pFrame.get();
        m_pFrame->InitialUpdateFrame();
    }
    return m_pDocument.get();
}

} // namespace framework
