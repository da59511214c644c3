// The length of a full mipmap chain, for textures the device creates and for the files D3DX reads into
// them: a level count of 0 asks for it, and a file may hold no more levels than it.
#pragma once

#include "Win32Types.h"

#include <algorithm>

// Levels from width by height down to 1 by 1, each half the one before (rounded down, at least 1).
inline UINT FullChainLength(UINT width, UINT height) {
    UINT levels = 1;
    for (; width > 1 || height > 1; ++levels) {
        width = std::max(1u, width / 2);
        height = std::max(1u, height / 2);
    }
    return levels;
}
