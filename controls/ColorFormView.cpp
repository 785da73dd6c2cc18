#include "controls/ColorFormView.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

// The button colour of this moment; later palette changes are not followed.
CColorFormView::CColorFormView(const framework::DialogTemplate& formTemplate, QWidget* pParent)
    : framework::CFormView(formTemplate, pParent),
      m_crBackground(QGuiApplication::palette().color(QPalette::Button)),
      m_brBackground(m_crBackground) {}

void CColorFormView::SetBackgroundColor(const QColor& crBackground) {
    m_crBackground = crBackground;
    m_brBackground = QBrush(m_crBackground);
}

void CColorFormView::paintEvent(QPaintEvent* pEvent) {
    framework::CFormView::paintEvent(pEvent);
    QPainter painter(this);
    painter.fillRect(rect(), m_brBackground);
}
