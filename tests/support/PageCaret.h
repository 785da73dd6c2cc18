#pragma once

#include "output/PageEditor.h"

#include <Qsci/qsciscintillabase.h>

// Puts the page box's caret before byte `at` of its text, as a click there would.
inline void PutPageCaret(CPageEditor& editor, qint64 at) {
    editor.findChild<QsciScintillaBase*>()->SendScintilla(QsciScintillaBase::SCI_GOTOPOS,
                                                          static_cast<long>(at));
}
