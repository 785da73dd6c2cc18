#pragma once

#include "framework/View.h"

class CVellwickToolDoc;
class QLabel;

// The main window's view: shows the current widget and runs the commands
// that act on it.
class CVellwickToolView : public framework::CView {
    Q_OBJECT
public:
    CVellwickToolView();

    CVellwickToolDoc* GetDocument() const;
    void OnInitialUpdate() override;

    void OnConfigure();

private:
    void showWidgetState();

    QLabel* m_labelWidget = nullptr;
};
