#include "controls/ControlClasses.h"

#include "controls/ColorStatic.h"
#include "controls/CreditsScroller.h"
#include "controls/HyperLink.h"

#include "framework/DialogTemplate.h"

namespace {
// Statics of a subclass, placed and styled as the template's static.
template <class T> void registerStatic(const QString& strClassName) {
    framework::RegisterControlClass(
        strClassName, [](const framework::ControlTemplate& ctl, QWidget* pParent) -> QWidget* {
            auto* pStatic = new T(pParent);
            framework::SetUpStatic(*pStatic, ctl);
            return pStatic;
        });
}
} // namespace

void RegisterControlClasses() {
    registerStatic<CColorStatic>(QStringLiteral("CColorStatic"));
    registerStatic<CHyperLink>(QStringLiteral("CHyperLink"));
    registerStatic<CCreditsScroller>(QStringLiteral("CCreditsScroller"));
}
