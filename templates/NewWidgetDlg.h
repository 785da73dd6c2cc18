#pragma once

#include "framework/Dialog.h"
#include "widget/Tavolet.h"

class QListWidget;

// Names and describes a new widget and picks the template it starts from.
class CNewWidgetDlg : public framework::CDialog {
    Q_OBJECT
public:
    CNewWidgetDlg();

    QListWidget* m_lbTemplates = nullptr;
    QString m_strDescription;
    QString m_strName;
    int m_nSelected = -1;
    QString m_strTemplateInfo;
    CTavolet* m_pTavolet = nullptr;
    CTavolet m_scratch;
    QList<TemplateEntry> m_arrTemplates;

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(framework::CDataExchange* pDX) override;

private:
    void OnSelchangeTemplates();
};
