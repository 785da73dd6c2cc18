#include "widget/TavoletDispatch.h"

using namespace dispatch;
using platform::DispatchError;

namespace {

// A server is outside code: its answers are checked, never assumed.
DispatchError unexpected(int dispid) {
    return DispatchError(
        QStringLiteral("The widget server gave an unexpected answer to call %1.").arg(dispid));
}

} // namespace

QString TavoletDispatch::callString(int dispid, InvokeKind kind, const QVariantList& args) {
    const QVariant value = InvokeHelper(dispid, kind, args);
    if (value.typeId() != QMetaType::QString) throw unexpected(dispid);
    return value.toString();
}

bool TavoletDispatch::callBool(int dispid, const QVariantList& args) {
    const QVariant value = InvokeHelper(dispid, InvokeKind::Method, args);
    if (value.typeId() != QMetaType::Bool) throw unexpected(dispid);
    return value.toBool();
}

qint64 TavoletDispatch::callInteger(int dispid, const QVariantList& args) {
    const QVariant value = InvokeHelper(dispid, InvokeKind::Method, args);
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::LongLong:
    case QMetaType::Long:
        return value.toLongLong();
    default:
        throw unexpected(dispid);
    }
}

// An optional operation: a server without it fails the call, and the old
// contract fixed no message for that, so any failure the server answers
// means "not offered". A missing instance still raises.
bool TavoletDispatch::callOptional(int dispid, InvokeKind kind, const QVariantList& args,
                                   QVariant* value) {
    if (!IsValid()) InvokeHelper(dispid, kind, args);
    try {
        const QVariant answer = InvokeHelper(dispid, kind, args);
        if (value) *value = answer;
        return true;
    } catch (const DispatchError&) {
        return false;
    }
}

QString TavoletDispatch::OwnerProgID() {
    return callString(DISPID_OWNER_PROGID, InvokeKind::PropertyGet);
}
void TavoletDispatch::SetOwnerProgID(const QString& progId) {
    SetProperty(DISPID_OWNER_PROGID, progId);
}
QString TavoletDispatch::Name() {
    return callString(DISPID_NAME, InvokeKind::PropertyGet);
}
void TavoletDispatch::SetName(const QString& name) {
    SetProperty(DISPID_NAME, name);
}
QString TavoletDispatch::Description() {
    return callString(DISPID_DESCRIPTION, InvokeKind::PropertyGet);
}
void TavoletDispatch::SetDescription(const QString& description) {
    SetProperty(DISPID_DESCRIPTION, description);
}
void TavoletDispatch::SetAuxText(const QString& text) {
    SetProperty(DISPID_AUX_TEXT, text);
}
void TavoletDispatch::SetSaveTime(const QDateTime& time) {
    SetProperty(DISPID_SAVE_TIME, time);
}
bool TavoletDispatch::LoadFromFile(const QString& path) {
    return callBool(DISPID_LOAD_FROM_FILE, {path});
}
bool TavoletDispatch::SaveToFile(const QString& path) {
    return callBool(DISPID_SAVE_TO_FILE, {path});
}
bool TavoletDispatch::Configure() {
    return callBool(DISPID_CONFIGURE);
}
int TavoletDispatch::TitleStringID() {
    return int(callInteger(DISPID_TITLE_STRING_ID));
}
int TavoletDispatch::CodePartCount() {
    return int(callInteger(DISPID_CODE_PART_COUNT));
}
QString TavoletDispatch::CodePartName(int index) {
    return callString(DISPID_CODE_PART_NAME, InvokeKind::Method, {index});
}
QString TavoletDispatch::CodePartText(int index, int mode) {
    return callString(DISPID_CODE_PART_TEXT, InvokeKind::Method, {index, mode});
}
qint64 TavoletDispatch::ResourceModule() {
    return callInteger(DISPID_RESOURCE_MODULE);
}
int TavoletDispatch::SupportFileCount() {
    return int(callInteger(DISPID_SUPPORT_FILE_COUNT));
}
QString TavoletDispatch::SupportFileName(int index) {
    return callString(DISPID_SUPPORT_FILE_NAME, InvokeKind::Method, {index});
}
QString TavoletDispatch::SupportFileSource(int index) {
    return callString(DISPID_SUPPORT_FILE_SOURCE, InvokeKind::Method, {index});
}
QString TavoletDispatch::SupportFileWebPath(int index) {
    return callString(DISPID_SUPPORT_FILE_WEB_PATH, InvokeKind::Method, {index});
}
bool TavoletDispatch::SaveWithSupportFiles(const QString& path, int flag) {
    return callBool(DISPID_SAVE_WITH_SUPPORT_FILES, {path, flag});
}
QString TavoletDispatch::WidgetIdentity() {
    QVariant value;
    if (!callOptional(DISPID_WIDGET_IDENTITY, InvokeKind::PropertyGet, {}, &value)) return {};
    // Pages are searched for it as attribute text, so only the agreed characters pass.
    if (value.typeId() != QMetaType::QString ||
        !(value.toString().isEmpty() || IsWidgetIdentity(value.toString())))
        throw unexpected(DISPID_WIDGET_IDENTITY);
    return value.toString();
}
void TavoletDispatch::RenewWidgetIdentity() {
    callOptional(DISPID_WIDGET_IDENTITY, InvokeKind::PropertyPut, {QString()});
}
