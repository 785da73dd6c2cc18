#pragma once

#include "framework/ControlHost.h"
#include "framework/View.h"

#include <functional>

namespace framework {

// A view whose content is a dialog template, laid out in dialog units and
// exchanged with the members of a subclass like a dialog's. Its push
// buttons, bitmap buttons included, send their ID as a command through the
// main window's routing, so the view, the document, the frame or the
// application handles the click.
class CFormView : public CView, public CControlHost {
    Q_OBJECT
public:
    explicit CFormView(const DialogTemplate& formTemplate, QWidget* pParent = nullptr);

    // Binds the controls to the members; a subclass finishes its set-up
    // after calling this.
    void OnInitialUpdate() override;
    // Enables each push button as its command is enabled, so that a form
    // button greys with the menu item of the same command.
    void UpdateDialogControls(const std::function<bool(int)>& isEnabled);
    // The template's size, so that the frame can fit its client area to the form.
    QSize sizeHint() const override;

private:
    QSize m_sizeForm;
};

} // namespace framework
