#include "CD3D.h"

#include <gtest/gtest.h>

namespace {

// The quad y = 0, |x| <= 1, |z| <= 1, split along (-1, 0, -1)-(1, 0, 1).
const D3DXVECTOR3 kFloor[4] = {{-1, 0, -1}, {1, 0, -1}, {1, 0, 1}, {-1, 0, 1}};

D3DXMATRIX At(float x, float y, float z) {
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, z);
    return m;
}

} // namespace

TEST(CD3D_Ray, HitsEitherHalfOfTheQuadAndAMissLeavesTheDistance) {
    const D3DXVECTOR3 above(0, 5, 0), overSecondHalf(-0.5f, 3, 0.5f), beside(2, 5, 0), twiceDown(0, -2, 0);
    float dist = -1;
    EXPECT_TRUE(CD3D_Ray_Under(kFloor, &overSecondHalf, &dist) && dist == 3.0f);
    EXPECT_TRUE(CD3D_Ray(kFloor, &above, &twiceDown, &dist) && dist == 2.5f);
    EXPECT_TRUE(CD3D_Ray_Under(kFloor, &above, &dist) && dist == 5.0f);
    EXPECT_FALSE(CD3D_Ray_Up(kFloor, &above, &dist));
    EXPECT_FALSE(CD3D_Ray_Under(kFloor, &beside, &dist));
    EXPECT_EQ(dist, 5.0f);
    EXPECT_TRUE(CD3D_Ray_Under(kFloor, &above, nullptr));
    EXPECT_FALSE(CD3D_Ray(nullptr, &above, &twiceDown, nullptr));
    EXPECT_FALSE(CD3D_Ray(kFloor, nullptr, &twiceDown, nullptr));
    EXPECT_FALSE(CD3D_Ray(kFloor, &above, nullptr, nullptr));
}

TEST(CD3D_Ray, FixedDirectionsFollowTheAxes) {
    using Test = bool (*)(const D3DXVECTOR3*, const D3DXVECTOR3*, float*);
    const D3DXVECTOR3 wallX[4] = {{0, -1, -1}, {0, 1, -1}, {0, 1, 1}, {0, -1, 1}};
    const D3DXVECTOR3 wallZ[4] = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
    // Each ray starts 4 behind the quad it is aimed at; from the opposite side it misses.
    const struct {
        Test test;
        const D3DXVECTOR3* quad;
        D3DXVECTOR3 start;
    } cases[] = {{CD3D_Ray_Under, kFloor, {0, 4, 0}}, {CD3D_Ray_Up, kFloor, {0, -4, 0}},
                 {CD3D_Ray_Left, wallX, {4, 0, 0}},   {CD3D_Ray_Right, wallX, {-4, 0, 0}},
                 {CD3D_Ray_Front, wallZ, {0, 0, -4}}, {CD3D_Ray_Back, wallZ, {0, 0, 4}}};
    for (const auto& c : cases) {
        float dist = 0;
        EXPECT_TRUE(c.test(c.quad, &c.start, &dist) && dist == 4.0f) << &c - cases;
        const D3DXVECTOR3 opposite = -c.start;
        EXPECT_FALSE(c.test(c.quad, &opposite, &dist)) << &c - cases;
    }
}

TEST(CD3D_Sphere, TouchingSpheresDoNotOverlap) {
    const D3DXMATRIX a = At(1, 1, 1), b = At(1, 3, 1), c = At(1, 2.5f, 1);
    float gap = 42;
    EXPECT_FALSE(CD3D_Sphere(&a, 1, &b, 1, &gap));
    EXPECT_EQ(gap, 0.0f);
    EXPECT_TRUE(CD3D_Sphere(&a, 1, &c, 1, &gap));
    EXPECT_EQ(gap, -0.5f);
    EXPECT_TRUE(CD3D_Sphere(&a, 1, &c, 1, nullptr));
    EXPECT_FALSE(CD3D_Sphere(nullptr, 1, &a, 1, &gap));
    EXPECT_FALSE(CD3D_Sphere(&a, 1, nullptr, 1, &gap));
    EXPECT_EQ(gap, -0.5f);
}

TEST(CD3D_Sphere, FormsTheGapInDouble) {
    // 1 + 2^-24 rounds to 1 in float, which would make these spheres merely touch.
    const D3DXMATRIX a = At(0, 0, 0), b = At(1, 0, 0);
    float gap = 0;
    EXPECT_TRUE(CD3D_Sphere(&a, 1, &b, 0x1p-24f, &gap));
    EXPECT_EQ(gap, -0x1p-24f);
}

TEST(CD3D_Box, BoxesThatTouchOnAnyFaceDoNotOverlap) {
    const D3DXMATRIX a = At(0, 0, 0);
    const D3DXMATRIX touching[6] = {At(2, 0, 0),  At(-1, 0, 0), At(0, 2, 0),
                                    At(0, -1, 0), At(0, 0, 2),  At(0, 0, -1)};
    for (const D3DXMATRIX& b : touching) {
        EXPECT_FALSE(CD3D_Box(&a, 2, 2, 2, &b, 1, 1, 1)) << b._41 << ", " << b._42 << ", " << b._43;
        const D3DXMATRIX nearer = At(b._41 * 0.9f, b._42 * 0.9f, b._43 * 0.9f);
        EXPECT_TRUE(CD3D_Box(&a, 2, 2, 2, &nearer, 1, 1, 1));
    }
    EXPECT_FALSE(CD3D_Box(nullptr, 1, 1, 1, &a, 1, 1, 1));
    EXPECT_FALSE(CD3D_Box(&a, 1, 1, 1, nullptr, 1, 1, 1));
}
