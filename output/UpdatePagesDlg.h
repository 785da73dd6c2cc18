#pragma once

#include "framework/Dialog.h"
#include "output/publishing/SiteUpdate.h"

class CTavolet;
class QTreeWidget;

// Update Published Pages: lists the pages of a folder that hold blocks of
// the widget, each ticked, with a block before and after; Update rewrites
// the ticked ones and the list then says what became of each.
class CUpdatePagesDlg : public framework::CDialog {
    Q_OBJECT
public:
    CUpdatePagesDlg();

    // Asks for a folder, finds the widget's pages in it and, if there are
    // any, runs the dialog on them.
    static void Run(CTavolet& tavolet);

    CTavolet* m_pTavolet = nullptr;
    QString m_strFolder;
    QString m_strIdentity;
    QList<PublishedPage> m_arrPages;
    // Pages passed over while scanning, each with its reason.
    QList<PageOutcome> m_arrSkipped;
    // Of those, the pages and folders the walk could not examine at all.
    int m_nUnexamined = 0;
    bool m_bCopySupportFiles = true;
    // File name endings taken as pages beside .htm, .html, .xhtml and .shtml
    // ("php, tpl"), as the user gave them; remembered in the profile.
    QString m_strExtensions;
    QTreeWidget* m_listPages = nullptr;
    // What the last Update did, page by page.
    QList<PageOutcome> m_arrOutcomes;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(framework::CDataExchange* pDX) override;
    // Update: rewrites the ticked pages; the dialog stays to show the outcome.
    void OnOK() override;

private:
    // Finds the widget's pages in the folder again; how many were looked
    // at, or -1 when the user cancelled.
    int scan();
    void fillList();
    void OnLookAgain();
    void OnSelchangePages();
    void showOutcome(int nRow, const PageOutcome& outcome);
};
