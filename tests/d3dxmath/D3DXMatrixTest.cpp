#include "FloatUlp.h"
#include "TestMatrices.h"
#include "d3dx9math.h"

#include <gtest/gtest.h>

#include <cmath>

using fsmith::test::AllWithinUlps;

namespace {

constexpr float kQuarterTurn = D3DX_PI / 2.0f;

D3DXVECTOR3 Apply(const D3DXVECTOR3& v, const D3DXMATRIX& m) {
    D3DXVECTOR3 out;
    return *D3DXVec3TransformCoord(&out, &v, &m);
}

// A matrix with no special structure and a determinant far from zero.
D3DXMATRIX General() {
    return D3DXMATRIX(2.0f, 0.5f, -1.0f, 0.25f, 1.0f, 3.0f, 0.5f, -0.5f, -2.0f, 1.0f, 4.0f, 1.0f, 3.0f, -1.0f,
                      2.0f, 1.5f);
}

// Near-zero entries come from cancellation, where ULPs say nothing; 1e-6 of a unit is far below any
// visible error.
constexpr float kRotationFloor = 1e-6f;

} // namespace

TEST(D3DXMatrixMultiply, FirstOperandAppliesFirst) {
    const D3DXMATRIX t = Translation(1.0f, 2.0f, 3.0f);
    const D3DXMATRIX s = Scaling(2.0f, 2.0f, 2.0f);
    const D3DXVECTOR3 p(1.0f, 0.0f, 0.0f);
    EXPECT_EQ(Apply(p, t * s), D3DXVECTOR3(4.0f, 4.0f, 6.0f));
    EXPECT_EQ(Apply(p, s * t), D3DXVECTOR3(3.0f, 2.0f, 3.0f));

    D3DXMATRIX product;
    D3DXMatrixMultiply(&product, &t, &s);
    EXPECT_EQ(product, t * s);
    D3DXMATRIX viaAssign = t;
    viaAssign *= s;
    EXPECT_EQ(viaAssign, product);
}

TEST(D3DXMatrixMultiply, OutputMayAliasEitherInput) {
    const D3DXMATRIX a = General();
    const D3DXMATRIX b = Translation(1.0f, -2.0f, 0.5f) * Scaling(2.0f, 3.0f, 4.0f);
    D3DXMATRIX expected;
    D3DXMatrixMultiply(&expected, &a, &b);

    D3DXMATRIX left = a;
    D3DXMatrixMultiply(&left, &left, &b);
    EXPECT_EQ(left, expected);

    D3DXMATRIX right = b;
    D3DXMatrixMultiply(&right, &a, &right);
    EXPECT_EQ(right, expected);

    D3DXMATRIX square;
    D3DXMatrixMultiply(&square, &a, &a);
    D3DXMATRIX both = a;
    D3DXMatrixMultiply(&both, &both, &both);
    EXPECT_EQ(both, square);
}

TEST(D3DXMatrixMultiply, EachElementIsOneRoundingOfAnExactSum) {
    // Summed in float, 1e8 + 1 - 1e8 gives 0.
    D3DXMATRIX a;
    a._11 = 1e8f;
    a._12 = 1.0f;
    a._13 = -1e8f;
    D3DXMATRIX b;
    b._11 = b._21 = b._31 = 1.0f;
    EXPECT_EQ((a * b)._11, 1.0f);
}

TEST(D3DXMatrixTranspose, SwapsRowsAndColumnsInPlaceToo) {
    D3DXMATRIX m = General();
    D3DXMatrixTranspose(&m, &m);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(m.m[r][c], General().m[c][r]);
        }
    }
}

TEST(D3DXMatrixDeterminant, MatchesHandValues) {
    D3DXMATRIX d = Scaling(2.0f, 3.0f, 4.0f);
    d._44 = 5.0f;
    EXPECT_EQ(D3DXMatrixDeterminant(&d), 120.0f);
    // Exchanging two rows flips the sign.
    std::swap(d.m[0], d.m[1]);
    EXPECT_EQ(D3DXMatrixDeterminant(&d), -120.0f);
    const D3DXMATRIX g = General();
    // Worked out by cofactor expansion along row 1.
    EXPECT_EQ(D3DXMatrixDeterminant(&g), -26.375f);
}

