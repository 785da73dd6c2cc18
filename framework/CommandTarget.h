#pragma once

#include <QHash>

#include <functional>

namespace framework {

// Standard command IDs of the framework.
enum StandardCommand {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_MRU_FILE1 = 57616,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
};
constexpr int kRecentFileCount = 4;

// What an enabling handler sets for a command of a menu or tool bar.
class CCmdUI {
public:
    void Enable(bool on = true) { m_bEnabled = on; }
    bool IsEnabled() const { return m_bEnabled; }

private:
    bool m_bEnabled = true;
};

// An object that handles commands by ID: a handler to run the command and,
// optionally, an enabling handler shared by its menu item and tool button.
class CCommandTarget {
public:
    virtual ~CCommandTarget() = default;

    // Runs the command; false when this target has no handler for it.
    bool OnCmdMsg(int id);
    // Fills `ui`; false when this target neither handles nor enables the command.
    bool OnUpdateCmdUI(int id, CCmdUI& ui);

protected:
    void OnCommand(int id, std::function<void()> handler);
    void OnUpdateCommand(int id, std::function<void(CCmdUI&)> handler);

private:
    QHash<int, std::function<void()>> m_handlers;
    QHash<int, std::function<void(CCmdUI&)>> m_updaters;
};

} // namespace framework
