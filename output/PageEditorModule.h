#pragma once

#include <QByteArray>

class QWidget;

// The contract between the program and the page box module, which carries
// the text editor component and is loaded only when a page is first opened
// for inserting, so that starting the program does not pay for it.
class IPageEditor {
public:
    virtual ~IPageEditor() = default;
    // The editor itself, a child of the parent it was made for.
    virtual QWidget* Widget() = 0;
    virtual void SetPageBytes(const QByteArray& bytes, bool bUtf8) = 0;
    virtual QByteArray PageBytes() const = 0;
    virtual void ReplaceSelection(const QByteArray& bytes) = 0;
    virtual void Undo() = 0;
    // Byte offsets into PageBytes().
    virtual qint64 CaretPosition() const = 0;
    virtual void Select(qint64 from, qint64 to) = 0;
};

// The module's entry points, looked up by these names: the contract version
// it was built for, which must equal ours, and the factory.
#define GLIMMERKEY_PAGE_EDITOR_VERSION "PageEditorContractVersion"
#define GLIMMERKEY_PAGE_EDITOR_CONTRACT "Glimmerkey.PageEditor/2"
#define GLIMMERKEY_PAGE_EDITOR_FACTORY "CreatePageEditor"
using PageEditorVersionFn = const char* (*)();
using PageEditorFactory = IPageEditor* (*)(QWidget* pParent);
