#include "output/VellwickToolView.h"

#include "framework/Application.h"
#include "framework/FrameWindow.h"
#include "res/Resource.h"
#include "widget/VellwickToolDoc.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CVellwickToolView::CVellwickToolView() {
    OnCommand(ID_CONFIGURE, [this] { OnConfigure(); });
    OnUpdateCommand(ID_CONFIGURE, [this](framework::CCmdUI& ui) {
        ui.Enable(GetDocument() && GetDocument()->HasWidget());
    });
}

CVellwickToolDoc* CVellwickToolView::GetDocument() const {
    return static_cast<CVellwickToolDoc*>(CView::GetDocument());
}

void CVellwickToolView::OnInitialUpdate() {
    auto* layout = new QVBoxLayout(this);
    m_labelWidget = new QLabel(this);
    // Widget names are the user's text, never markup.
    m_labelWidget->setTextFormat(Qt::PlainText);
    layout->addWidget(m_labelWidget);
    auto* configure = new QPushButton(QStringLiteral("Configure..."), this);
    connect(configure, &QPushButton::clicked, this, [] {
        if (framework::CFrameWnd* frame = framework::AfxGetMainWnd())
            frame->SendCommand(ID_CONFIGURE);
    });
    layout->addWidget(configure);
    layout->addStretch();
    connect(GetDocument(), &framework::CDocument::titleChanged, this,
            &CVellwickToolView::showWidgetState);
    connect(GetDocument(), &framework::CDocument::modifiedChanged, this,
            &CVellwickToolView::showWidgetState);
    showWidgetState();
}

void CVellwickToolView::showWidgetState() {
    if (!m_labelWidget) return;
    CVellwickToolDoc* document = GetDocument();
    if (!document->HasWidget()) {
        m_labelWidget->setText(tr("No widget is open. Make a new one or open a saved one."));
        return;
    }
    try {
        const QString name = document->m_pTavolet->m_dispatch.Name();
        m_labelWidget->setText(tr("Widget: %1").arg(name));
    } catch (const std::exception& error) {
        // Shown in place: this runs from change notifications, outside any command.
        m_labelWidget->setText(QString::fromUtf8(error.what()));
    }
}

void CVellwickToolView::OnConfigure() {
    CVellwickToolDoc* document = GetDocument();
    if (!document->HasWidget()) return;
    if (document->m_pTavolet->m_dispatch.Configure()) document->SetModifiedFlag(true);
}
