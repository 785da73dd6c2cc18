#pragma once

#include "framework/Dialog.h"
#include "widget/Tavolet.h"

class QListWidget;

// Renames, re-describes and deletes the templates of the widget server.
// Every change is made at once; OK only closes the dialog.
class CManageTemplatesDlg : public framework::CDialog {
    Q_OBJECT
public:
    CManageTemplatesDlg();

    CTavolet m_scratch;
    QList<TemplateEntry> m_arrTemplates;
    QListWidget* m_lbTemplates = nullptr;
    QString m_strName;
    int m_nSelected = -1;
    QString m_strDescription;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(framework::CDataExchange* pDX) override;

private:
    void OnRename();
    void OnDelete();
    void OnSelchangeTemplates();
    void listTemplates();
    // True when an entry is selected; tells the user otherwise.
    bool hasSelection() const;
    void showEntry(int nIndex);
};
