#pragma once

#include "framework/Dialog.h"

class CTavolet;
class QTreeWidget;

// Lists the image, audio and class files the widget's code refers to and
// copies the selected ones into a folder.
class CSupportFilesDlg : public framework::CDialog {
    Q_OBJECT
public:
    CSupportFilesDlg();

    CTavolet* m_pTavolet = nullptr;
    QTreeWidget* m_listFiles = nullptr;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(framework::CDataExchange* pDX) override;

private:
    void OnCopyTo();
};
