#include "FloatUlp.h"
#include "TestMatrices.h"
#include "d3dx9math.h"

#include <gtest/gtest.h>

#include <limits>

using fsmith::test::AllWithinUlps;

namespace {

D3DVIEWPORT9 Viewport(float minZ = 0.0f, float maxZ = 1.0f) {
    D3DVIEWPORT9 vp;
    vp.X = 10;
    vp.Y = 20;
    vp.Width = 640;
    vp.Height = 480;
    vp.MinZ = minZ;
    vp.MaxZ = maxZ;
    return vp;
}

struct Camera {
    D3DXMATRIX view;
    D3DXMATRIX proj;
};

Camera MakeCamera() {
    Camera c;
    const D3DXVECTOR3 eye(3.0f, 4.0f, -10.0f), at(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&c.view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&c.proj, D3DX_PI / 4.0f, 4.0f / 3.0f, 0.1f, 100.0f);
    return c;
}

} // namespace

TEST(D3DXVec3Project, MapsClipSpaceToViewportPixels) {
    const D3DVIEWPORT9 vp = Viewport();
    const D3DXMATRIX id = Identity();
    D3DXVECTOR3 out;
    const D3DXVECTOR3 centre(0.0f, 0.0f, 0.5f), topRight(1.0f, 1.0f, 0.0f), bottomLeft(-1.0f, -1.0f, 1.0f);
    EXPECT_EQ(*D3DXVec3Project(&out, &centre, &vp, &id, &id, &id), D3DXVECTOR3(330.0f, 260.0f, 0.5f));
    EXPECT_EQ(*D3DXVec3Project(&out, &topRight, &vp, &id, &id, &id), D3DXVECTOR3(650.0f, 20.0f, 0.0f));
    EXPECT_EQ(*D3DXVec3Project(&out, &bottomLeft, &vp, &id, &id, &id), D3DXVECTOR3(10.0f, 500.0f, 1.0f));

    const D3DVIEWPORT9 narrow = Viewport(0.25f, 0.75f);
    EXPECT_EQ(D3DXVec3Project(&out, &bottomLeft, &narrow, &id, &id, &id)->z, 0.75f);
}

TEST(D3DXVec3Project, WorldThenViewThenProjection) {
    const D3DVIEWPORT9 vp = Viewport();
    D3DXMATRIX world, view, proj;
    D3DXMatrixTranslation(&world, 0.5f, 0.0f, 0.0f);
    D3DXMatrixScaling(&view, 2.0f, 2.0f, 1.0f);
    D3DXMatrixTranslation(&proj, 0.0f, 0.0f, 0.5f);
    // (0, 0, 0) -> world (0.5, 0, 0) -> view (1, 0, 0) -> proj (1, 0, 0.5).
    const D3DXVECTOR3 origin(0.0f, 0.0f, 0.0f);
    D3DXVECTOR3 out;
    EXPECT_EQ(*D3DXVec3Project(&out, &origin, &vp, &proj, &view, &world), D3DXVECTOR3(650.0f, 260.0f, 0.5f));
    // Absent matrices act as the identity.
    EXPECT_EQ(*D3DXVec3Project(&out, &origin, &vp, nullptr, nullptr, nullptr),
              D3DXVECTOR3(330.0f, 260.0f, 0.0f));
}

TEST(D3DXVec3Unproject, InvertsProject) {
    const Camera cam = MakeCamera();
    const D3DXMATRIX id = Identity();
    const D3DVIEWPORT9 vp = Viewport();
    for (const D3DXVECTOR3& p : {D3DXVECTOR3(1.0f, 2.0f, 3.0f), D3DXVECTOR3(-2.0f, 0.5f, -1.0f)}) {
        D3DXVECTOR3 screen, back;
        D3DXVec3Project(&screen, &p, &vp, &cam.proj, &cam.view, &id);
        ASSERT_EQ(D3DXVec3Unproject(&back, &screen, &vp, &cam.proj, &cam.view, &id), &back);
        EXPECT_TRUE(AllWithinUlps(back, p, 3, 0, 1e-3f));
        // In place.
        ASSERT_EQ(D3DXVec3Unproject(&screen, &screen, &vp, &cam.proj, &cam.view, &id), &screen);
        EXPECT_EQ(screen, back);
    }
}

