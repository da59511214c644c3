// Arguments D3DX lets callers leave out, left out.
#include "d3dx9math.h"

#include <gtest/gtest.h>

namespace {

// Without a viewport, projection stops at clip coordinates and unprojection starts from them.
TEST(D3DXOptionalArguments, ProjectionWithoutAViewportStaysInClipSpace) {
    D3DXMATRIX scale;
    D3DXMatrixScaling(&scale, 2.0f, 4.0f, 0.5f);
    const D3DXVECTOR3 point(0.25f, 0.125f, 1.0f);
    D3DXVECTOR3 clip, back;
    ASSERT_EQ(D3DXVec3Project(&clip, &point, nullptr, &scale, nullptr, nullptr), &clip);
    EXPECT_EQ(clip, D3DXVECTOR3(0.5f, 0.5f, 0.5f));
    ASSERT_EQ(D3DXVec3Unproject(&back, &clip, nullptr, &scale, nullptr, nullptr), &back);
    EXPECT_EQ(back, point);
}

} // namespace
