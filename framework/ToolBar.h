#pragma once

#include <QPixmap>
#include <QString>
#include <QToolBar>
#include <QVector>

namespace framework {

class CFrameWnd;

// One slot of a tool bar: a command's button with its image in the strip
// and its label, or (ID 0) a separator.
struct ToolBarButton {
    int id = 0;
    int image = -1;
    QString label;
};

// A flat tool bar of labelled image buttons taken from one image strip,
// dockable on every side. Its buttons are the frame's command actions, so
// one enabling handler greys the menu item and the button together. The
// status bar shows a button's prompt while it is hovered; there are no
// tooltips.
class CToolBar : public QToolBar {
    Q_OBJECT
public:
    explicit CToolBar(CFrameWnd* frame);

    // Lays the slots out with images of `imageSize` cut from `strip`, each
    // button between `minWidth` and `maxWidth` pixels wide, separators
    // `separatorWidth` pixels.
    void SetButtons(const QVector<ToolBarButton>& buttons, const QPixmap& strip, QSize imageSize,
                    int minWidth, int maxWidth, int separatorWidth);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CFrameWnd* m_pFrame;
};

} // namespace framework
