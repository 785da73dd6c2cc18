#include "framework/StatusBar.h"

namespace framework {

CStatusBar::CStatusBar(QWidget* parent, QString idleText)
    : QStatusBar(parent), m_strIdle(std::move(idleText)) {
    setSizeGripEnabled(false);
    // A cleared prompt gives the pane back to the idle text.
    connect(this, &QStatusBar::messageChanged, this, [this](const QString& message) {
        if (message.isEmpty()) showMessage(m_strIdle);
    });
    showMessage(m_strIdle);
}

} // namespace framework
