#include "framework/ControlHost.h"

#include "framework/DataExchange.h"

#include <QScopedValueRollback>
#include <QWidget>

namespace framework {

CControlHost::CControlHost() : m_units(DialogUnits::dialogFont()) {}

void CControlHost::BuildControls(const DialogTemplate& dlgTemplate, QWidget* pParent) {
    pParent->setFont(DialogUnits::dialogFont());
    m_arrControls = buildControls(dlgTemplate, m_units, pParent);
}

QWidget* CControlHost::GetDlgItem(int nID) const {
    for (const auto& [nControlID, pControl] : m_arrControls)
        if (nControlID == nID) return pControl;
    return nullptr;
}

bool CControlHost::UpdateData(bool bSaveAndValidate) {
    const QScopedValueRollback exchanging(m_bExchanging, true);
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CDataExchange::Failure&) {
        return false;
    }
    return true;
}

void CControlHost::DoDataExchange(CDataExchange*) {}

} // namespace framework
