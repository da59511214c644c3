// How each Direct3D format this device stores maps onto GL: the texture's internal format and the
// client format and type that give Direct3D's byte order in memory (A8R8G8B8 is B, G, R, A bytes).
#pragma once

#include "d3d9types.h"

struct D3DFormatGL {
    unsigned internalFormat = 0;
    unsigned clientFormat = 0;
    unsigned clientType = 0;
    UINT bytesPerPixel = 0;
    bool depth = false;
};

// False for formats the device cannot store.
bool LookUpD3DFormat(D3DFORMAT format, D3DFormatGL& gl);
