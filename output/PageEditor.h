#pragma once

#include <Qsci/qsciscintilla.h>

// The insert dialog's page box: holds the page as bytes (UTF-8, or one
// character per byte), so that nothing is decoded and encoded again behind
// the user's back, and shows a page of many megabytes at once.
class CPageEditor : public QsciScintilla {
    Q_OBJECT
public:
    explicit CPageEditor(QWidget* pParent = nullptr);

    // Replaces the content, NUL bytes included; not undoable.
    void SetPageBytes(const QByteArray& bytes, bool bUtf8);
    QByteArray PageBytes() const;
    // Replaces the selection (or inserts at the caret) as one undoable action.
    void ReplaceSelection(const QByteArray& bytes);
};
