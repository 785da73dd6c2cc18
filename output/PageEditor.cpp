#include "output/PageEditor.h"

#include <Qsci/qsciscintillabase.h>

CPageEditor::CPageEditor(QWidget* pParent) : QsciScintilla(pParent) {
    setMarginWidth(1, 0);
    setWrapMode(WrapNone);
    setEolMode(EolWindows);
    setTabWidth(8);
    setFont(QFont(QStringLiteral("monospace")));
}

void CPageEditor::SetPageBytes(const QByteArray& bytes, bool bUtf8) {
    setUtf8(bUtf8);
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(bytes.size()), bytes.constData());
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_GOTOPOS, 0L);
}

QByteArray CPageEditor::PageBytes() const {
    const long length = SendScintilla(SCI_GETLENGTH);
    // The document's own buffer, made contiguous: no copy but this one.
    const auto* text = reinterpret_cast<const char*>(SendScintilla(SCI_GETCHARACTERPOINTER));
    return QByteArray(text, length);
}

void CPageEditor::ReplaceSelection(const QByteArray& bytes) {
    SendScintilla(SCI_BEGINUNDOACTION);
    SendScintilla(SCI_REPLACESEL, 0UL, bytes.constData());
    SendScintilla(SCI_ENDUNDOACTION);
}
