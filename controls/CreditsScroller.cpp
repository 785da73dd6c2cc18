#include "controls/CreditsScroller.h"

#include "framework/ErrorReport.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTimerEvent>

#include <algorithm>
#include <cmath>

CCreditsScroller::CCreditsScroller(QWidget* pParent, CreditsRoll::BitmapLoader loadBitmap)
    : framework::CStatic(pParent), m_roll(std::move(loadBitmap)) {
    // Every pixel comes from the canvas: nothing is erased beneath it.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool CCreditsScroller::BeginScroll() {
    if (m_roll.Lines().isEmpty()) return false;
    m_roll.Restart();
    // A second start replaces the timer instead of doubling the speed.
    if (m_nTimerId) killTimer(m_nTimerId);
    m_nTicksPerFrame = FrameTicks(m_roll.Period(), screen() ? screen()->refreshRate() : 0.0);
    // Precise: a coarse timer may stretch a frame and slow the credits.
    m_nTimerId = startTimer(m_roll.Period() * m_nTicksPerFrame, Qt::PreciseTimer);
    return true;
}

int CCreditsScroller::FrameTicks(int nPeriod, qreal refreshRate) {
    const qreal screenFrameMs = 1000.0 / (refreshRate > 1.0 ? refreshRate : 60.0);
    const qreal periodMs = std::max(1, nPeriod);
    const int nFillScreenFrame = int(std::ceil(screenFrameMs / periodMs));
    const int nNearestTarget = int(std::lround(kFrameMs / periodMs));
    return std::max({1, nFillScreenFrame, nNearestTarget});
}

void CCreditsScroller::paintEvent(QPaintEvent* pEvent) {
    QPainter painter(this);
    const QRect rcClient = contentsRect();
    // A tick repaints what it changed in the client area; the frame only
    // comes with an exposure.
    if (!rcClient.contains(pEvent->rect())) drawFrame(&painter);
    // While scrolling, the ticks have drawn the canvas; a paint only shows it.
    if (!m_nTimerId) m_roll.BuildStillFrameOnce(rcClient.size());
    const QImage& canvas = m_roll.Canvas();
    if (canvas.isNull()) {
        painter.fillRect(rcClient, m_roll.Color(0)); // before the first tick
        return;
    }
    const QRect rcCopy = pEvent->rect() & rcClient;
    painter.drawImage(rcCopy.topLeft(), canvas, rcCopy.translated(-rcClient.topLeft()));
}

void CCreditsScroller::timerEvent(QTimerEvent* pEvent) {
    if (!m_nTimerId || pEvent->timerId() != m_nTimerId) {
        framework::CStatic::timerEvent(pEvent);
        return;
    }
    framework::RunReportingErrors([this] {
        const QRect rcClient = contentsRect();
        QRect rcChanged;
        try {
            rcChanged = m_roll.Tick(rcClient.size(), m_nTicksPerFrame);
        } catch (...) {
            // Stopped before the report: its message box must not meet
            // another failing tick every few milliseconds.
            killTimer(m_nTimerId);
            m_nTimerId = 0;
            // The canvas as far as the frame got, once the report is read.
            update(rcClient);
            throw;
        }
        // Painted within this timer message: a posted paint would wake the
        // process a second time each frame.
        repaint(rcChanged.translated(rcClient.topLeft()));
    });
}
