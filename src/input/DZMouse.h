// Mouse buttons as action states, and the cursor position relative to a window.
#pragma once

#include "DZGetAction.h"
#include "Win32Types.h"

struct D3DXZORVMOUSEBUTTON {
    D3DXZORVACTIONPARAMETER Left;
    D3DXZORVACTIONPARAMETER Right;
    D3DXZORVACTIONPARAMETER Middle;
};

// DZGetAction3 on the left, right and middle buttons. With a wait of 0 every press is accepted, so the
// states are only 0, 2, 4 and 1. A null record is ignored.
void DZGetMouseButtonAction(D3DXZORVMOUSEBUTTON* button, int WaitFrame);

// The cursor in the client coordinates of the window: negative left of and above its client area. For
// a handle no window stands behind, the point is left in screen coordinates. A null point is ignored.
void DZGetMouseClientPos(HWND _hwnd, POINT* _Pt);

// The cursor in screen coordinates, by way of the window's client coordinates.
void DZGetMouseScreenPos(HWND _hwnd, POINT* _Pt);
