// One pixel of a device's back buffer as Direct3D's 32-bit ARGB value, top row first; 0 when the
// buffer cannot be read.
#pragma once

#include "d3d9.h"

#include <vector>

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

// The whole back buffer, row after row; empty when it cannot be read.
inline std::vector<DWORD> BackBufferImage(IDirect3DDevice9* device) {
    std::vector<DWORD> image;
    IDirect3DSurface9* back = nullptr;
    if (device == nullptr || device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back) != S_OK ||
        back == nullptr)
        return image;
    D3DSURFACE_DESC desc;
    back->GetDesc(&desc);
    D3DLOCKED_RECT locked;
    if (back->LockRect(&locked, nullptr, D3DLOCK_READONLY) == S_OK) {
        for (UINT y = 0; y < desc.Height; ++y) {
            const auto* row = reinterpret_cast<const DWORD*>(static_cast<const char*>(locked.pBits) +
                                                             static_cast<std::size_t>(y) * locked.Pitch);
            image.insert(image.end(), row, row + desc.Width);
        }
        back->UnlockRect();
    }
    back->Release();
    return image;
}
