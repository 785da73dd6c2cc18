#pragma once
#include "GlimmerWidget.h"
#include "platform/DispatchContract.h"

// One widget instance as the host sees it: the dispatch object behind the
// ProgID. It owns the widget state and answers the DISPIDs of the contract.
class ServerObject : public dispatch::IDispatchObject {
public:
    enum DispId {
        OwnerProgID = 1,
        Name = 2,
        Description = 3,
        AuxText = 5,
        SaveTime = 6,
        LoadFromFile = 7,
        SaveToFile = 8,
        Configure = 9,
        TitleStringID = 11,
        CodePartCount = 17,
        CodePartName = 18,
        CodePartText = 19,
        ResourceModule = 20,
        SupportFileCount = 21,
        SupportFileName = 22,
        SupportFileSource = 23,
        SupportFileWebPath = 24,
        SaveWithSupportFiles = 28,
    };
    static constexpr int TitleStringId = 101;

    dispatch::InvokeResult Invoke(int dispid, dispatch::InvokeKind kind, const QVariantList& args) override;

    const GlimmerWidget& widget() const { return m_widget; }

private:
    dispatch::InvokeResult stringProperty(QString& value, dispatch::InvokeKind kind, const QVariantList& args);
    dispatch::InvokeResult save(const QString& path, bool withSupportFiles);
    dispatch::InvokeResult configure();

    GlimmerWidget m_widget;
};
