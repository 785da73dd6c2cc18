#pragma once

#include "framework/ControlHost.h"
#include "framework/ErrorReport.h"
#include "framework/Prompts.h"
#include "framework/SoftAssert.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QDialog>
#include <QItemSelectionModel>

#include <functional>

namespace framework {

// A dialog built from a template, with data exchange between the members of
// a subclass and its controls. Every handler it runs for Qt (buttons,
// selection changes, OnInitDialog, OK and Cancel) runs inside the error
// boundary: what a handler throws ends that handler with the generic error
// report, and the dialog stays usable.
class CDialog : public QDialog, public CControlHost {
    Q_OBJECT

public:
    explicit CDialog(const DialogTemplate& dlgTemplate, QWidget* pParent = nullptr);

    int DoModal();
    void EndDialog(int nResult);
    void SetWindowText(const QString& strText);

    // Escape and the close box arrive here; Enter, in a dialog without a
    // default button and with no button focused, is OK.
    void reject() override;

protected:
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    template <class D> void OnButton(int nID, void (D::*pHandler)());
    template <class D> void OnSelChange(int nID, void (D::*pHandler)());
    // The text of an edit, single- or multi-line, changed.
    template <class D> void OnEditChange(int nID, void (D::*pHandler)());

    void showEvent(QShowEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    void focusFirstTabStop();
    void connectEditChange(int nID, const std::function<void()>& handler);

    bool m_bInitialized = false;
    bool m_bInInitDialog = false;
};

template <class D> void CDialog::OnButton(int nID, void (D::*pHandler)()) {
    auto* pButton = Item<QAbstractButton>(nID);
    GK_ASSERT(pButton, return ); // no button with this ID
    connect(pButton, &QAbstractButton::clicked, this,
            Guarded([this, pHandler] { (static_cast<D*>(this)->*pHandler)(); }));
}

template <class D> void CDialog::OnSelChange(int nID, void (D::*pHandler)()) {
    auto* pView = Item<QAbstractItemView>(nID);
    GK_ASSERT(pView, return ); // no list with this ID
    // Selections made by UpdateData are not reported: a handler that ran
    // halfway through an exchange would read half-filled controls.
    connect(pView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            Guarded([this, pHandler] {
                if (!IsExchanging()) (static_cast<D*>(this)->*pHandler)();
            }));
}

template <class D> void CDialog::OnEditChange(int nID, void (D::*pHandler)()) {
    // As with selections, text written by UpdateData is not reported.
    connectEditChange(nID, Guarded([this, pHandler] {
                          if (!IsExchanging()) (static_cast<D*>(this)->*pHandler)();
                      }));
}

} // namespace framework
