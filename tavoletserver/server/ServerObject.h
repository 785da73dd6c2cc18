#pragma once
#include "GlimmerWidget.h"
#include "platform/DispatchContract.h"

// One widget instance as the host sees it: the dispatch object behind the
// ProgID. It owns the widget state and answers the DISPIDs of the contract.
class ServerObject : public dispatch::IDispatchObject {
public:
    static constexpr int TitleStringId = 101;

    dispatch::InvokeResult Invoke(int dispid, dispatch::InvokeKind kind,
                                  const QVariantList& args) override;

    const GlimmerWidget& widget() const { return m_widget; }

private:
    dispatch::InvokeResult stringProperty(QString& value, dispatch::InvokeKind kind,
                                          const QVariantList& args);
    dispatch::InvokeResult save(const QString& path, bool withSupportFiles);
    dispatch::InvokeResult configure();

    GlimmerWidget m_widget;
};
