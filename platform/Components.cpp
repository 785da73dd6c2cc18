#include "platform/Components.h"

#include "platform/Registry.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>

#include <dlfcn.h>

namespace platform {

namespace {

QHash<QUuid, ClassFactory>& inProcessClasses() {
    static QHash<QUuid, ClassFactory> classes;
    return classes;
}

QString classKey(const QUuid& clsid) {
    return "CLSID\\" + StringFromCLSID(clsid);
}

std::unique_ptr<dispatch::IDispatchObject> createFromLibrary(const QUuid& clsid, QString* whyNot) {
    const auto path = Registry::instance().readString(RootKey::ClassesRoot,
                                                      classKey(clsid) + "\\InprocServer32", {});
    if (!path || path->isEmpty()) {
        *whyNot = "No server library is registered for " + StringFromCLSID(clsid) + ".";
        return nullptr;
    }
    // Never through the library search path: a relative name could load
    // whatever library of that name comes first.
    if (!QDir::isAbsolutePath(*path) || !QFileInfo(*path).isFile()) {
        *whyNot = "The server library registered for " + StringFromCLSID(clsid) + ", " + *path +
                  ", is not an existing file with an absolute path.";
        return nullptr;
    }
    // Never unloaded: objects and Qt types of the library may outlive any scope here.
    QLibrary library(*path);
    if (!LoadServerLibrary(library, whyNot)) return nullptr;
    const auto create =
        reinterpret_cast<DllCreateInstanceFn>(library.resolve(TAVOLET_ENTRY_CREATE_INSTANCE));
    if (!create) {
        library.unload();
        *whyNot = "The library " + *path + " is not a widget server.";
        return nullptr;
    }
    std::unique_ptr<dispatch::IDispatchObject> object(
        create(StringFromCLSID(clsid).toUtf8().constData()));
    if (!object) *whyNot = "The server library " + *path + " cannot create the class.";
    return object;
}

} // namespace

bool CoInitialize(QString* notice) {
    Registry& registry = Registry::instance();
    if (!QDir().mkpath(registry.folder())) return false;
    const QStringList corrupt = registry.corruptHives();
    if (!notice) return true;
    notice->clear();
    if (!corrupt.isEmpty())
        *notice = "These registry files cannot be read and are left untouched; the settings "
                  "and registrations in them are not available:\n" +
                  corrupt.join(QLatin1Char('\n'));
    return true;
}

QString StringFromCLSID(const QUuid& clsid) {
    return clsid.toString(QUuid::WithBraces).toUpper();
}

std::optional<QUuid> CLSIDFromString(const QString& text) {
    const QUuid id = QUuid::fromString(text.trimmed());
    if (id.isNull()) return std::nullopt;
    return id;
}

std::optional<QUuid> CLSIDFromProgID(const QString& progId) {
    if (progId.isEmpty()) return std::nullopt;
    const auto text = Registry::instance().readString(RootKey::ClassesRoot, progId + "\\CLSID", {});
    return text ? CLSIDFromString(*text) : std::nullopt;
}

std::optional<QString> ProgIDFromCLSID(const QUuid& clsid) {
    auto progId =
        Registry::instance().readString(RootKey::ClassesRoot, classKey(clsid) + "\\ProgID", {});
    if (!progId || progId->isEmpty()) return std::nullopt;
    return progId;
}

InProcessClass::InProcessClass(const QUuid& clsid, const ClassFactory& factory) : m_clsid(clsid) {
    inProcessClasses().insert(clsid, factory);
}

InProcessClass::~InProcessClass() {
    inProcessClasses().remove(m_clsid);
}

std::unique_ptr<dispatch::IDispatchObject> CreateInstance(const QUuid& clsid, QString* whyNot) {
    QString reason;
    std::unique_ptr<dispatch::IDispatchObject> object;
    if (const auto it = inProcessClasses().constFind(clsid); it != inProcessClasses().constEnd()) {
        object = (*it)();
        if (!object) reason = "The in-process class " + StringFromCLSID(clsid) + " failed.";
    } else {
        object = createFromLibrary(clsid, &reason);
    }
    if (whyNot) *whyNot = reason;
    return object;
}

bool LoadServerLibrary(QLibrary& library, QString* whyNot) {
    QString reason;
    const QString path = library.fileName();
    if (!library.load()) {
        reason = "The server library " + path + " cannot be loaded: " + library.errorString();
    } else if (const auto version = reinterpret_cast<TavoletContractVersionFn>(
                   library.resolve(TAVOLET_ENTRY_CONTRACT_VERSION));
               !version) {
        reason = "The library " + path + " is not a widget server.";
    } else if (qstrcmp(version(), TAVOLET_DISPATCH_CONTRACT) != 0) {
        reason = "The server library " + path + " speaks another contract version (" +
                 QString::fromUtf8(version()) + ").";
    }
    if (reason.isEmpty()) return true;
    // Nothing of a library we refuse may stay in the process.
    if (library.isLoaded()) library.unload();
    if (whyNot) *whyNot = reason;
    return false;
}

QString LoadModuleString(qint64 moduleHandle, int id) {
    if (moduleHandle == 0) return {};
    Dl_info info{};
    // The handle is an address by contract.
    void* address = reinterpret_cast<void*>(moduleHandle); // NOLINT(performance-no-int-to-ptr)
    if (dladdr(address, &info) == 0 || !info.dli_fname) return {};
    // RTLD_NOLOAD: only a module that is already in the process can own the handle.
    void* module = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
    if (!module) return {};
    QString text;
    if (const auto load =
            reinterpret_cast<DllLoadStringFn>(dlsym(module, TAVOLET_ENTRY_LOAD_STRING)))
        if (const char* s = load(id)) text = QString::fromUtf8(s);
    dlclose(module);
    return text;
}

} // namespace platform
