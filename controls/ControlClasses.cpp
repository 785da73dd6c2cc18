#include "controls/ControlClasses.h"

#include "controls/ColorStatic.h"

#include "framework/DialogTemplate.h"

void RegisterControlClasses() {
    framework::RegisterControlClass(
        QStringLiteral("CColorStatic"),
        [](const framework::ControlTemplate& ctl, QWidget* pParent) -> QWidget* {
            auto* pStatic = new CColorStatic(pParent);
            framework::SetUpStatic(*pStatic, ctl);
            return pStatic;
        });
}
