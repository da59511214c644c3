#include "WindowRegistry.h"

#include <algorithm>

WindowRegistry& WindowRegistry::GetInstance() {
    static WindowRegistry registry;
    return registry;
}

bool WindowRegistry::Register(HWND handle, PlatformWindow* window) {
    if (!handle || !window)
        return false;
    for (Entry& entry : m_entries) {
        if (entry.handle == handle) {
            entry.window = window;
            return true;
        }
    }
    m_entries.push_back({handle, window});
    return true;
}

void WindowRegistry::Unregister(HWND handle) {
    std::erase_if(m_entries, [handle](const Entry& entry) { return entry.handle == handle; });
}

const PlatformWindow* WindowRegistry::Find(HWND handle) const {
    if (!handle)
        return nullptr;
    auto it = std::find_if(m_entries.begin(), m_entries.end(),
                           [handle](const Entry& entry) { return entry.handle == handle; });
    return it == m_entries.end() ? nullptr : it->window;
}

HWND WindowRegistry::ActiveWindow() const {
    for (const Entry& entry : m_entries) {
        if (entry.window->IsActive())
            return entry.handle;
    }
    return nullptr;
}
