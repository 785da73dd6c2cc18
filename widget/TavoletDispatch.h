#pragma once

#include "platform/DispatchDriver.h"

#include <QDateTime>

// Typed calls of the widget server's dispatch interface, one per DISPID.
// A failed call, or a result of the wrong type, raises platform::DispatchError.
class TavoletDispatch : public platform::DispatchDriver {
public:
    enum DispId {
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
    };

    QString OwnerProgID();
    void SetOwnerProgID(const QString& progId);
    QString Name();
    void SetName(const QString& name);
    QString Description();
    void SetDescription(const QString& description);
    void SetAuxText(const QString& text);
    void SetSaveTime(const QDateTime& time);
    bool LoadFromFile(const QString& path);
    bool SaveToFile(const QString& path);
    bool Configure();
    int TitleStringID();
    int CodePartCount();
    QString CodePartName(int index);
    QString CodePartText(int index, int mode);
    qint64 ResourceModule();
    int SupportFileCount();
    QString SupportFileName(int index);
    QString SupportFileSource(int index);
    QString SupportFileWebPath(int index);
    bool SaveWithSupportFiles(const QString& path, int flag);

private:
    QString callString(int dispid, dispatch::InvokeKind kind, const QVariantList& args = {});
    bool callBool(int dispid, const QVariantList& args = {});
    qint64 callInteger(int dispid, const QVariantList& args = {});
};
