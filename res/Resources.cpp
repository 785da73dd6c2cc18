#include "res/Menus.h"
#include "res/Resource.h"

#include "framework/Bitmaps.h"
#include "framework/CommandTarget.h"
#include "framework/StringTable.h"

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
        {AFX_IDS_IDLEMESSAGE, QStringLiteral("Ready")},
        {ID_FILE_NEW, QStringLiteral("Create a new document\nNew")},
        {ID_FILE_OPEN, QStringLiteral("Open an existing document\nOpen")},
        {ID_FILE_SAVE, QStringLiteral("Save the active document\nSave")},
        {ID_FILE_SAVE_AS, QStringLiteral("Save the active document with a new name\nSave As")},
        {ID_SAVE_AS_TEMPLATE, QStringLiteral("Save the document as a template\nAs Template")},
        {ID_SUPPORT_FILES, QStringLiteral("List the files using by the widget\nSupport Files")},
        {ID_PREVIEW_IN_BROWSER,
         QStringLiteral("Show the widget on a page in your browser\nPreview in Browser")},
        {ID_PREVIEW_WITH,
         QStringLiteral("Choose the browser that shows the preview, and show it\nPreview With")},
        {ID_UPDATE_PAGES,
         QStringLiteral("Update the widget in every page of a folder that holds it\nUpdate Pages")},
        {ID_FILE_MRU_FILE1, QStringLiteral("Open this document")},
        {ID_APP_EXIT, QStringLiteral("Quit the application; prompts to save documents\nExit")},
        {ID_CONFIGURE, QStringLiteral("Configure the widget to fit your requirment\nConfigure")},
        {ID_RENAME_WIDGET, QStringLiteral("Give the widget a new name\nRename")},
        {ID_OPTION_WEB_BROWSER, QStringLiteral("Specify your favorite web browser")},
        {ID_OPTION_TEMPLATE, QStringLiteral("Manage the templates")},
        {ID_HELP_FINDER, QStringLiteral("List Help topics")},
        {ID_HELP_TUTORIAL, QStringLiteral("Tutorial to guide you working")},
        {ID_WORK_WITH, QStringLiteral("We strongly recommend you to use Vellwick Glimmerkey "
                                      "together with Vellwick.\nTips")},
        {ID_HELP_SEARCH, QStringLiteral("Seach the keyword")},
        {ID_VIEW_SAMPLE, QStringLiteral("View this widget's sample")},
        {ID_HELP_FAQ, QStringLiteral("User frequently asked questions")},
        {ID_HELP_ORDERING, QString::fromLatin1(kOrderPageUrl)},
    });
}

void InstallBitmaps() {
    Q_INIT_RESOURCE(images);
    Q_INIT_RESOURCE(bitmaps);
    const auto svg = [](int id, QSize size) {
        return std::pair{id, BitmapResource{QStringLiteral(":/bitmaps/%1.svg").arg(id), size}};
    };
    const QSize face(100, 35), smallFace(82, 24);
    InstallBitmapTable({
        svg(IDB_TOOLBAR, {128, 32}),
        svg(IDB_STEP1, {200, 24}),
        svg(IDB_STEP2, {200, 24}),
        svg(IDB_STEP3, {240, 24}),
        svg(IDB_NEW, face),
        svg(IDB_NEW_DOWN, face),
        svg(IDB_OPEN, face),
        svg(IDB_OPEN_DOWN, face),
        svg(IDB_CONFIGURE, face),
        svg(IDB_CONFIGURE_DOWN, face),
        svg(IDB_COPYCODE, face),
        svg(IDB_COPYCODE_DOWN, face),
        svg(IDB_NEWPAGE, face),
        svg(IDB_NEWPAGE_DOWN, face),
        svg(IDB_INSERTINTO, face),
        svg(IDB_INSERTINTO_DOWN, face),
        svg(IDB_MOREINFO, smallFace),
        svg(IDB_MOREINFO_DOWN, smallFace),
        {IDB_GLIMMERKEY, {QStringLiteral(":/bitmaps/IDBGLIMMERKEY.svg"), {32, 32}}},
    });
}

