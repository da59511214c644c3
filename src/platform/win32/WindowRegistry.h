// The windows that stand behind handles, for ScreenToClient, ClientToScreen and GetActiveWindow. The
// toolkit layer chooses the handle value (any unique non-null pointer, for instance its own window
// object cast to HWND), registers its PlatformWindow under it when the window is created and
// unregisters it before the window goes. The registry does not own the windows.
#pragma once

#include "PlatformWindow.h"
#include "Win32Types.h"

#include <vector>

class WindowRegistry {
public:
    static WindowRegistry& GetInstance();

    // False, and nothing registered, for a null handle or window. Registering a handle again replaces
    // the window behind it.
    bool Register(HWND handle, PlatformWindow* window);
    void Unregister(HWND handle);

    // The window behind the handle, or null when the handle is unknown.
    const PlatformWindow* Find(HWND handle) const;

    // The first registered window that reports itself active, or null.
    HWND ActiveWindow() const;

private:
    struct Entry {
        HWND handle;
        PlatformWindow* window;
    };

    // Registration order, so that the answer of ActiveWindow does not depend on handle values.
    std::vector<Entry> m_entries;
};
