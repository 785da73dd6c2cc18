#pragma once

#include "framework/Dialog.h"
#include "output/publishing/Page.h"

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
    bool m_bCopySupportFiles = false;
    // The page: how its bytes became the box's text and become bytes again;
    // its text is the box's only while the page is read or written.
    Page m_page;

    void OnInsert();
    // Replaces the block the caret is in, or else every block of this widget,
    // with the widget's code now: one action, which Undo takes back.
    void OnUpdate();
    // Shows the box's text as it stands in the preview browser, its links
    // resolved against the page's folder; the page itself is not touched.
    void OnPreview();
    void OnUndo();

protected:
    bool OnInitDialog() override;
    // Writes the page; on failure says why and stays open with the text.
    void OnOK() override;
    void DoDataExchange(framework::CDataExchange* pDX) override;

private:
    bool LoadPage();
    // The page changed on disk while the dialog was open: asks whether to
    // reload it (the insertions put in again), overwrite it, or go back.
    // True to go on writing the box's text.
    bool resolveChangeOnDisk(const QString& why);
    // Reads the page again and puts this dialog's insertions back where they
    // were (the same line and column, or the nearest that is there).
    void reloadKeepingInsertions();
    // Says how many marked blocks the page holds, and of this widget.
    void showBlocks(const BlockScan& scan);
    // A page that exists but could not be read must not be replaced by the box.
    void refuseOk();

    // An insertion made in the box: where, and what.
    struct Inserted {
        qsizetype nLine;   // from 0
        qsizetype nColumn; // bytes into the line
        QByteArray block;
    };
    QList<Inserted> m_arrInserted;
    bool m_bUndoTakesInsertion = false;
};
