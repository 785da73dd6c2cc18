#pragma once

#include "framework/Dialog.h"
#include "widget/Tavolet.h"

class QListWidget;

// Chooses the name and description under which the current widget is
// stored as a template, and shows the file it will become.
class CSaveTemplateDlg : public framework::CDialog {
    Q_OBJECT
public:
    CSaveTemplateDlg();

    CTavolet m_scratch;
    QListWidget* m_lbTemplates = nullptr;
    QString m_strDescription;
    QString m_strName;
    QString m_strPath;

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(framework::CDataExchange* pDX) override;

private:
    void OnChangeName();
    void computePath();
};
