// Blends two rigid transforms: rotation by quaternion slerp, translation linearly. AnimeFrame is 0 at
// mStart and 1 at mEnd and is not clamped.
#pragma once

#include "d3dx9math.h"

void D3DZMatrixAnimation(D3DXMATRIX* mNow, const D3DXMATRIX* mStart, const D3DXMATRIX* mEnd, float AnimeFrame);