TEST(D3DXMatrixInverse, UndoesTheTransform) {
    const D3DXMATRIX g = General();
    D3DXMATRIX inv;
    float det = 0.0f;
    ASSERT_EQ(D3DXMatrixInverse(&inv, &det, &g), &inv);
    EXPECT_EQ(det, -26.375f);
    EXPECT_TRUE(AllWithinUlps(g * inv, Identity(), 16, 4, 1e-6f));
    EXPECT_TRUE(AllWithinUlps(inv * g, Identity(), 16, 4, 1e-6f));

    D3DXMatrixInverse(&inv, nullptr, &g);
    EXPECT_TRUE(AllWithinUlps(g * inv, Identity(), 16, 4, 1e-6f));
}

TEST(D3DXMatrixInverse, SimpleTransformsInvertExactlyInPlace) {
    D3DXMATRIX m = Translation(1.5f, -2.0f, 8.0f);
    ASSERT_EQ(D3DXMatrixInverse(&m, nullptr, &m), &m);
    EXPECT_EQ(m, Translation(-1.5f, 2.0f, -8.0f));
    m = Scaling(2.0f, 4.0f, -8.0f);
    EXPECT_EQ(*D3DXMatrixInverse(&m, nullptr, &m), Scaling(0.5f, 0.25f, -0.125f));
}

TEST(D3DXMatrixInverse, SingularMatrixFailsAndLeavesOutputAlone) {
    D3DXMATRIX singular = General();
    for (int c = 0; c < 4; ++c) {
        singular.m[2][c] = 2.0f * singular.m[0][c];
    }
    D3DXMATRIX out = Translation(7.0f, 8.0f, 9.0f);
    float det = 99.0f;
    EXPECT_EQ(D3DXMatrixInverse(&out, &det, &singular), nullptr);
    EXPECT_EQ(det, 0.0f);
    EXPECT_EQ(out, Translation(7.0f, 8.0f, 9.0f));

    const D3DXMATRIX zero;
    EXPECT_EQ(D3DXMatrixInverse(&out, nullptr, &zero), nullptr);
    EXPECT_EQ(out, Translation(7.0f, 8.0f, 9.0f));
}

