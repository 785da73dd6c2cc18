#pragma once

#include "controls/CreditsRoll.h"
#include "framework/Static.h"

#include <QElapsedTimer>

// A static control that scrolls credit lines upward through its client
// area, pixel by pixel, and starts again after the last. The lines and the
// canvas are CreditsRoll's; this control drives it from a window timer and
// brings its canvas to the screen. Template class name "CCreditsScroller".
class CCreditsScroller : public framework::CStatic {
    Q_OBJECT
public:
    explicit CCreditsScroller(QWidget* pParent = nullptr, CreditsRoll::BitmapLoader loadBitmap =
                                                              CreditsRoll::LoadResourceBitmap);

    bool SetCreditText(const QString& strText, QChar chSeparator) {
        return m_roll.SetCreditText(strText, chSeparator);
    }
    int SelectSpeed(int nIndex, int nPeriod) { return m_roll.SelectSpeed(nIndex, nPeriod); }
    void SetStyleColor(int nIndex, const QColor& cr) { m_roll.SetStyleColor(nIndex, cr); }
    void SetTransparentBitmaps(bool bTransparent) { m_roll.SetTransparentBitmaps(bTransparent); }
    // False, starting nothing, when there are no lines. It scrolls until the
    // control goes; a timer that could not be made leaves a still frame.
    bool BeginScroll();

    const CreditsRoll& Roll() const { return m_roll; }
    // Non-zero while scrolling runs.
    int TimerId() const { return m_nTimerId; }

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void timerEvent(QTimerEvent* pEvent) override;

private:
    void showTick(const QRect& rcChanged);

    CreditsRoll m_roll;
    int m_nTimerId = 0;
    // What the ticks changed since the window last showed the canvas.
    QRect m_rcUnshown;
    QElapsedTimer m_frameClock;
};
