#include "templates/TemplateStore.h"

#include "framework/Prompts.h"
#include "framework/StringTable.h"
#include "res/Resource.h"
#include "widget/Tavolet.h"

QString TemplateFilePath(const CTavolet& tavolet, const QString& name) {
    return tavolet.m_strServerFolder + "/" + name + "_" + tavolet.m_strProgID + "." +
           framework::LoadString(IDS_TVT_EXT);
}

bool IsValidWidgetName(const QString& name) {
    if (name.isEmpty()) return false;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool alnum =
            (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9');
        if (!alnum) return false;
    }
    return true;
}

bool CheckWidgetName(const QString& name, NameUse use) {
    if (name.isEmpty()) {
        framework::AfxMessageBox(QStringLiteral("You must enter a name!"));
        return false;
    }
    if (IsValidWidgetName(name)) return true;
    const QString subject = use == NameUse::Template ? QStringLiteral("The template name of widget")
                                                     : QStringLiteral("The name of widget");
    framework::AfxMessageBox(
        subject +
        " is not valid.It accept only alphanumeric characters.\nYou have entered an "
        "invalid character, such as '-', '_', ':', ';', '#', (), [], or ?, in the name.\n");
    return false;
}
