#pragma once

#include "framework/Dialog.h"

class CColorStatic;

// The maker's HTML editor, by the names it goes by on the search path.
const QStringList& HtmlEditorNames();

// Recommends the maker's HTML editor for inserting a widget into a page;
// its box starts ticked only when the editor is there to be used.
class CInsertNoticeDlg : public framework::CDialog {
    Q_OBJECT
public:
    CInsertNoticeDlg();

    CColorStatic* m_tipNote = nullptr;
    bool m_bUseEditor = false;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(framework::CDataExchange* pDX) override;
};
