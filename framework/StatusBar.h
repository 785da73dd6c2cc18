#pragma once

#include <QStatusBar>

namespace framework {

// A status bar with its one message pane: a command's prompt while its menu
// item or tool button is hovered, the idle text otherwise.
class CStatusBar : public QStatusBar {
    Q_OBJECT
public:
    CStatusBar(QWidget* parent, QString idleText);

private:
    QString m_strIdle;
};

} // namespace framework
