#pragma once

#include "platform/DispatchContract.h"

#include <QUuid>

#include <memory>
#include <stdexcept>

namespace platform {

// A failed dispatch call; carries the server's own message.
class DispatchError : public std::runtime_error {
public:
    explicit DispatchError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// Holds one server instance and makes late-bound calls on it by DISPID.
// Failures, including a call without an instance, raise DispatchError.
class DispatchDriver {
public:
    DispatchDriver() = default;
    DispatchDriver(DispatchDriver&&) = default;
    DispatchDriver& operator=(DispatchDriver&&) = default;
    virtual ~DispatchDriver() = default;

    // Creates an instance of the class; false (holding nothing) on failure.
    bool CreateDispatch(const QUuid& clsid, QString* whyNot = nullptr);
    void AttachDispatch(std::unique_ptr<dispatch::IDispatchObject> object);
    void ReleaseDispatch();
    bool IsValid() const { return m_object != nullptr; }

    QVariant InvokeHelper(int dispid, dispatch::InvokeKind kind, const QVariantList& args = {});
    QVariant GetProperty(int dispid);
    void SetProperty(int dispid, const QVariant& value);
    // What the server said beside its last answer (why a save answered
    // FALSE); empty when it said nothing.
    const QString& LastReason() const { return m_strLastReason; }

private:
    std::unique_ptr<dispatch::IDispatchObject> m_object;
    QString m_strLastReason;
};

} // namespace platform
