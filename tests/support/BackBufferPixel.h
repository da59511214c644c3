// One pixel of a device's back buffer as Direct3D's 32-bit ARGB value, top row first; 0 when the
// buffer cannot be read.
#pragma once

#include "d3d9.h"

inline DWORD BackBufferPixel(IDirect3DDevice9* device, int x, int y) {
    IDirect3DSurface9* back = nullptr;
    if (device == nullptr || device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back) != S_OK ||
        back == nullptr)
        return 0;
    D3DLOCKED_RECT locked;
    DWORD pixel = 0;
    if (back->LockRect(&locked, nullptr, D3DLOCK_READONLY) == S_OK) {
        pixel = *reinterpret_cast<const DWORD*>(static_cast<const char*>(locked.pBits) + y * locked.Pitch +
                                                x * 4);
        back->UnlockRect();
    }
    back->Release();
    return pixel;
}
