// The application-wide record of which keys and mouse buttons are down and where the cursor is, kept
// for GetAsyncKeyState and GetCursorPos. Nothing on Linux answers "is this key down right now" for the
// whole desktop, so the toolkit layer tells the tracker as its key, button, move and focus events
// arrive, and the frame loop reads the tracker between events.
//
// How to feed it:
// - KeyDown/KeyUp with the Windows virtual-key code (VirtualKeys.h) of every key press and release,
//   mouse buttons included (VK_LBUTTON, VK_RBUTTON, VK_MBUTTON). Repeated downs are harmless, so
//   auto-repeat presses may be passed on; auto-repeat releases must not be.
// - Modifiers by side when the side is known: VK_LSHIFT/VK_RSHIFT, VK_LCONTROL/VK_RCONTROL,
//   VK_LMENU/VK_RMENU. A press given as the sideless VK_SHIFT, VK_CONTROL or VK_MENU is recorded as the
//   left key, the usual one; a sideless release lets go of both sides, so it can never leave one stuck.
//   A query for the sideless code is true while either side is down.
// - FocusLost when the application stops receiving input (it lost the focus, a pop-up grabbed the
//   keyboard): releases made elsewhere are never reported, so everything is let go.
// - SetCursorScreenPos with the cursor in screen pixels on every mouse move, in the same units the
//   registered windows report their client origins in.
// - BeginFrame when a frame starts sampling: a key pressed since the previous frame began reads as
//   down for the whole of this frame even if it was already let go, as Windows reports a press made
//   since the last query. A tap shorter than the time between two frames is otherwise never seen.
// Codes outside 1..255 are ignored and read as up.
#pragma once

#include "Win32Types.h"

#include <bitset>

class KeyStateTracker {
public:
    static KeyStateTracker& GetInstance();

    void KeyDown(int vKey);
    void KeyUp(int vKey);
    void FocusLost();
    void BeginFrame();
    bool IsDown(int vKey) const;

    void SetCursorScreenPos(POINT pt) { m_cursor = pt; }
    POINT CursorScreenPos() const { return m_cursor; }

private:
    static constexpr int kCodeCount = 256;
    static bool IsValidCode(int vKey) { return vKey > 0 && vKey < kCodeCount; }
    static int LeftSideOf(int sidelessModifier);

    static bool Test(const std::bitset<kCodeCount>& keys, int vKey);

    std::bitset<kCodeCount> m_down;
    // Pressed since the current frame began, and pressed before it began but after the previous one.
    std::bitset<kCodeCount> m_pressedSinceFrame;
    std::bitset<kCodeCount> m_pressedForFrame;
    POINT m_cursor;
};
