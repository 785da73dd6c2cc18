#pragma once

#include "browsers/BrowserList.h"
#include "framework/Dialog.h"

class QListWidget;

// Shows the installed browsers and the user's own list, and adds to and
// deletes from the user's list.
class CWebBrowserDlg : public framework::CDialog {
    Q_OBJECT
public:
    CWebBrowserDlg();

    CBrowserList m_browsers;
    QListWidget* m_lbInstalled = nullptr;
    QListWidget* m_lbSpecified = nullptr;
    QString m_strPath;
    QString m_strName;
    QString m_strSelected;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(framework::CDataExchange* pDX) override;

private:
    void OnBrowse();
    void OnDelete();
    void OnAdd();
};
