// The vertex layouts device and mesh tests draw with: D3DFVF_XYZ | D3DFVF_DIFFUSE, and
// D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1.
#pragma once

#include "Win32Types.h"

struct ColorVertex {
    float x, y, z;
    DWORD color;
};

struct LitVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};
