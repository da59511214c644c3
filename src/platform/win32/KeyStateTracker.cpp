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
    const auto code = static_cast<std::size_t>(left ? left : vKey);
    // Auto-repeat presses of a held key are no new press.
    if (!m_down.test(code))
        m_pressedSinceFrame.set(code);
    m_down.set(code);
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
    m_pressedSinceFrame.reset();
    m_pressedForFrame.reset();
}

void KeyStateTracker::BeginFrame() {
    m_pressedForFrame = m_pressedSinceFrame;
    m_pressedSinceFrame.reset();
}

bool KeyStateTracker::IsDown(int vKey) const {
    if (!IsValidCode(vKey))
        return false;
    return Test(m_down, vKey) || Test(m_pressedForFrame, vKey);
}

bool KeyStateTracker::Test(const std::bitset<kCodeCount>& keys, int vKey) {
    const int left = LeftSideOf(vKey);
    if (left)
        return keys.test(static_cast<std::size_t>(left)) || keys.test(static_cast<std::size_t>(left + 1));
    return keys.test(static_cast<std::size_t>(vKey));
}
