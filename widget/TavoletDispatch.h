#pragma once

#include "platform/DispatchDriver.h"

#include <QDateTime>

// Typed calls of the widget server's dispatch interface, one per DISPID.
// A failed call, or a result of the wrong type, raises platform::DispatchError.
class TavoletDispatch : public platform::DispatchDriver {
public:
    QString OwnerProgID();
    void SetOwnerProgID(const QString& progId);
    QString Name();
    void SetName(const QString& name);
    QString Description();
    void SetDescription(const QString& description);
    void SetAuxText(const QString& text);
    void SetSaveTime(const QDateTime& time);
    bool LoadFromFile(const QString& path);
    bool SaveToFile(const QString& path);
    bool Configure();
    int TitleStringID();
    int CodePartCount();
    QString CodePartName(int index);
    QString CodePartText(int index, int mode);
    qint64 ResourceModule();
    int SupportFileCount();
    QString SupportFileName(int index);
    QString SupportFileSource(int index);
    QString SupportFileWebPath(int index);
    bool SaveWithSupportFiles(const QString& path, int flag);
    // Optional: empty when the server has no identities.
    QString WidgetIdentity();
    void RenewWidgetIdentity();

private:
    bool callOptional(int dispid, dispatch::InvokeKind kind, const QVariantList& args,
                      QVariant* value = nullptr);
    QString callString(int dispid, dispatch::InvokeKind kind, const QVariantList& args = {});
    bool callBool(int dispid, const QVariantList& args = {});
    qint64 callInteger(int dispid, const QVariantList& args = {});
};
