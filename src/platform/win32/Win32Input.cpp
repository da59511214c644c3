#include "Win32Input.h"

#include "KeyStateTracker.h"
#include "WindowRegistry.h"

#include <algorithm>
#include <limits>

namespace {

constexpr SHORT kDownBit = static_cast<SHORT>(0x8000);

// Coordinates of distant windows and cursors must not overflow on the way.
LONG ClampedSum(LONG a, std::int64_t b) {
    const std::int64_t sum = static_cast<std::int64_t>(a) + b;
    return static_cast<LONG>(
        std::clamp<std::int64_t>(sum, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()));
}

// Moves the point by sign times the client origin of the window.
BOOL ShiftByClientOrigin(HWND hwnd, POINT* pt, int sign) {
    if (!pt)
        return FALSE;
    const PlatformWindow* window = WindowRegistry::GetInstance().Find(hwnd);
    if (!window)
        return FALSE;
    const POINT origin = window->ClientOriginOnScreen();
    pt->x = ClampedSum(pt->x, sign * static_cast<std::int64_t>(origin.x));
    pt->y = ClampedSum(pt->y, sign * static_cast<std::int64_t>(origin.y));
    return TRUE;
}

} // namespace

SHORT GetAsyncKeyState(int vKey) {
    return KeyStateTracker::GetInstance().IsDown(vKey) ? kDownBit : 0;
}

BOOL GetCursorPos(POINT* pt) {
    if (!pt)
        return FALSE;
    *pt = KeyStateTracker::GetInstance().CursorScreenPos();
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* pt) {
    return ShiftByClientOrigin(hwnd, pt, -1);
}

BOOL ClientToScreen(HWND hwnd, POINT* pt) {
    return ShiftByClientOrigin(hwnd, pt, +1);
}

HWND GetActiveWindow() {
    return WindowRegistry::GetInstance().ActiveWindow();
}

bool IsAsyncKeyDown(int vKey) {
    return (GetAsyncKeyState(vKey) & 0x8000) != 0;
}
