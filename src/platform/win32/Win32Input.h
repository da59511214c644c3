// The Win32 key, cursor and window queries, answered from the KeyStateTracker and the WindowRegistry
// that the toolkit layer keeps up to date.
#pragma once

#include "VirtualKeys.h"
#include "Win32Types.h"

#include <cstdint>

using SHORT = std::int16_t;

// Bit 0x8000 is set while the key is down, and through the frame after a press that began and ended
// between two frames (KeyStateTracker::BeginFrame), so that a tap is never lost. Unlike Windows, the
// least significant bit ("pressed since the last call") is never set: several readers query the same
// key in one frame, and the first would take the press from the others.
SHORT GetAsyncKeyState(int vKey);
// The down bit of GetAsyncKeyState: the one key test every caller makes.
bool IsAsyncKeyDown(int vKey);

// The cursor in screen coordinates. FALSE only for a null point.
BOOL GetCursorPos(POINT* pt);

// Convert between screen and client coordinates of the window behind the handle. FALSE, and the point
// left as it was, for a null point or a handle that is null or not registered. Results beyond the
// range of LONG are clamped to it.
BOOL ScreenToClient(HWND hwnd, POINT* pt);
BOOL ClientToScreen(HWND hwnd, POINT* pt);

// The registered window that is active, or null when none is (another application has the focus).
HWND GetActiveWindow();
