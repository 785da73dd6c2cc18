#pragma once
#include "GlimmerWidget.h"
#include "SupportFiles.h"
#include "platform/DispatchContract.h"

// One widget instance as the host sees it: the dispatch object behind the
// ProgID. It owns the widget state and answers the DISPIDs of the contract,
// one handler per operation.
class ServerObject : public dispatch::IDispatchObject {
public:
    static constexpr int TitleStringId = 101;

    ServerObject();

    dispatch::InvokeResult Invoke(int dispid, dispatch::InvokeKind kind,
                                  const QVariantList& args) override;

    const GlimmerWidget& widget() const { return m_widget; }

private:
    using Result = dispatch::InvokeResult;
    using Kind = dispatch::InvokeKind;
    using Handler = Result (ServerObject::*)(Kind, const QVariantList&);
    struct Operation {
        int dispid;
        bool isProperty;
        Handler handler;
    };
    static const Operation* find(int dispid);

    Result onOwnerProgId(Kind kind, const QVariantList& args);
    Result onName(Kind kind, const QVariantList& args);
    Result onDescription(Kind kind, const QVariantList& args);
    Result onAuxText(Kind kind, const QVariantList& args);
    Result onSaveTime(Kind kind, const QVariantList& args);
    Result onLoadFromFile(Kind kind, const QVariantList& args);
    Result onSaveToFile(Kind kind, const QVariantList& args);
    Result onSaveWithSupportFiles(Kind kind, const QVariantList& args);
    Result onConfigure(Kind kind, const QVariantList& args);
    Result onTitleStringId(Kind kind, const QVariantList& args);
    Result onResourceModule(Kind kind, const QVariantList& args);
    Result onCodePartCount(Kind kind, const QVariantList& args);
    Result onCodePartName(Kind kind, const QVariantList& args);
    Result onCodePartText(Kind kind, const QVariantList& args);
    Result onSupportFileCount(Kind kind, const QVariantList& args);
    Result onSupportFileName(Kind kind, const QVariantList& args);
    Result onSupportFileSource(Kind kind, const QVariantList& args);
    Result onSupportFileWebPath(Kind kind, const QVariantList& args);
    Result onWidgetIdentity(Kind kind, const QVariantList& args);

    Result stringProperty(QString& value, Kind kind, const QVariantList& args);
    Result supportFile(const QVariantList& args, QString SupportFile::*field);
    Result save(const QString& path, bool withSupportFiles);

    GlimmerWidget m_widget;
};
