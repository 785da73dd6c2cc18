#pragma once

#include "framework/Dialog.h"

class CColorStatic;

// Shows the code just put on the clipboard, with a reminder about support
// files. No buttons: the close box or Escape ends it.
class CHtmlCodeDlg : public framework::CDialog {
    Q_OBJECT
public:
    CHtmlCodeDlg();

    CColorStatic* m_tipNote = nullptr;
    QString m_strCode;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(framework::CDataExchange* pDX) override;
};
