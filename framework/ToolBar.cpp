#include "framework/ToolBar.h"

#include "framework/FrameWindow.h"

#include <QAction>
#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionToolBar>
#include <QToolButton>

namespace framework {

CToolBar::CToolBar(CFrameWnd* frame) : QToolBar(frame), m_pFrame(frame) {
    setAllowedAreas(Qt::AllToolBarAreas);
    setMovable(true); // with its gripper
    setFloatable(true);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
}

void CToolBar::SetButtons(const QVector<ToolBarButton>& buttons, const QPixmap& strip,
                          QSize imageSize, int minWidth, int maxWidth, int separatorWidth) {
    clear();
    setIconSize(imageSize);
    const qreal ratio = strip.devicePixelRatio();
    for (const ToolBarButton& button : buttons) {
        if (button.id == 0) {
            auto* gap = new QWidget(this);
            gap->setFixedWidth(separatorWidth);
            addWidget(gap);
            continue;
        }
        QAction* action = m_pFrame->CommandAction(button.id);
        // The strip holds the images side by side at the strip's own pixel ratio.
        const QRect cell(QPoint(int(button.image * imageSize.width() * ratio), 0),
                         imageSize * ratio);
        QPixmap image = strip.copy(cell);
        image.setDevicePixelRatio(ratio);
        action->setIcon(QIcon(image));
        action->setIconVisibleInMenu(false); // the image belongs to the tool bar
        action->setIconText(button.label);
        addAction(action);
        if (QWidget* widget = widgetForAction(action)) {
            widget->setMinimumWidth(minWidth);
            widget->setMaximumWidth(maxWidth);
            if (auto* tool = qobject_cast<QToolButton*>(widget)) tool->setAutoRaise(true);
            widget->installEventFilter(this);
        }
    }
}

bool CToolBar::eventFilter(QObject* watched, QEvent* event) {
    // The label says what the button does; the prompt is in the status bar.
    if (event->type() == QEvent::ToolTip) return true;
    return QToolBar::eventFilter(watched, event);
}

void CToolBar::paintEvent(QPaintEvent* /*event*/) {
    // Flat: the window colour and the gripper, nothing more. The styles'
    // bevel lines are drawn pixel by pixel, enough to start the raster
    // engine's worker threads on the first paint.
    QPainter painter(this);
    QStyleOptionToolBar option;
    initStyleOption(&option);
    painter.fillRect(option.rect, palette().window());
    option.rect = style()->subElementRect(QStyle::SE_ToolBarHandle, &option, this);
    if (option.rect.isValid())
        style()->drawPrimitive(QStyle::PE_IndicatorToolBarHandle, &option, &painter, this);
}

} // namespace framework
