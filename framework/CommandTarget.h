#pragma once

#include <QHash>
#include <QString>

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
    ID_HELP_FINDER = 57667,
    ID_CONTEXT_HELP = 57669,
    ID_HELP = 57670,
    ID_DEFAULT_HELP = 57671,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_UNDO = 57643,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
};
// Help context numbers of commands start here (command help), and of windows
// and dialogs, by resource ID, at kHelpResourceBase.
constexpr int kHelpCommandBase = 0x10000;
constexpr int kHelpResourceBase = 0x20000;
constexpr int kRecentFileCount = 4;

// Show commands of a window, as stored with its placement.
enum ShowCommand { SW_SHOWNORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3 };

// What an enabling handler sets for a command; the frame applies it to the
// command's one action, and so to its menu item, tool button and keys.
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
    void OnCommand(int id, const std::function<void()>& handler);
    void OnUpdateCommand(int id, const std::function<void(CCmdUI&)>& handler);

private:
    QHash<int, std::function<void()>> m_handlers;
    QHash<int, std::function<void(CCmdUI&)>> m_updaters;
};

} // namespace framework
