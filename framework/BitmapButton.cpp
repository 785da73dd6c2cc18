#include "framework/BitmapButton.h"

#include "framework/Bitmaps.h"

#include <QPainter>

namespace framework {

CBitmapButton::CBitmapButton(const QString& strText, QWidget* pParent)
    : QPushButton(strText, pParent) {}

bool CBitmapButton::LoadBitmaps(int nNormalID, int nPressedID) {
    m_bmpNormal = LoadBitmap(nNormalID);
    m_bmpPressed = LoadBitmap(nPressedID);
    update();
    return !m_bmpNormal.isNull();
}

void CBitmapButton::SizeToContent() {
    if (!m_bmpNormal.isNull()) resize(m_bmpNormal.deviceIndependentSize().toSize());
}

void CBitmapButton::paintEvent(QPaintEvent* pEvent) {
    // Until its faces are loaded it is a plain push button, text and all.
    if (m_bmpNormal.isNull()) {
        QPushButton::paintEvent(pEvent);
        return;
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, isDown() && !m_bmpPressed.isNull() ? m_bmpPressed : m_bmpNormal);
    if (!hasFocus()) return;
    // A dotted rectangle that inverts what lies under it, so that it shows on
    // any face; styles draw theirs only after certain keys, or not at all.
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(3, 3, -4, -4));
}

} // namespace framework
