// A page box module built for an earlier contract version.
#include "output/PageEditorModule.h"

extern "C" __attribute__((visibility("default"))) const char* PageEditorContractVersion() {
    return "Glimmerkey.PageEditor/1";
}
extern "C" __attribute__((visibility("default"))) IPageEditor* CreatePageEditor(QWidget*) {
    return nullptr;
}
