// A server library written against another contract version.
#include "platform/DispatchContract.h"

extern "C" __attribute__((visibility("default"))) const char* TavoletContractVersion() {
    return "Vellwick.Dispatch/0";
}
extern "C" __attribute__((visibility("default"))) dispatch::IDispatchObject*
DllCreateInstance(const char*) {
    return nullptr;
}