TEST(D3DXVec3Unproject, SingularTransformFailsAndLeavesOutputAlone) {
    const D3DXMATRIX zero;
    const D3DVIEWPORT9 vp = Viewport();
    const D3DXVECTOR3 screen(100.0f, 100.0f, 0.5f);
    D3DXVECTOR3 out(7.0f, 8.0f, 9.0f);
    EXPECT_EQ(D3DXVec3Unproject(&out, &screen, &vp, &zero, nullptr, nullptr), nullptr);
    EXPECT_EQ(out, D3DXVECTOR3(7.0f, 8.0f, 9.0f));
}

class D3DXIntersectTriTest : public testing::Test {
protected:
    // Right triangle in the plane z = 5, legs of 4 along X and Y.
    const D3DXVECTOR3 p0{0.0f, 0.0f, 5.0f};
    const D3DXVECTOR3 p1{4.0f, 0.0f, 5.0f};
    const D3DXVECTOR3 p2{0.0f, 4.0f, 5.0f};
    float u = -1.0f, v = -1.0f, dist = -1.0f;

    bool Hit(const D3DXVECTOR3& pos, const D3DXVECTOR3& dir) {
        return D3DXIntersectTri(&p0, &p1, &p2, &pos, &dir, &u, &v, &dist) != FALSE;
    }
};

TEST_F(D3DXIntersectTriTest, ReportsBarycentricsAndDistance) {
    ASSERT_TRUE(Hit({1.0f, 3.0f, 0.0f}, {0.0f, 0.0f, 1.0f}));
    EXPECT_EQ(u, 0.25f);
    EXPECT_EQ(v, 0.75f);
    EXPECT_EQ(dist, 5.0f);
    // The distance is measured in lengths of the direction.
    ASSERT_TRUE(Hit({1.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 2.0f}));
    EXPECT_EQ(dist, 2.5f);
    // Callers that want only the distance pass no barycentric outputs.
    const D3DXVECTOR3 pos(1.0f, 1.0f, 0.0f), dir(0.0f, 0.0f, 1.0f);
    EXPECT_TRUE(D3DXIntersectTri(&p0, &p1, &p2, &pos, &dir, nullptr, nullptr, &dist));
    EXPECT_EQ(dist, 5.0f);
}

TEST_F(D3DXIntersectTriTest, EitherSideCounts) {
    ASSERT_TRUE(Hit({1.0f, 1.0f, 10.0f}, {0.0f, 0.0f, -1.0f}));
    EXPECT_EQ(dist, 5.0f);
    const D3DXVECTOR3 pos(1.0f, 3.0f, 0.0f), dir(0.0f, 0.0f, 1.0f);
    ASSERT_TRUE(D3DXIntersectTri(&p0, &p2, &p1, &pos, &dir, &u, &v, &dist));
    EXPECT_EQ(u, 0.75f);
    EXPECT_EQ(v, 0.25f);
}

TEST_F(D3DXIntersectTriTest, EdgesVerticesAndTheOriginAreInclusive) {
    EXPECT_TRUE(Hit({2.0f, 2.0f, 0.0f}, {0.0f, 0.0f, 1.0f}));
    EXPECT_TRUE(Hit({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}));
    ASSERT_TRUE(Hit({1.0f, 1.0f, 5.0f}, {0.0f, 0.0f, 1.0f}));
    EXPECT_EQ(dist, 0.0f);
}

TEST_F(D3DXIntersectTriTest, MissesLeaveOutputsAlone) {
    EXPECT_FALSE(Hit({3.0f, 3.0f, 0.0f}, {0.0f, 0.0f, 1.0f}));  // past the hypotenuse
    EXPECT_FALSE(Hit({-0.1f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f})); // left of the Y leg
    EXPECT_FALSE(Hit({1.0f, 1.0f, 10.0f}, {0.0f, 0.0f, 1.0f})); // triangle behind the ray
    EXPECT_FALSE(Hit({1.0f, 1.0f, 0.0f}, {1.0f, 0.0f, 0.0f}));  // parallel to the plane
    EXPECT_FALSE(Hit({1.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 0.0f}));  // no direction
    EXPECT_EQ(u, -1.0f);
    EXPECT_EQ(v, -1.0f);
    EXPECT_EQ(dist, -1.0f);
}

TEST_F(D3DXIntersectTriTest, DegenerateInputNeverHits) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(Hit({nan, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}));
    EXPECT_FALSE(Hit({1.0f, 1.0f, 0.0f}, {0.0f, nan, 1.0f}));
    const D3DXVECTOR3 a(0, 0, 5), b(1, 1, 5), c(2, 2, 5), pos(1, 1, 0), dir(0, 0, 1);
    EXPECT_FALSE(D3DXIntersectTri(&a, &b, &c, &pos, &dir, &u, &v, &dist)); // collinear corners
}
