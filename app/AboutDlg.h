#pragma once

#include "framework/Dialog.h"

class CCreditsScroller;
class CHyperLink;

// The About box: scrolling credits above the maker's addresses, the web
// address a link that opens in the browser.
class CAboutDlg : public framework::CDialog {
    Q_OBJECT
public:
    CAboutDlg();

    CCreditsScroller* m_pCredits = nullptr;
    CHyperLink* m_pWebLink = nullptr;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(framework::CDataExchange* pDX) override;
};
