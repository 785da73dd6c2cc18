#include "framework/CommandTarget.h"

namespace framework {

bool CCommandTarget::OnCmdMsg(int id) {
    const auto it = m_handlers.constFind(id);
    if (it == m_handlers.constEnd()) return false;
    // Copied: a handler may replace this target's handlers while it runs.
    const auto handler = *it;
    handler();
    return true;
}

bool CCommandTarget::OnUpdateCmdUI(int id, CCmdUI& ui) {
    if (const auto it = m_updaters.constFind(id); it != m_updaters.constEnd()) {
        (*it)(ui);
        return true;
    }
    if (m_handlers.contains(id)) {
        ui.Enable(true);
        return true;
    }
    return false;
}

void CCommandTarget::OnCommand(int id, const std::function<void()>& handler) {
    m_handlers.insert(id, handler);
}

void CCommandTarget::OnUpdateCommand(int id, const std::function<void(CCmdUI&)>& handler) {
    m_updaters.insert(id, handler);
}

} // namespace framework
