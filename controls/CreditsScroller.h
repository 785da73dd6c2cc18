#pragma once

#include "controls/CreditsRoll.h"
#include "framework/Static.h"

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
    // Ticks come faster than a screen refreshes. Each timer message runs
    // the ticks of one frame and shows them in one copy, so the process
    // wakes once a frame and the speed stays one tick a period.
    int TicksPerFrame() const { return m_nTicksPerFrame; }
    // The whole number of ticks nearest kFrameMs, and never more frames
    // than a screen of this refresh rate shows (an unknown one counts as
    // 60 Hz). A frame's wake-up and round trip to the display server are
    // most of what scrolling costs; about 33 frames a second still glide.
    static int FrameTicks(int nPeriod, qreal refreshRate);
    static constexpr int kFrameMs = 30;

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void timerEvent(QTimerEvent* pEvent) override;

private:
    CreditsRoll m_roll;
    int m_nTimerId = 0;
    int m_nTicksPerFrame = 1;
};
