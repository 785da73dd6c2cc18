#pragma once

#include "framework/Dialog.h"
#include "output/PageText.h"

class CPageEditor;
class CTavolet;
class QPushButton;

// Shows a page as editable text so that the user places the caret, drops
// the widget's code there between two marker comments, and on OK writes the
// page back from the box, placing the support files beside it if asked.
class CInsertIntoPageDlg : public framework::CDialog {
    Q_OBJECT
public:
    CInsertIntoPageDlg();

    CTavolet* m_pTavolet = nullptr;
    QString m_strPagePath;
    int m_nCodeMode = 0;
    QPushButton* m_btnUndo = nullptr;
    CPageEditor* m_editPage = nullptr;
    // What the box holds, as the editor holds it (see PageText).
    QByteArray m_strPageText;
    bool m_bCopySupportFiles = false;
    // How the page's bytes became the box's text, and become bytes again.
    PageText m_page;

    void OnInsert();
    void OnUndo();

protected:
    bool OnInitDialog() override;
    // Writes the page; on failure says why and stays open with the text.
    void OnOK() override;
    void DoDataExchange(framework::CDataExchange* pDX) override;

private:
    bool LoadPageText();
    // A page that exists but could not be read must not be replaced by the box.
    void refuseOk();
};
