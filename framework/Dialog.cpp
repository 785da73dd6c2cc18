#include "framework/Dialog.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>

namespace framework {

CDialog::CDialog(const DialogTemplate& dlgTemplate, QWidget* pParent) : QDialog(pParent) {
    setWindowTitle(dlgTemplate.strCaption);
    setFixedSize(Units().toPixels(dlgTemplate.sizeDlu));
    BuildControls(dlgTemplate, this);
    for (const auto& [nID, pControl] : Controls()) {
        auto* pButton = qobject_cast<QAbstractButton*>(pControl);
        if (!pButton) continue;
        if (nID == IDOK)
            connect(pButton, &QAbstractButton::clicked, this, Guarded([this] { OnOK(); }));
        if (nID == IDCANCEL)
            connect(pButton, &QAbstractButton::clicked, this, Guarded([this] { OnCancel(); }));
    }
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

void CDialog::keyPressEvent(QKeyEvent* pEvent) {
    const bool enter = pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter;
    const auto modifiers = pEvent->modifiers() & ~Qt::KeypadModifier;
    if (!enter || modifiers != Qt::NoModifier) return QDialog::keyPressEvent(pEvent);
    // The focused button, then the default one, as the desktop does it.
    if (auto* pFocused = qobject_cast<QPushButton*>(focusWidget());
        pFocused && pFocused->isVisible()) {
        if (pFocused->isEnabled()) pFocused->click();
        return;
    }
    for (QPushButton* pButton : findChildren<QPushButton*>())
        if (pButton->isDefault() && pButton->isVisible()) {
            if (pButton->isEnabled()) pButton->click();
            return;
        }
    RunReportingErrors([this] { OnOK(); });
}

void CDialog::connectEditChange(int nID, const std::function<void()>& handler) {
    QWidget* pControl = GetDlgItem(nID);
    if (auto* pEdit = qobject_cast<QLineEdit*>(pControl))
        connect(pEdit, &QLineEdit::textChanged, this, handler);
    else if (auto* pPlain = qobject_cast<QPlainTextEdit*>(pControl))
        connect(pPlain, &QPlainTextEdit::textChanged, this, handler);
    else
        GK_ASSERT(!pControl, return ); // no edit with this ID
}

void CDialog::focusFirstTabStop() {
    for (const auto& [nID, pControl] : Controls()) {
        if ((pControl->focusPolicy() & Qt::TabFocus) && pControl->isEnabled() &&
            pControl->isVisibleTo(this)) {
            // The tab reason makes an edit select its text, as on arrival by Tab.
            pControl->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

} // namespace framework
