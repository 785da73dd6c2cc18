#pragma once

// Resource and command IDs of the application.
enum ResourceId {
    IDR_MAINFRAME = 128, // document type string, menu
    IDP_OLE_INIT_FAILED = 129,
    IDS_TVT_EXT = 200,
    IDS_PROGID = 301,
    AFX_IDS_APP_TITLE = 57344,
};

enum CommandId {
    ID_CONFIGURE = 32771,
    ID_SUPPORT_FILES = 32775,
    ID_SAVE_AS_TEMPLATE = 32777,
    ID_VIEW_SAMPLE = 32794,
};

// Installs the string table into the framework.
void InstallStringTable();
