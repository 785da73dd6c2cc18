// The C entry points through which the host finds, registers and creates
// the Glimmerkey widget server.
#include "ServerObject.h"

#define SERVER_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr char kClsid[] = "{6F1D2C9A-3B7E-4E52-9A61-2C0B8D4E7F15}";
constexpr dispatch::ServerRegistration kRegistration{kClsid, GlimmerProgId, "Glimmerkey"};

} // namespace

SERVER_EXPORT const char* TavoletContractVersion() {
    return TAVOLET_DISPATCH_CONTRACT;
}

SERVER_EXPORT dispatch::IDispatchObject* DllCreateInstance(const char* clsid) {
    if (!clsid || qstricmp(clsid, kClsid) != 0) return nullptr;
    return new ServerObject;
}

SERVER_EXPORT const dispatch::ServerRegistration* DllRegistrationInfo(int index) {
    return index == 0 ? &kRegistration : nullptr;
}

SERVER_EXPORT const char* DllLoadString(int id) {
    return id == ServerObject::TitleStringId ? "Glimmerkey" : nullptr;
}
