#include "controls/ColorStatic.h"

#include "framework/DialogTemplate.h"

#include <QGuiApplication>
#include <QPalette>

// The system colours are read once; later changes are not followed. The
// default GUI font is the UI font at the 8 points the templates were drawn
// for, and the control's own: a parent with another font does not change it.
CColorStatic::CColorStatic(QWidget* pParent)
    : framework::CStatic(pParent), m_crText(QGuiApplication::palette().color(QPalette::WindowText)),
      m_brBack(QGuiApplication::palette().color(QPalette::Button)),
      m_font(framework::DialogUnits::dialogFont()) {}

void CColorStatic::SetTextColor(const QColor& crText) {
    m_crText = crText;
}

void CColorStatic::SetBkColor(const QColor& crBack) {
    // The old brush goes as the new one takes its place.
    m_brBack = QBrush(crBack);
}

QBrush CColorStatic::CtlColor(framework::CtlColorDC& dc) {
    dc.font = m_font;
    dc.crText = m_crText;
    return m_brBack;
}
