#include "framework/DataExchange.h"

#include "framework/ControlHost.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace framework {

CDataExchange::CDataExchange(CControlHost* pDlgWnd, bool bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

QWidget* CDataExchange::PrepareCtrl(int nID) {
    m_pLastControl = m_pDlgWnd->GetDlgItem(nID);
    GK_ASSERT(m_pLastControl, return nullptr); // no control with this ID
    return m_pLastControl;
}

void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_pLastControl) {
        m_pLastControl->setFocus(Qt::OtherFocusReason);
        if (auto* pEdit = qobject_cast<QLineEdit*>(m_pLastControl)) pEdit->selectAll();
    }
    throw Failure{};
}

void DDX_Text(CDataExchange* pDX, int nID, QString& strValue) {
    QWidget* pControl = pDX->PrepareCtrl(nID);
    const bool bSave = pDX->m_bSaveAndValidate;
    // Rewriting unchanged text would move the caret and clear the undo history.
    if (auto* pEdit = qobject_cast<QLineEdit*>(pControl)) {
        if (bSave)
            strValue = pEdit->text();
        else if (pEdit->text() != strValue)
            pEdit->setText(strValue);
    } else if (auto* pPlain = qobject_cast<QPlainTextEdit*>(pControl)) {
        if (bSave)
            strValue = pPlain->toPlainText();
        else if (pPlain->toPlainText() != strValue)
            pPlain->setPlainText(strValue);
    } else if (auto* pRich = qobject_cast<QTextEdit*>(pControl)) {
        if (bSave)
            strValue = pRich->toPlainText();
        else if (pRich->toPlainText() != strValue)
            pRich->setPlainText(strValue);
    } else if (auto* pLabel = qobject_cast<QLabel*>(pControl)) {
        if (bSave)
            strValue = pLabel->text();
        else
            pLabel->setText(strValue);
    } else {
        GK_ASSERT(!pControl, return ); // the control holds no text
    }
}

void DDX_Check(CDataExchange* pDX, int nID, bool& bValue) {
    auto* pButton = qobject_cast<QAbstractButton*>(pDX->PrepareCtrl(nID));
    GK_ASSERT(pButton, return ); // the control is no check box
    if (pDX->m_bSaveAndValidate)
        bValue = pButton->isChecked();
    else
        pButton->setChecked(bValue);
}

void DDX_LBIndex(CDataExchange* pDX, int nID, int& nIndex) {
    auto* pList = qobject_cast<QListWidget*>(pDX->PrepareCtrl(nID));
    GK_ASSERT(pList, return ); // the control is no list box
    if (pDX->m_bSaveAndValidate) {
        const QModelIndexList arrSelected = pList->selectionModel()->selectedRows();
        nIndex = arrSelected.isEmpty() ? -1 : arrSelected.first().row();
    } else if (nIndex >= 0 && nIndex < pList->count()) {
        pList->setCurrentRow(nIndex);
    } else {
        // An index out of range selects nothing, as the classic list box does.
        pList->clearSelection();
        pList->setCurrentItem(nullptr);
    }
}

} // namespace framework
