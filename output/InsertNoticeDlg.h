#pragma once

#include "framework/Dialog.h"

class CColorStatic;

// Recommends the maker's HTML editor for inserting a widget into a page.
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
