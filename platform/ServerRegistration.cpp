#include "platform/ServerRegistration.h"

#include "platform/Components.h"
#include "platform/DispatchContract.h"
#include "platform/Registry.h"

#include <QFileInfo>
#include <QLibrary>
#include <QVector>

namespace platform {

namespace {

struct ServerClass {
    QUuid clsid;
    QString progId;
    QString description;
};

// The classes the library at `path` (absolute) declares; false with `error`
// set when it is no widget server of this contract.
bool readClasses(const QString& path, QVector<ServerClass>* classes, QString* error) {
    QLibrary library(path);
    if (!LoadServerLibrary(library, error)) return false;
    const auto info =
        reinterpret_cast<DllRegistrationInfoFn>(library.resolve(TAVOLET_ENTRY_REGISTRATION_INFO));
    if (!info) {
        *error = "The library " + path + " is not a widget server.";
        return false;
    }
    for (int i = 0; const dispatch::ServerRegistration* entry = info(i); ++i) {
        const auto clsid = CLSIDFromString(QString::fromUtf8(entry->clsid));
        if (!clsid || !entry->progId || !*entry->progId) {
            *error = path + " declares a class without a valid identifier.";
            return false;
        }
        classes->append({*clsid, QString::fromUtf8(entry->progId),
                         QString::fromUtf8(entry->description ? entry->description : "")});
    }
    if (classes->isEmpty()) *error = path + " declares no classes.";
    return !classes->isEmpty();
}

// Every class of the library, made into one registry change by `describe`,
// so that an interrupted registration never leaves half of one.
template <typename Describe>
bool changeRegistration(Registry& registry, const QString& libraryPath, QString* error,
                        Describe describe) {
    QString ignored;
    if (!error) error = &ignored;
    const QFileInfo file(libraryPath);
    const QString path = file.absoluteFilePath();
    // Checked here: a missing file would send QLibrary guessing other names.
    if (!file.isFile()) {
        *error = "The library " + path + " does not exist.";
        return false;
    }
    QVector<ServerClass> classes;
    if (!readClasses(path, &classes, error)) return false;
    RegistryChange change;
    for (const ServerClass& serverClass : classes)
        describe(change, path, serverClass);
    if (!registry.apply(RootKey::ClassesRoot, change)) {
        *error = "Cannot write the registry for " + path + ".";
        return false;
    }
    return true;
}

} // namespace

bool RegisterServerLibrary(Registry& registry, const QString& libraryPath, QString* error) {
    return changeRegistration(
        registry, libraryPath, error,
        [](RegistryChange& change, const QString& path, const ServerClass& c) {
            const QString key = "CLSID\\" + StringFromCLSID(c.clsid);
            change.writeString(c.progId, {}, c.description)
                .writeString(c.progId + "\\CLSID", {}, StringFromCLSID(c.clsid))
                .writeString(key, {}, c.description)
                .writeString(key + "\\ProgID", {}, c.progId)
                .writeString(key + "\\InprocServer32", {}, path);
        });
}

bool UnregisterServerLibrary(Registry& registry, const QString& libraryPath, QString* error) {
    return changeRegistration(registry, libraryPath, error,
                              [](RegistryChange& change, const QString&, const ServerClass& c) {
                                  change.deleteKey(c.progId).deleteKey("CLSID\\" +
                                                                       StringFromCLSID(c.clsid));
                              });
}

} // namespace platform
