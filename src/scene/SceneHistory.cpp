#include "SceneHistory.h"

#include <algorithm>
#include <utility>

SceneHistory::SceneHistory(std::size_t limit) : m_limit(std::max<std::size_t>(limit, 1)) {}

void SceneHistory::Push(SceneStep step) {
    // The redo branch goes; a save point on it can no longer be reached.
    for (std::size_t i = m_next; i < m_steps.size(); ++i)
        if (m_steps[i].serial == m_saved)
            m_saved = kUnreachable;
    m_steps.erase(m_steps.begin() + static_cast<std::ptrdiff_t>(m_next), m_steps.end());
    step.serial = ++m_lastSerial;
    m_steps.push_back(std::move(step));
    m_next = m_steps.size();
    while (m_steps.size() > m_limit) {
        if (m_base == m_saved)
            m_saved = kUnreachable;
        m_base = m_steps.front().serial;
        m_steps.pop_front();
        --m_next;
    }
}

const SceneStep* SceneHistory::NextUndo() const {
    return m_next > 0 ? &m_steps[m_next - 1] : nullptr;
}

const SceneStep* SceneHistory::NextRedo() const {
    return m_next < m_steps.size() ? &m_steps[m_next] : nullptr;
}

const SceneStep* SceneHistory::Undo() {
    const SceneStep* step = NextUndo();
    if (step != nullptr)
        --m_next;
    return step;
}

const SceneStep* SceneHistory::Redo() {
    const SceneStep* step = NextRedo();
    if (step != nullptr)
        ++m_next;
    return step;
}

void SceneHistory::Clear() {
    const bool modified = IsModified();
    m_steps.clear();
    m_next = 0;
    m_base = m_lastSerial;
    m_saved = modified ? kUnreachable : m_base;
}

std::uint64_t SceneHistory::Position() const {
    return m_next > 0 ? m_steps[m_next - 1].serial : m_base;
}
