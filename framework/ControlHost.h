#pragma once

#include "framework/DialogTemplate.h"

#include <utility>
#include <vector>

class QWidget;

namespace framework {

class CDataExchange;

// What dialogs and form views share: the controls built from a template,
// found by ID, and the data exchange between them and a subclass's members.
class CControlHost {
public:
    virtual ~CControlHost() = default;

    QWidget* GetDlgItem(int nID) const;
    template <class T> T* Item(int nID) const { return qobject_cast<T*>(GetDlgItem(nID)); }

    // False when a validation step failed; the focus is then on its control.
    bool UpdateData(bool bSaveAndValidate = true);
    const DialogUnits& Units() const { return m_units; }

protected:
    CControlHost();

    // Builds the template's controls in `pParent`, which takes the dialog
    // font the units are measured in.
    void BuildControls(const DialogTemplate& dlgTemplate, QWidget* pParent);
    const std::vector<std::pair<int, QWidget*>>& Controls() const { return m_arrControls; }
    // True while UpdateData runs, when controls change without the user.
    bool IsExchanging() const { return m_bExchanging; }

    virtual void DoDataExchange(CDataExchange* pDX);

private:
    DialogUnits m_units;
    std::vector<std::pair<int, QWidget*>> m_arrControls;
    bool m_bExchanging = false;
};

} // namespace framework
