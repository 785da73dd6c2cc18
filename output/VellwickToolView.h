#pragma once

#include "controls/ColorFormView.h"

#include <array>

class CColorStatic;
class CVellwickToolDoc;
class QLineEdit;
struct PreviewBrowser;

namespace framework {
class CBitmapButton;
}

// The main window's form: three steps with their pictures, texts and image
// buttons (make or open a widget, configure it, bring it onto a page). It
// owns no data; every command works on the document's widget.
class CVellwickToolView : public CColorFormView {
    Q_OBJECT
public:
    CVellwickToolView();

    CVellwickToolDoc* GetDocument() const;
    void OnInitialUpdate() override;

    void OnConfigure();
    void OnCopyCode();
    void OnNewPage();
    void OnInsertInto();
    // F12: a preview in the browser chosen last.
    void OnPreviewInBrowser();
    // Preview With: a preview in `browser`, which F12 uses from then on.
    void OnPreviewWith(const PreviewBrowser& browser);
    void PutTextOnClipboard(const QString& strText);
    void OnRenameWidget();
    void OnMoreInformation();

    // Element i is bound to control 1051 - i.
    std::array<CColorStatic*, 6> m_tipTexts{};
    QLineEdit* m_editClipboard = nullptr;
    framework::CBitmapButton* m_btnOpen = nullptr;
    framework::CBitmapButton* m_btnNewPage = nullptr;
    framework::CBitmapButton* m_btnNew = nullptr;
    framework::CBitmapButton* m_btnMoreInfo = nullptr;
    framework::CBitmapButton* m_btnInsertInto = nullptr;
    framework::CBitmapButton* m_btnConfigure = nullptr;
    framework::CBitmapButton* m_btnCopyCode = nullptr;

protected:
    void DoDataExchange(framework::CDataExchange* pDX) override;

private:
    bool startEditor(const QString& strPage);
    QString writePreview();
};