TEST(D3DXMatrixRotation, SingleAxesTurnLeftHanded) {
    const float a = 0.5f;
    const float c = float(std::cos(0.5)), s = float(std::sin(0.5));
    D3DXMATRIX m;
    EXPECT_TRUE(
        AllWithinUlps(*D3DXMatrixRotationX(&m, a), {1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1}, 0));
    EXPECT_TRUE(
        AllWithinUlps(*D3DXMatrixRotationY(&m, a), {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1}, 0));
    EXPECT_TRUE(
        AllWithinUlps(*D3DXMatrixRotationZ(&m, a), {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, 0));

    // A positive quarter turn takes Y to Z about X, Z to X about Y, X to Y about Z.
    const D3DXVECTOR3 x(1, 0, 0), y(0, 1, 0), z(0, 0, 1);
    EXPECT_TRUE(AllWithinUlps(Apply(y, *D3DXMatrixRotationX(&m, kQuarterTurn)), z, 3, 0, 1e-7f));
    EXPECT_TRUE(AllWithinUlps(Apply(z, *D3DXMatrixRotationY(&m, kQuarterTurn)), x, 3, 0, 1e-7f));
    EXPECT_TRUE(AllWithinUlps(Apply(x, *D3DXMatrixRotationZ(&m, kQuarterTurn)), y, 3, 0, 1e-7f));
}

TEST(D3DXMatrixRotationAxis, NormalisesTheAxis) {
    const D3DXVECTOR3 axis(0.0f, 0.0f, 5.0f);
    D3DXMATRIX m, rz;
    D3DXMatrixRotationAxis(&m, &axis, 0.7f);
    D3DXMatrixRotationZ(&rz, 0.7f);
    EXPECT_TRUE(AllWithinUlps(m, rz, 16, 1));

    // A third of a turn about the diagonal cycles the axes.
    const D3DXVECTOR3 diagonal(2.0f, 2.0f, 2.0f);
    D3DXMatrixRotationAxis(&m, &diagonal, 2.0f * D3DX_PI / 3.0f);
    EXPECT_TRUE(AllWithinUlps(Apply(D3DXVECTOR3(1, 0, 0), m), {0.0f, 1.0f, 0.0f}, 2, 1e-6f));
    EXPECT_TRUE(AllWithinUlps(Apply(D3DXVECTOR3(0, 1, 0), m), {0.0f, 0.0f, 1.0f}, 2, 1e-6f));
}

TEST(D3DXMatrixRotationAxis, ZeroAxisGivesIdentity) {
    const D3DXVECTOR3 none(0.0f, 0.0f, 0.0f);
    D3DXMATRIX m = General();
    EXPECT_TRUE(D3DXMatrixIsIdentity(D3DXMatrixRotationAxis(&m, &none, 1.0f)));
}

TEST(D3DXMatrixRotationYawPitchRoll, IsRollThenPitchThenYaw) {
    const float yaw = 0.3f, pitch = -1.1f, roll = 2.2f;
    D3DXMATRIX rz, rx, ry, ypr;
    D3DXMatrixRotationZ(&rz, roll);
    D3DXMatrixRotationX(&rx, pitch);
    D3DXMatrixRotationY(&ry, yaw);
    D3DXMatrixRotationYawPitchRoll(&ypr, yaw, pitch, roll);
    EXPECT_TRUE(AllWithinUlps(ypr, rz * rx * ry, 16, 4, kRotationFloor));

    // Roll takes X to Y, then pitch takes Y to Z.
    D3DXMatrixRotationYawPitchRoll(&ypr, 0.0f, kQuarterTurn, kQuarterTurn);
    EXPECT_TRUE(AllWithinUlps(Apply(D3DXVECTOR3(1, 0, 0), ypr), {0.0f, 0.0f, 1.0f}, 2, 1e-7f));
}

TEST(D3DXMatrixRotationYawPitchRoll, SingleAnglesMatchSingleAxisRotations) {
    D3DXMATRIX ypr, single;
    EXPECT_EQ(*D3DXMatrixRotationYawPitchRoll(&ypr, 0.4f, 0.0f, 0.0f), *D3DXMatrixRotationY(&single, 0.4f));
    EXPECT_EQ(*D3DXMatrixRotationYawPitchRoll(&ypr, 0.0f, 0.4f, 0.0f), *D3DXMatrixRotationX(&single, 0.4f));
    EXPECT_EQ(*D3DXMatrixRotationYawPitchRoll(&ypr, 0.0f, 0.0f, 0.4f), *D3DXMatrixRotationZ(&single, 0.4f));
    EXPECT_TRUE(D3DXMatrixIsIdentity(D3DXMatrixRotationYawPitchRoll(&ypr, 0.0f, 0.0f, 0.0f)));
}

TEST(D3DXMatrixLookAtLH, ViewsAlongPositiveZ) {
    const D3DXVECTOR3 eye(0.0f, 0.0f, -5.0f), at(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    EXPECT_EQ(view, Translation(0.0f, 0.0f, 5.0f));

    // From +X looking at the origin, world -X is ahead and world +Z is to the right.
    const D3DXVECTOR3 side(10.0f, 0.0f, 0.0f);
    D3DXMatrixLookAtLH(&view, &side, &at, &up);
    EXPECT_EQ(Apply(side, view), D3DXVECTOR3(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(Apply(at, view), D3DXVECTOR3(0.0f, 0.0f, 10.0f));
    EXPECT_EQ(Apply(D3DXVECTOR3(10.0f, 0.0f, 1.0f), view), D3DXVECTOR3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(Apply(D3DXVECTOR3(10.0f, 1.0f, 0.0f), view), D3DXVECTOR3(0.0f, 1.0f, 0.0f));
}

TEST(D3DXMatrixProjection, PerspectiveMapsNearAndFarToZeroAndOne) {
    D3DXMATRIX proj;
    D3DXMatrixPerspectiveFovLH(&proj, kQuarterTurn, 2.0f, 1.0f, 11.0f);
    EXPECT_TRUE(AllWithinUlps(proj, {0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1.1f, 1, 0, 0, -1.1f, 0}, 1));
    EXPECT_TRUE(AllWithinUlps(Apply(D3DXVECTOR3(0.0f, 0.0f, 1.0f), proj), {0.0f, 0.0f, 0.0f}, 0, 1e-7f));
    EXPECT_TRUE(AllWithinUlps(Apply(D3DXVECTOR3(22.0f, 11.0f, 11.0f), proj), {1.0f, 1.0f, 1.0f}, 2));
}

TEST(D3DXMatrixProjection, OrthographicScalesToTheUnitBox) {
    D3DXMATRIX proj;
    D3DXMatrixOrthoLH(&proj, 4.0f, 2.0f, 1.0f, 3.0f);
    EXPECT_TRUE(AllWithinUlps(proj, {0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0.5f, 0, 0, 0, -0.5f, 1}, 0));
    EXPECT_EQ(Apply(D3DXVECTOR3(2.0f, -1.0f, 3.0f), proj), D3DXVECTOR3(1.0f, -1.0f, 1.0f));
}
