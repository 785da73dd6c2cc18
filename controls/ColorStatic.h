#pragma once

#include "framework/Static.h"

// A static text drawn in a colour of its choice, in the default GUI font, on
// a background brush of its choice, to match a coloured surface. Template
// class name "CColorStatic".
class CColorStatic : public framework::CStatic {
    Q_OBJECT
public:
    explicit CColorStatic(QWidget* pParent = nullptr);

    // Neither repaints: owners set the colours before the control is first drawn.
    void SetTextColor(const QColor& crText);
    void SetBkColor(const QColor& crBack);

protected:
    QBrush CtlColor(framework::CtlColorDC& dc) override;

private:
    QColor m_crText;
    QBrush m_brBack;
    QFont m_font;
};