QVector<MenuResource> MainMenu() {
    const auto key = [](const char* text) { return QKeySequence(QString::fromLatin1(text)); };
    return {
        {QStringLiteral("&File"),
         {
             {QStringLiteral("&New..."), ID_FILE_NEW, key("Ctrl+N")},
             {QStringLiteral("&Open..."), ID_FILE_OPEN, key("Ctrl+O")},
             {QStringLiteral("&Save"), ID_FILE_SAVE, key("Ctrl+S")},
             {QStringLiteral("Save &As..."), ID_FILE_SAVE_AS},
             {QStringLiteral("Save as &Template..."), ID_SAVE_AS_TEMPLATE, key("Ctrl+T")},
             {},
             {QStringLiteral("&Support Files..."), ID_SUPPORT_FILES},
             {QStringLiteral("Preview in &Browser"), ID_PREVIEW_IN_BROWSER, key("F12")},
             {QStringLiteral("Preview &With"), ID_PREVIEW_WITH},
             {QStringLiteral("&Update Published Pages..."), ID_UPDATE_PAGES},
             {},
             {QStringLiteral("Recent File"), ID_FILE_MRU_FILE1},
             {},
             {QStringLiteral("E&xit"), ID_APP_EXIT},
         }},
        {QStringLiteral("&Edit"),
         {
             {QStringLiteral("&Configure ..."), ID_CONFIGURE, key("Alt+Return")},
             {QStringLiteral("Re&name ..."), ID_RENAME_WIDGET},
         }},
        {QStringLiteral("&Option"),
         {
             {QStringLiteral("&Web Browser..."), ID_OPTION_WEB_BROWSER},
             {QStringLiteral("&Template..."), ID_OPTION_TEMPLATE},
         }},
        {QStringLiteral("&Help"),
         {
             {QStringLiteral("&Help Topics"), ID_HELP_FINDER},
             {QStringLiteral("&Tutorial"), ID_HELP_TUTORIAL},
             {QStringLiteral("&Work with Vellwick"), ID_WORK_WITH},
             {QStringLiteral("&Search for Help on ..."), ID_HELP_SEARCH},
             {QStringLiteral("&View Sample"), ID_VIEW_SAMPLE},
             {},
             {QStringLiteral("&Frequently Asked Questions"), ID_HELP_FAQ},
             {QStringLiteral("&Ordering Infomation"), ID_HELP_ORDERING},
             {},
             {QStringLiteral("&About Vellwick Glimmerkey..."), ID_APP_ABOUT},
         }},
    };
}

QVector<Accelerator> MainAccelerators() {
    const auto key = [](const char* text) { return QKeySequence(QString::fromLatin1(text)); };
    return {
        {key("Ctrl+N"), ID_FILE_NEW},
        {key("Ctrl+O"), ID_FILE_OPEN},
        {key("Ctrl+S"), ID_FILE_SAVE},
        {key("Ctrl+T"), ID_SAVE_AS_TEMPLATE},
        {key("Alt+Return"), ID_CONFIGURE},
        {key("F12"), ID_PREVIEW_IN_BROWSER}, // the key web editors preview with
        {key("Ctrl+X"), ID_EDIT_CUT},
        {key("Shift+Del"), ID_EDIT_CUT},
        {key("Ctrl+Ins"), ID_EDIT_COPY},
        {key("Ctrl+V"), ID_EDIT_PASTE},
        {key("Shift+Ins"), ID_EDIT_PASTE},
        {key("Ctrl+Z"), ID_EDIT_UNDO},
        {key("Alt+Backspace"), ID_EDIT_UNDO},
        {key("F6"), ID_NEXT_PANE},
        {key("Shift+F6"), ID_PREV_PANE},
        {key("F1"), ID_HELP},
        {key("Shift+F1"), ID_CONTEXT_HELP},
    };
}

QVector<ToolBarButton> MainToolBar() {
    return {
        {ID_FILE_SAVE, 0, QStringLiteral("Save")},
        {ID_SAVE_AS_TEMPLATE, 1, QStringLiteral("As Template")},
        {},
        {ID_SUPPORT_FILES, 2, QStringLiteral("Support Files")},
        {},
        {ID_WORK_WITH, 3, QStringLiteral("Tips")},
    };
}
