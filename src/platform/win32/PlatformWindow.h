// What the platform layer needs to know about a window of the toolkit to answer the Win32 coordinate
// and activation queries for its handle. The toolkit layer implements it for each window or control
// it registers with the WindowRegistry.
#pragma once

#include "Win32Types.h"

class PlatformWindow {
public:
    virtual ~PlatformWindow() = default;

    // The top-left corner of the client area in screen pixels, in the units the cursor is fed in.
    virtual POINT ClientOriginOnScreen() const = 0;

    // True for the top-level window that has the keyboard focus of this application. Controls inside a
    // window answer false: the active window is always a top-level one.
    virtual bool IsActive() const = 0;

protected:
    PlatformWindow() = default;
    PlatformWindow(const PlatformWindow&) = default;
    PlatformWindow& operator=(const PlatformWindow&) = default;
};
