#pragma once

#include "framework/Dialog.h"

// Edits the current widget's name and description.
class CRenameWidgetDlg : public framework::CDialog {
    Q_OBJECT
public:
    CRenameWidgetDlg();

    QString m_strDescription;
    QString m_strName;

protected:
    void OnOK() override;
    void DoDataExchange(framework::CDataExchange* pDX) override;
};
