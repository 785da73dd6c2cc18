#include "framework/Dialog.h"

#include "framework/DataExchange.h"

#include <QScopedValueRollback>
#include <QTimer>

namespace framework {

CDialog::CDialog(const DialogTemplate& dlgTemplate, QWidget* pParent)
    : QDialog(pParent), m_units(DialogUnits::dialogFont()) {
    setFont(DialogUnits::dialogFont());
    setWindowTitle(dlgTemplate.strCaption);
    setFixedSize(m_units.toPixels(dlgTemplate.sizeDlu));
    m_arrControls = buildControls(dlgTemplate, m_units, this);
    for (const auto& [nID, pControl] : m_arrControls) {
        auto* pButton = qobject_cast<QAbstractButton*>(pControl);
        if (!pButton) continue;
        if (nID == IDOK)
            connect(pButton, &QAbstractButton::clicked, this, Guarded([this] { OnOK(); }));
        if (nID == IDCANCEL)
            connect(pButton, &QAbstractButton::clicked, this, Guarded([this] { OnCancel(); }));
    }
}

QWidget* CDialog::GetDlgItem(int nID) const {
    for (const auto& [nControlID, pControl] : m_arrControls)
        if (nControlID == nID) return pControl;
    return nullptr;
}

int CDialog::DoModal() {
    return exec();
}

void CDialog::EndDialog(int nResult) {
    // exec() has not started its event loop while OnInitDialog runs; ending
    // the dialog then would leave that loop waiting for ever.
    if (m_bInInitDialog)
        QTimer::singleShot(0, this, [this, nResult] { done(nResult); });
    else
        done(nResult);
}

bool CDialog::UpdateData(bool bSaveAndValidate) {
    const QScopedValueRollback exchanging(m_bExchanging, true);
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CDataExchange::Failure&) {
        return false;
    }
    return true;
}

void CDialog::SetWindowText(const QString& strText) {
    setWindowTitle(strText);
}

void CDialog::reject() {
    RunReportingErrors([this] { OnCancel(); });
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::OnOK() {
    if (UpdateData(true)) EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::showEvent(QShowEvent* pEvent) {
    QDialog::showEvent(pEvent);
    if (m_bInitialized) return;
    m_bInitialized = true;
    bool bDefaultFocus = false;
    bool bInitialized;
    {
        const QScopedValueRollback inInit(m_bInInitDialog, true);
        bInitialized = RunReportingErrors([&] { bDefaultFocus = OnInitDialog(); });
        // A dialog whose initialisation failed halfway would show half its
        // data: it closes, as if cancelled.
        if (!bInitialized) EndDialog(IDCANCEL);
    }
    if (bInitialized && bDefaultFocus) focusFirstTabStop();
}

void CDialog::focusFirstTabStop() {
    for (const auto& [nID, pControl] : m_arrControls) {
        if ((pControl->focusPolicy() & Qt::TabFocus) && pControl->isEnabled() &&
            pControl->isVisibleTo(this)) {
            // The tab reason makes an edit select its text, as on arrival by Tab.
            pControl->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

} // namespace framework
