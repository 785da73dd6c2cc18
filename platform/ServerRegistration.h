#pragma once
#include <QString>

namespace platform {

class Registry;

// Writes (or removes) the per-user class keys of every class a server
// library declares: <ProgID>\CLSID, CLSID\{...}\ProgID and
// CLSID\{...}\InprocServer32 with the library's absolute path.
bool RegisterServerLibrary(Registry& registry, const QString& libraryPath, QString* error);
bool UnregisterServerLibrary(Registry& registry, const QString& libraryPath, QString* error);

} // namespace platform
