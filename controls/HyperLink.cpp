#include "controls/HyperLink.h"

#include "framework/ErrorReport.h"
#include "framework/Prompts.h"

#include <QGuiApplication>
#include <QMouseEvent>

namespace {
// The wait cursor for a scope, put back however the scope ends.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
} // namespace

CHyperLink::CHyperLink(QWidget* pParent) : framework::CStatic(pParent) {
    setCursor(m_hLinkCursor);
    // Mouse moves without a button reach a widget only when it asks for them.
    setMouseTracking(true);
    // Like any static made without the notify style, it lets the mouse
    // through to its parent until its first paint says otherwise.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QBrush CHyperLink::CtlColor(framework::CtlColorDC& dc) {
    if (testAttribute(Qt::WA_TransparentForMouseEvents))
        setAttribute(Qt::WA_TransparentForMouseEvents, false);
    if (!m_fontUnderline) {
        m_fontUnderline = dc.font;
        m_fontUnderline->setUnderline(true);
    }
    dc.font = *m_fontUnderline;
    dc.crText = m_nState == kHover ? m_crHover : m_nState == kVisited ? m_crVisited : m_crLink;
    return Qt::NoBrush; // the dialog shows through
}

void CHyperLink::SetHover(bool bHover) {
    if (bHover == (m_nState == kHover)) return;
    if (bHover) {
        m_nSavedState = m_nState;
        m_nState = kHover;
    } else {
        m_nState = m_nSavedState;
    }
    update();
}

void CHyperLink::mouseMoveEvent(QMouseEvent* pEvent) {
    framework::RunReportingErrors([&] {
        const bool bInside = rect().contains(pEvent->position().toPoint());
        // Captured while hovering, so that the move that leaves arrives here.
        if (bInside && m_nState != kHover) {
            grabMouse();
            SetHover(true);
        } else if (!bInside && m_nState == kHover) {
            SetHover(false);
            releaseMouse();
        }
    });
    framework::CStatic::mouseMoveEvent(pEvent);
}

void CHyperLink::mousePressEvent(QMouseEvent* pEvent) {
    if (pEvent->button() != Qt::LeftButton) {
        framework::CStatic::mousePressEvent(pEvent);
        return;
    }
    pEvent->accept();
    framework::RunReportingErrors([this] {
        if (!OpenTarget()) return;
        // A hovered link keeps the hover colour until the pointer leaves.
        if (m_nState == kHover) {
            m_nSavedState = kVisited;
        } else {
            m_nState = kVisited;
            update();
        }
    });
}

bool CHyperLink::OpenTarget() {
    const WaitCursor wait;
    return framework::OpenOrSay(m_strURL);
}
