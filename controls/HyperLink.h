#pragma once

#include "framework/Static.h"

#include <QCursor>

#include <optional>

// A static text made a web-style link: drawn underlined in the link colour,
// in the hover colour while the pointer is over it, and opened with the
// shell on a click. Template class name "CHyperLink".
class CHyperLink : public framework::CStatic {
    Q_OBJECT
public:
    enum State { kNormal = 0, kVisited = 1, kHover = 2 };

    explicit CHyperLink(QWidget* pParent = nullptr);

    void SetURL(const QString& strURL) { m_strURL = strURL; }
    // True when the shell took the request.
    bool OpenTarget();
    // Enters or leaves the hover state, remembering the state it left.
    void SetHover(bool bHover);
    int GetState() const { return m_nState; }

protected:
    QBrush CtlColor(framework::CtlColorDC& dc) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;

private:
    QString m_strURL;
    QCursor m_hLinkCursor{Qt::ArrowCursor};
    QColor m_crLink{0, 0, 255};
    QColor m_crVisited{0, 0, 255};
    QColor m_crHover{255, 0, 0};
    int m_nState = kNormal;
    int m_nSavedState = kNormal;
    std::optional<QFont> m_fontUnderline;
};
