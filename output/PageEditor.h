#pragma once

#include "output/PageEditorModule.h"

#include <QWidget>

// The insert dialog's page box: a frame for the editor of the page box
// module, loaded on the first one made. Throws when the module cannot be
// loaded, so the dialog that needs it is not shown half-built.
class CPageEditor : public QWidget {
    Q_OBJECT
public:
    explicit CPageEditor(QWidget* pParent = nullptr);

    // Replaces the content, NUL bytes included; not undoable.
    void SetPageBytes(const QByteArray& bytes, bool bUtf8);
    QByteArray PageBytes() const;
    // Replaces the selection (or inserts at the caret) as one undoable action.
    void ReplaceSelection(const QByteArray& bytes);
    void Undo();
    // Byte offsets into PageBytes().
    qint64 CaretPosition() const;
    void Select(qint64 from, qint64 to);

    // The module's entry point from `strModulePath`; throws a message that
    // names the module and the reason when it cannot be had.
    static PageEditorFactory LoadModule(const QString& strModulePath);

private:
    IPageEditor* m_pEditor; // a child widget: Qt deletes it
};
