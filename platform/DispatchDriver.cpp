#include "platform/DispatchDriver.h"

#include "platform/Components.h"

namespace platform {

bool DispatchDriver::CreateDispatch(const QUuid& clsid, QString* whyNot) {
    m_object = CreateInstance(clsid, whyNot);
    return IsValid();
}

void DispatchDriver::AttachDispatch(std::unique_ptr<dispatch::IDispatchObject> object) {
    m_object = std::move(object);
}

void DispatchDriver::ReleaseDispatch() {
    m_object.reset();
}

QVariant DispatchDriver::InvokeHelper(int dispid, dispatch::InvokeKind kind,
                                      const QVariantList& args) {
    if (!m_object) throw DispatchError(QStringLiteral("The widget server is not running."));
    dispatch::InvokeResult result = m_object->Invoke(dispid, kind, args);
    m_strLastReason = result.ok ? result.error : QString();
    if (!result.ok) {
        throw DispatchError(result.error.isEmpty()
                                ? QStringLiteral("The widget server failed call %1.").arg(dispid)
                                : result.error);
    }
    return result.value;
}

QVariant DispatchDriver::GetProperty(int dispid) {
    return InvokeHelper(dispid, dispatch::InvokeKind::PropertyGet);
}

void DispatchDriver::SetProperty(int dispid, const QVariant& value) {
    InvokeHelper(dispid, dispatch::InvokeKind::PropertyPut, {value});
}

} // namespace platform
