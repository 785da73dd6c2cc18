#pragma once

#include <QString>

#include <functional>
#include <memory>

namespace framework {

class CDocument;
class CFrameWnd;
class CView;

// Binds the one document class to its frame and view and carries the
// document type string: fields separated by newlines, as window title,
// default document name, file-new name, filter name, filter extension,
// file type identifier and file type name.
class CSingleDocTemplate {
public:
    using DocumentFactory = std::function<std::unique_ptr<CDocument>()>;
    using FrameFactory = std::function<std::unique_ptr<CFrameWnd>()>;
    using ViewFactory = std::function<CView*()>;

    CSingleDocTemplate(int resourceId, DocumentFactory document, FrameFactory frame,
                       ViewFactory view);
    ~CSingleDocTemplate();

    // New with an empty path, Open otherwise. The first call creates the
    // frame and view; if that first document fails they are destroyed again.
    // Null when the document could not be made or the user cancelled.
    CDocument* OpenDocumentFile(const QString& path);

    CDocument* Document() const { return m_pDocument.get(); }
    CFrameWnd* Frame() const { return m_pFrame.get(); }

    int ResourceId() const { return m_nResourceId; }
    QString DocString(int field) const;
    // For file dialogs, e.g. "Widgets (*.tvt);;All Files (*)".
    QString FileFilter() const;
    // With its dot, e.g. ".tvt".
    QString DefaultExtension() const;
    // The title of a document that has no file: new, or emptied by a failed Open.
    QString UntitledName() const;

    void AddToRecentFileList(const QString& path);

private:
    int m_nResourceId;
    DocumentFactory m_makeDocument;
    FrameFactory m_makeFrame;
    ViewFactory m_makeView;
    std::unique_ptr<CFrameWnd> m_pFrame;
    std::unique_ptr<CDocument> m_pDocument;
};

} // namespace framework
