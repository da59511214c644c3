#include "DZMouse.h"

#include "Win32Input.h"

void DZGetMouseButtonAction(D3DXZORVMOUSEBUTTON* button, int WaitFrame) {
    if (!button)
        return;
    DZGetAction3(VK_LBUTTON, &button->Left, WaitFrame);
    DZGetAction3(VK_RBUTTON, &button->Right, WaitFrame);
    DZGetAction3(VK_MBUTTON, &button->Middle, WaitFrame);
}

void DZGetMouseClientPos(HWND _hwnd, POINT* _Pt) {
    if (!_Pt)
        return;
    GetCursorPos(_Pt);
    ScreenToClient(_hwnd, _Pt);
}

void DZGetMouseScreenPos(HWND _hwnd, POINT* _Pt) {
    if (!_Pt)
        return;
    GetCursorPos(_Pt);
    ScreenToClient(_hwnd, _Pt);
    ClientToScreen(_hwnd, _Pt);
}
