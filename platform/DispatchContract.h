#pragma once
// The contract between the host and an in-process widget server library.
// It is the only code a server shares with the host: a server library
// includes this header, links Qt, and exports the C entry points below.
// Changing anything here means a new contract version.

#include <QString>
#include <QVariant>
#include <QVariantList>

#define TAVOLET_DISPATCH_CONTRACT "Vellwick.Dispatch/1"

namespace dispatch {

enum class InvokeKind { Method = 1, PropertyGet = 2, PropertyPut = 4 };

// The operations a widget server answers, by DISPID.
enum DispId : int {
    DISPID_OWNER_PROGID = 1,
    DISPID_NAME = 2,
    DISPID_DESCRIPTION = 3,
    DISPID_AUX_TEXT = 5,
    DISPID_SAVE_TIME = 6,
    DISPID_LOAD_FROM_FILE = 7,
    DISPID_SAVE_TO_FILE = 8,
    DISPID_CONFIGURE = 9,
    DISPID_TITLE_STRING_ID = 11,
    DISPID_CODE_PART_COUNT = 17,
    DISPID_CODE_PART_NAME = 18,
    DISPID_CODE_PART_TEXT = 19,
    DISPID_RESOURCE_MODULE = 20,
    DISPID_SUPPORT_FILE_COUNT = 21,
    DISPID_SUPPORT_FILE_NAME = 22,
    DISPID_SUPPORT_FILE_SOURCE = 23,
    DISPID_SUPPORT_FILE_WEB_PATH = 24,
    DISPID_SAVE_WITH_SUPPORT_FILES = 28,
    // Optional; see below. Servers built before it answer it as unknown.
    DISPID_WIDGET_IDENTITY = 29,
};

// The widget's identity (DISPID_WIDGET_IDENTITY), a string property that
// lets the host tell which of a page's marked blocks a widget made.
// - Get: letters, digits and '-', 1 to 64 characters (a UUID without braces
//   will do). It stays the same across save and load, configuration and
//   renaming; a widget loaded from a file without one gets a new one.
// - Put "": the server gives the widget a new identity. The host does so
//   after loading a template as a new widget, so that two widgets made from
//   one template never share one. No other value is put.
// - A server without identities fails both calls, as for any DISPID it does
//   not know; the host then takes the widget as having none, and its blocks
//   are chosen by hand.
// A server that answers the get writes the identity verbatim into its body
// code (code part 0, what the host places between the markers) as the
// attribute TAVOLET_WIDGET_ATTRIBUTE="<identity>" on the outermost element,
// exactly once, after white space as attributes are written; the host finds
// a block's widget by that attribute text.
inline constexpr char TAVOLET_WIDGET_ATTRIBUTE[] = "data-tavolet-widget";
inline constexpr int TAVOLET_WIDGET_IDENTITY_MAX = 64;

// Whether `text` is an identity as above. Host, server and the page search
// all hold identities to this one rule: it is what lets an identity go into
// an attribute and a page search as it is.
inline bool IsWidgetIdentity(QStringView text) {
    if (text.isEmpty() || text.size() > TAVOLET_WIDGET_IDENTITY_MAX) return false;
    for (const QChar c : text)
        if (!((c >= u'0' && c <= u'9') || c == u'-' || (c >= u'a' && c <= u'z') ||
              (c >= u'A' && c <= u'Z')))
            return false;
    return true;
}

// A call either succeeds with a value (invalid for "no result") or fails
// with the server's own message; the host turns failures into exceptions.
struct InvokeResult {
    bool ok = true;
    QVariant value;
    QString error;

    static InvokeResult success(QVariant v = {}) { return {true, std::move(v), {}}; }
    static InvokeResult failure(QString message) { return {false, {}, std::move(message)}; }
};

// Argument and result types: QString for strings, int for 16-bit and
// 32-bit integers, qint64 for longs and handles, bool for BOOL, QDateTime
// for dates. Put calls pass the new value as the only argument.
class IDispatchObject {
public:
    virtual ~IDispatchObject() = default;
    virtual InvokeResult Invoke(int dispid, InvokeKind kind, const QVariantList& args) = 0;
};

// What a server library declares about itself so that a registration tool
// can write its keys.
struct ServerRegistration {
    const char* clsid; // braced text form
    const char* progId;
    const char* description;
};

// The handle a server returns from its resource-module call is the load
// address of its module (dladdr's dli_fbase for any address inside it); the
// host resolves the handle back to that module to read its string resources.

} // namespace dispatch

// Entry points a server library exports (C linkage, looked up by name).
extern "C" {
// Must return TAVOLET_DISPATCH_CONTRACT; a library that answers otherwise is not loaded.
using TavoletContractVersionFn = const char* (*)();
// A new instance for the class in braced text form, owned by the caller; null on failure.
using DllCreateInstanceFn = dispatch::IDispatchObject* (*)(const char* clsid);
// The classes the library serves; index from 0, null past the last.
using DllRegistrationInfoFn = const dispatch::ServerRegistration* (*)(int index);
// String resource of the module in UTF-8, or null when there is no such string.
using DllLoadStringFn = const char* (*)(int id);
}

#define TAVOLET_ENTRY_CONTRACT_VERSION "TavoletContractVersion"
#define TAVOLET_ENTRY_CREATE_INSTANCE "DllCreateInstance"
#define TAVOLET_ENTRY_REGISTRATION_INFO "DllRegistrationInfo"
#define TAVOLET_ENTRY_LOAD_STRING "DllLoadString"
