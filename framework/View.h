#pragma once

#include "framework/CommandTarget.h"

#include <QWidget>

namespace framework {

class CDocument;

// The window half of the single-document host: shows the document and
// handles commands before the document does.
class CView : public QWidget, public CCommandTarget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    CDocument* GetDocument() const { return m_pDocument; }
    // Once, when the frame is first shown with its document.
    virtual void OnInitialUpdate() {}

private:
    friend class CFrameWnd;
    CDocument* m_pDocument = nullptr;
};

} // namespace framework
