#include "framework/FormView.h"

#include "framework/Application.h"
#include "framework/FrameWindow.h"

#include <QPushButton>

namespace framework {

CFormView::CFormView(const DialogTemplate& formTemplate, QWidget* pParent)
    : CView(pParent), m_sizeForm(Units().toPixels(formTemplate.sizeDlu)) {
    BuildControls(formTemplate, this);
    for (const auto& control : Controls()) {
        auto* pButton = qobject_cast<QPushButton*>(control.second);
        if (!pButton) continue;
        // SendCommand runs the handler inside the error boundary.
        connect(pButton, &QAbstractButton::clicked, this, [nID = control.first] {
            if (CFrameWnd* pFrame = AfxGetMainWnd()) pFrame->SendCommand(nID);
        });
    }
}

void CFormView::OnInitialUpdate() {
    UpdateData(false);
}

void CFormView::UpdateDialogControls(const std::function<bool(int)>& isEnabled) {
    for (const auto& [nID, pControl] : Controls())
        if (qobject_cast<QPushButton*>(pControl)) pControl->setEnabled(isEnabled(nID));
}

QSize CFormView::sizeHint() const {
    return m_sizeForm;
}

} // namespace framework
