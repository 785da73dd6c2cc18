#pragma once

#include "framework/CommandTarget.h"

#include <QObject>
#include <QString>

namespace framework {

class CSingleDocTemplate;

// The data half of the single-document host. Subclasses override the New,
// Open and Save steps; the document owns the modified flag, its path and
// title, and says when they change.
class CDocument : public QObject, public CCommandTarget {
    Q_OBJECT
public:
    CDocument();
    ~CDocument() override;

    virtual bool OnNewDocument();
    // Checks that the file can be read, then empties the document.
    virtual bool OnOpenDocument(const QString& path);
    virtual bool OnSaveDocument(const QString& path) = 0;
    virtual void DeleteContents() {}

    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool modified = true);
    QString GetPathName() const { return m_strPathName; }
    // Also names the document after the file and adds it to the recent files.
    void SetPathName(const QString& path, bool addToRecent = true);
    QString GetTitle() const { return m_strTitle; }
    void SetTitle(const QString& title);

    // Asks "Save changes to ...?" for a modified document; false when the
    // user cancelled or the save failed, so the caller must stop.
    bool SaveModified();
    // Save: Save As for a document without a path or with a read-only file.
    bool DoFileSave();
    // Save As when `path` is empty; `replace` makes the new file the document's own.
    bool DoSave(const QString& path, bool replace = true);

signals:
    void modifiedChanged(bool modified);
    void titleChanged(const QString& title);

private:
    friend class CSingleDocTemplate;
    CSingleDocTemplate* m_pDocTemplate = nullptr;
    QString m_strPathName;
    QString m_strTitle;
    bool m_bModified = false;
};

} // namespace framework
