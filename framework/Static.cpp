#include "framework/Static.h"

#include <QPainter>

namespace framework {

CStatic::CStatic(QWidget* pParent) : QLabel(pParent) {
    setTextFormat(Qt::PlainText);
}

QBrush CStatic::CtlColor(CtlColorDC&) {
    return Qt::NoBrush;
}

void CStatic::paintEvent(QPaintEvent*) {
    CtlColorDC dc{palette().color(foregroundRole()), font()};
    const QBrush brBackground = CtlColor(dc);
    QPainter painter(this);
    painter.fillRect(rect(), brBackground);
    drawFrame(&painter);
    painter.setFont(dc.font);
    painter.setPen(dc.crText);
    const int nMargin = margin();
    const int nFlags = int(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0);
    painter.drawText(contentsRect().adjusted(nMargin, nMargin, -nMargin, -nMargin), nFlags, text());
}

} // namespace framework
