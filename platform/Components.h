#pragma once

#include "platform/DispatchContract.h"

#include <QUuid>

class QLibrary;

#include <functional>
#include <memory>
#include <optional>

namespace platform {

// Prepares the component layer for this process: the registry must be
// reachable. False when it is not; `notice` receives what the user should
// know even so (a hive that could not be read and is left untouched).
bool CoInitialize(QString* notice);

// The braced, upper-case text form of a class identifier.
QString StringFromCLSID(const QUuid& clsid);
std::optional<QUuid> CLSIDFromString(const QString& text);
// HKEY_CLASSES_ROOT\<ProgID>\CLSID, default value.
std::optional<QUuid> CLSIDFromProgID(const QString& progId);
// HKEY_CLASSES_ROOT\CLSID\{...}\ProgID, default value.
std::optional<QString> ProgIDFromCLSID(const QUuid& clsid);

using ClassFactory = std::function<std::unique_ptr<dispatch::IDispatchObject>()>;

// Registers a class served from inside this process for as long as the
// object lives; creation then finds it before any library. Tests use it to
// put a fake server behind the real registry and component layers.
class InProcessClass {
public:
    InProcessClass(const QUuid& clsid, const ClassFactory& factory);
    ~InProcessClass();
    InProcessClass(const InProcessClass&) = delete;
    InProcessClass& operator=(const InProcessClass&) = delete;

private:
    QUuid m_clsid;
};

// Creates an instance of the class: an in-process class first, otherwise
// the library registered under HKEY_CLASSES_ROOT\CLSID\{...}\InprocServer32.
// Null on failure, with the reason in `whyNot`.
std::unique_ptr<dispatch::IDispatchObject> CreateInstance(const QUuid& clsid,
                                                          QString* whyNot = nullptr);

// Loads the library set on `library` and checks that it is a widget server
// of this contract version; false with the reason otherwise.
bool LoadServerLibrary(QLibrary& library, QString* whyNot);

// String resource `id` of the module behind a server's module handle;
// empty when the module or the string does not exist.
QString LoadModuleString(qint64 moduleHandle, int id);

} // namespace platform
