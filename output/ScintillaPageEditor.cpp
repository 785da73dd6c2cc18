// The page box module: the text editor component behind IPageEditor.
#include "output/PageEditorModule.h"

#include <Qsci/qsciscintilla.h>
#include <Qsci/qsciscintillabase.h>

namespace {

// Holds the page as bytes (UTF-8, or one character per byte), so that
// nothing is decoded and encoded again behind the user's back, and shows a
// page of many megabytes at once.
class CScintillaPageEditor final : public QsciScintilla, public IPageEditor {
public:
    explicit CScintillaPageEditor(QWidget* pParent) : QsciScintilla(pParent) {
        setMarginWidth(1, 0);
        setWrapMode(WrapNone);
        setEolMode(EolWindows);
        setTabWidth(8);
        setFont(QFont(QStringLiteral("monospace")));
    }

    QWidget* Widget() override { return this; }

    void SetPageBytes(const QByteArray& bytes, bool bUtf8) override {
        // A fresh document sized for the page, without the style byte per
        // character a plain text box never uses: a large page takes its own
        // size once, not three times over.
        const long document =
            SendScintilla(SCI_CREATEDOCUMENT, static_cast<unsigned long>(bytes.size() + 1),
                          static_cast<long>(SC_DOCUMENTOPTION_STYLES_NONE));
        SendScintilla(SCI_SETDOCPOINTER, 0UL, document);
        SendScintilla(SCI_RELEASEDOCUMENT, 0UL, document); // the editor keeps its own reference
        setUtf8(bUtf8);
        setEolMode(EolWindows);
        // Not recorded for undo, and no change notice carrying the whole
        // text: either would only make another copy of a large page.
        SendScintilla(SCI_SETUNDOCOLLECTION, 0UL);
        const long events = SendScintilla(SCI_GETMODEVENTMASK);
        SendScintilla(SCI_SETMODEVENTMASK, 0UL);
        SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(bytes.size()), bytes.constData());
        SendScintilla(SCI_SETMODEVENTMASK, static_cast<unsigned long>(events));
        SendScintilla(SCI_SETUNDOCOLLECTION, 1UL);
        SendScintilla(SCI_EMPTYUNDOBUFFER);
        SendScintilla(SCI_GOTOPOS, 0L);
    }

    QByteArray PageBytes() const override {
        const long length = SendScintilla(SCI_GETLENGTH);
        // The document's own buffer, made contiguous: no copy but this one.
        const auto* text = reinterpret_cast<const char*>( // NOLINT(performance-no-int-to-ptr)
            SendScintilla(SCI_GETCHARACTERPOINTER));
        return QByteArray(text, length);
    }

    void ReplaceSelection(const QByteArray& bytes) override {
        SendScintilla(SCI_BEGINUNDOACTION);
        SendScintilla(SCI_REPLACESEL, 0UL, bytes.constData());
        SendScintilla(SCI_ENDUNDOACTION);
    }

    void Undo() override { undo(); }

    qint64 CaretPosition() const override { return SendScintilla(SCI_GETCURRENTPOS); }

    void Select(qint64 from, qint64 to) override {
        SendScintilla(SCI_SETSEL, static_cast<unsigned long>(from), static_cast<long>(to));
    }
};

} // namespace

extern "C" Q_DECL_EXPORT const char* PageEditorContractVersion() {
    return GLIMMERKEY_PAGE_EDITOR_CONTRACT;
}

extern "C" Q_DECL_EXPORT IPageEditor* CreatePageEditor(QWidget* pParent) {
    return new CScintillaPageEditor(pParent);
}
