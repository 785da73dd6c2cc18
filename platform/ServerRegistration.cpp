#include "platform/ServerRegistration.h"

#include "platform/Components.h"
#include "platform/DispatchContract.h"
#include "platform/Registry.h"

#include <QFileInfo>
#include <QLibrary>

namespace platform {

namespace {

// Calls `each` for every class of the library; false with `error` set when
// the library is no widget server.
template <typename Each>
bool forEachClass(const QString& libraryPath, QString* error, Each each) {
    const QString path = QFileInfo(libraryPath).absoluteFilePath();
    QLibrary library(path);
    if (!LoadServerLibrary(library, error)) return false;
    const auto info =
        reinterpret_cast<DllRegistrationInfoFn>(library.resolve(TAVOLET_ENTRY_REGISTRATION_INFO));
    if (!info) {
        *error = "The library " + path + " is not a widget server.";
        return false;
    }
    int count = 0;
    for (int i = 0; const dispatch::ServerRegistration* entry = info(i); ++i, ++count) {
        const auto clsid = CLSIDFromString(QString::fromUtf8(entry->clsid));
        if (!clsid || !entry->progId || !*entry->progId) {
            *error = path + " declares a class without a valid identifier.";
            return false;
        }
        if (!each(path, *clsid, QString::fromUtf8(entry->progId),
                  QString::fromUtf8(entry->description ? entry->description : ""))) {
            *error = "Cannot write the registry for " + path + ".";
            return false;
        }
    }
    if (count == 0) *error = path + " declares no classes.";
    return count > 0;
}

} // namespace

bool RegisterServerLibrary(Registry& registry, const QString& libraryPath, QString* error) {
    return forEachClass(libraryPath, error,
                        [&](const QString& path, const QUuid& clsid, const QString& progId,
                            const QString& description) {
                            const QString key = "CLSID\\" + StringFromCLSID(clsid);
                            const auto root = RootKey::ClassesRoot;
                            return registry.writeString(root, progId, {}, description) &&
                                   registry.writeString(root, progId + "\\CLSID", {},
                                                        StringFromCLSID(clsid)) &&
                                   registry.writeString(root, key, {}, description) &&
                                   registry.writeString(root, key + "\\ProgID", {}, progId) &&
                                   registry.writeString(root, key + "\\InprocServer32", {}, path);
                        });
}

bool UnregisterServerLibrary(Registry& registry, const QString& libraryPath, QString* error) {
    return forEachClass(libraryPath, error,
                        [&](const QString&, const QUuid& clsid, const QString& progId,
                            const QString&) {
                            const auto root = RootKey::ClassesRoot;
                            registry.deleteKey(root, progId);
                            registry.deleteKey(root, "CLSID\\" + StringFromCLSID(clsid));
                            return true;
                        });
}

} // namespace platform
