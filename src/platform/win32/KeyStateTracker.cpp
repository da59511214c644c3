#include "KeyStateTracker.h"

#include "VirtualKeys.h"

KeyStateTracker& KeyStateTracker::GetInstance() {
    static KeyStateTracker tracker;
    return tracker;
}

// The left code for VK_SHIFT, VK_CONTROL and VK_MENU; 0 for every other code. The right code always
// follows the left one.
int KeyStateTracker::LeftSideOf(int sidelessModifier) {
    switch (sidelessModifier) {
    case VK_SHIFT:
        return VK_LSHIFT;
    case VK_CONTROL:
        return VK_LCONTROL;
    case VK_MENU:
        return VK_LMENU;
    default:
        return 0;
    }
}

void KeyStateTracker::KeyDown(int vKey) {
    if (!IsValidCode(vKey))
        return;
    const int left = LeftSideOf(vKey);
    m_down.set(static_cast<std::size_t>(left ? left : vKey));
}

void KeyStateTracker::KeyUp(int vKey) {
    if (!IsValidCode(vKey))
        return;
    const int left = LeftSideOf(vKey);
    if (!left) {
        m_down.reset(static_cast<std::size_t>(vKey));
        return;
    }
    m_down.reset(static_cast<std::size_t>(left));
    m_down.reset(static_cast<std::size_t>(left + 1));
}

void KeyStateTracker::FocusLost() {
    m_down.reset();
}

bool KeyStateTracker::IsDown(int vKey) const {
    if (!IsValidCode(vKey))
        return false;
    const int left = LeftSideOf(vKey);
    if (left)
        return m_down.test(static_cast<std::size_t>(left)) || m_down.test(static_cast<std::size_t>(left + 1));
    return m_down.test(static_cast<std::size_t>(vKey));
}
