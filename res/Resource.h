#pragma once

// Resource and command IDs of the application.
enum ResourceId {
    IDD_ABOUTBOX = 100,
    IDD_VELLWICKTOOL_FORM = 101,
    IDR_MAINFRAME = 128, // document type string, menu, accelerators, tool bar
    IDP_OLE_INIT_FAILED = 129,
    IDS_TVT_EXT = 200,
    IDS_PROGID = 301,
    AFX_IDS_APP_TITLE = 57344,
    AFX_IDS_IDLEMESSAGE = 57345,
};

// Pictures, drawn as SVG (res/images).
enum BitmapId {
    IDB_STEP3 = 135,
    IDB_STEP2 = 136,
    IDB_STEP1 = 137,
    IDB_TOOLBAR = 146,
    IDB_MOREINFO = 149,
    IDB_COPYCODE = 152,
    IDB_OPEN = 154,
    IDB_CONFIGURE = 155,
    IDB_NEWPAGE = 157,
    IDB_INSERTINTO = 158,
    IDB_NEW = 151,
    IDB_MOREINFO_DOWN = 159,
    IDB_CONFIGURE_DOWN = 166,
    IDB_INSERTINTO_DOWN = 167,
    IDB_COPYCODE_DOWN = 168,
    IDB_NEW_DOWN = 169,
    IDB_NEWPAGE_DOWN = 170,
    IDB_OPEN_DOWN = 171,
    IDB_GLIMMERKEY = 172, // the About picture, "IDBGLIMMERKEY"
};

enum CommandId {
    ID_CONFIGURE = 32771,
    ID_SUPPORT_FILES = 32775,
    ID_RENAME_WIDGET = 32776,
    ID_SAVE_AS_TEMPLATE = 32777,
    ID_OPTION_TEMPLATE = 32778,
    ID_OPTION_WEB_BROWSER = 32781,
    ID_WORK_WITH = 32783,
    ID_HELP_FAQ = 32790,
    ID_HELP_ORDERING = 32791,
    ID_HELP_SEARCH = 32792,
    ID_HELP_TUTORIAL = 32793,
    ID_VIEW_SAMPLE = 32794,
    ID_PREVIEW_IN_BROWSER = 32800,
    ID_UPDATE_PAGES = 32801,
    ID_PREVIEW_WITH = 32802, // the submenu of browsers to preview with
};

// Help topics with context numbers of their own.
enum HelpContext {
    HID_MORE_INFORMATION = 43,
};

// The maker's order page: also the prompt of the ordering command.
inline constexpr char kOrderPageUrl[] = "https://www.vellwick.example/order.html";
// Where the maker's HTML editor can be had.
inline constexpr char kEditorDownloadUrl[] = "https://www.vellwick.example/download.html";

// Installs the string table and the pictures into the framework.
void InstallStringTable();
void InstallBitmaps();
