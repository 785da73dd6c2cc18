#pragma once

#include "framework/FormView.h"

#include <QBrush>
#include <QColor>

// A form view that paints its whole background in one colour of its own
// instead of the dialog colour.
class CColorFormView : public framework::CFormView {
    Q_OBJECT
public:
    explicit CColorFormView(const framework::DialogTemplate& formTemplate,
                            QWidget* pParent = nullptr);

    // No repaint: the next paint uses the new colour.
    void SetBackgroundColor(const QColor& crBackground);

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    QColor m_crBackground;
    QBrush m_brBackground;
};
