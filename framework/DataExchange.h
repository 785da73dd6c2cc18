#pragma once

#include "framework/SoftAssert.h"

#include <QString>
#include <QWidget>

namespace framework {

class CControlHost;

// One pass of UpdateData of a dialog or form view: either members into
// controls or, with m_bSaveAndValidate, controls into members.
class CDataExchange {
public:
    // Thrown by Fail() and caught by UpdateData, which then returns false.
    struct Failure {};

    CDataExchange(CControlHost* pDlgWnd, bool bSaveAndValidate);

    // The control with this ID; Fail() returns the focus to the last one.
    QWidget* PrepareCtrl(int nID);
    // Ends the exchange after a validation step has told the user why.
    [[noreturn]] void Fail();

    const bool m_bSaveAndValidate;
    CControlHost* const m_pDlgWnd;

private:
    QWidget* m_pLastControl = nullptr;
};

// Edit, multi-line or rich edit, or static text.
void DDX_Text(CDataExchange* pDX, int nID, QString& strValue);
// Check box.
void DDX_Check(CDataExchange* pDX, int nID, bool& bValue);
// Selected row of a list box, -1 for none.
void DDX_LBIndex(CDataExchange* pDX, int nID, int& nIndex);

// Binds a typed pointer member to the control, e.g. QListWidget* m_lbTemplates.
template <class T> void DDX_Control(CDataExchange* pDX, int nID, T*& pControl) {
    pControl = qobject_cast<T*>(pDX->PrepareCtrl(nID));
    GK_ASSERT(pControl, return ); // the control is of another kind
}

} // namespace framework
