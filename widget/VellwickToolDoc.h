#pragma once

#include "framework/Document.h"
#include "widget/Tavolet.h"

#include <memory>

// The one document: owns the widget being edited, made anew on every New
// and Open, and asks the widget server to load and save widget files.
class CVellwickToolDoc : public framework::CDocument {
    Q_OBJECT
public:
    CVellwickToolDoc();
    ~CVellwickToolDoc() override;

    bool OnNewDocument() override;
    bool OnOpenDocument(const QString& path) override;
    bool OnSaveDocument(const QString& path) override;
    void DeleteContents() override;

    // A widget with a running server: what every widget command needs.
    // After a failed Open there is none; after a failed New the wrapper has
    // no server. Commands check this instead of reaching a missing widget.
    bool HasWidget() const { return m_pTavolet && m_pTavolet->HasServer(); }

    void OnSaveAsTemplate();
    void OnSupportFiles();
    void OnUpdateSupportFiles(framework::CCmdUI& ui);
    void OnViewSample();

    std::unique_ptr<CTavolet> m_pTavolet;
    bool m_bFirstNew = true;
    // The widget file opened held no identity, so the server gave the widget
    // a new one that only saving the file keeps: blocks published before it
    // is saved would be found by no later update.
    bool m_bNewIdentity = false;
    // The widget's code went onto a page or the clipboard: a new identity in
    // it is then a change to save, and the usual question about saving asks.
    void OnCodePublished();

private:
    bool createWidget();
    bool hasNewIdentity(const QString& path);
    void sendConfigure();
};
