#include "res/Menus.h"
#include "res/Resource.h"

#include "framework/CommandTarget.h"
#include "framework/StringTable.h"

using framework::MenuItem;
using namespace framework;

void InstallStringTable() {
    StringTable::Install({
        {IDR_MAINFRAME, QStringLiteral("Vellwick Glimmerkey\nUntitled_TavoletServer.Glimmerkey\n"
                                       "Vellwick Glimmerkey\nVellwick Widgets File(*.tvt) \n.tvt\n"
                                       "VellwickTool.Document\nVellwickTool Document")},
        {IDP_OLE_INIT_FAILED, QStringLiteral("OLE initialization failed.  Make sure that the OLE "
                                             "libraries are the correct version.")},
        {IDS_TVT_EXT, QStringLiteral("tvt")},
        {IDS_PROGID, QStringLiteral("TavoletServer.Glimmerkey")},
        {AFX_IDS_APP_TITLE, QStringLiteral("Vellwick Glimmerkey")},
        {ID_FILE_NEW, QStringLiteral("Create a new document\nNew")},
        {ID_FILE_OPEN, QStringLiteral("Open an existing document\nOpen")},
        {ID_FILE_SAVE, QStringLiteral("Save the active document\nSave")},
        {ID_FILE_SAVE_AS, QStringLiteral("Save the active document with a new name\nSave As")},
        {ID_SUPPORT_FILES, QStringLiteral("List the files using by the widget\nSupport Files")},
        {ID_FILE_MRU_FILE1, QStringLiteral("Open this document")},
        {ID_APP_EXIT, QStringLiteral("Quit the application; prompts to save documents\nExit")},
        {ID_CONFIGURE, QStringLiteral("Configure the widget to fit your requirment\nConfigure")},
        {ID_VIEW_SAMPLE, QStringLiteral("View this widget's sample")},
    });
}

QVector<MenuResource> MainMenu() {
    return {
        {QStringLiteral("&File"),
         {
             {QStringLiteral("&New..."), ID_FILE_NEW, QKeySequence(QStringLiteral("Ctrl+N"))},
             {QStringLiteral("&Open..."), ID_FILE_OPEN, QKeySequence(QStringLiteral("Ctrl+O"))},
             {QStringLiteral("&Save"), ID_FILE_SAVE, QKeySequence(QStringLiteral("Ctrl+S"))},
             {QStringLiteral("Save &As..."), ID_FILE_SAVE_AS},
             {},
             {QStringLiteral("&Support Files..."), ID_SUPPORT_FILES},
             {},
             {QStringLiteral("Recent File"), ID_FILE_MRU_FILE1},
             {},
             {QStringLiteral("E&xit"), ID_APP_EXIT},
         }},
        {QStringLiteral("&Edit"),
         {
             {QStringLiteral("&Configure ..."), ID_CONFIGURE,
              QKeySequence(QStringLiteral("Alt+Return"))},
         }},
        {QStringLiteral("&Help"),
         {
             {QStringLiteral("&View Sample"), ID_VIEW_SAMPLE},
         }},
    };
}
