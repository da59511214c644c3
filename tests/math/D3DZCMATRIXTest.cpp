#include "D3DZCMATRIX.h"
#include "FloatUlp.h"
#include "TestMatrices.h"

#include <gtest/gtest.h>

using fsmith::test::AllWithinUlps;

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Angles {
    float x, y, z;
};

Angles EulerXYZ(const D3DZCMATRIX& m, bool degrees = false) {
    Angles a{};
    m.GetEulerAngleXYZ(a.x, a.y, a.z, degrees);
    return a;
}

Angles EulerYXZ(const D3DZCMATRIX& m, bool degrees = false) {
    Angles a{};
    m.GetEulerAngleYXZ(a.x, a.y, a.z, degrees);
    return a;
}

// Angles read back through asin of a computed quotient lose a few ULPs.
constexpr float kAngleTolerance = 2e-6f;

// The float the library turns a quarter turn in degrees into.
constexpr float kQuarterTurn = 90.0f * D3DZ_DEGREE_TO_RADIAN;

} // namespace

TEST(D3DZCMATRIX, StartsAsIdentityAndSurvivesSelfAssignment) {
    EXPECT_EQ(D3DZCMATRIX(), Identity());
    D3DZCMATRIX m = Translation(1.0f, 2.0f, 3.0f);
    const D3DXMATRIX& self = m;
    EXPECT_EQ(&(m = self), &m);
    EXPECT_EQ(m, Translation(1.0f, 2.0f, 3.0f));
}

TEST(D3DZCMATRIX, SettersReplaceTheWholeMatrix) {
    D3DZCMATRIX m;
    m.SetRotation(30.0f, 40.0f, 50.0f);
    m.SetTrans(1.0f, 2.0f, 3.0f);
    EXPECT_EQ(m, Translation(1.0f, 2.0f, 3.0f));
    m.SetTrans(D3DXVECTOR3(4.0f, 5.0f, 6.0f));
    EXPECT_EQ(m, Translation(4.0f, 5.0f, 6.0f));

    m.SetScaling(2.0f, 3.0f, 4.0f);
    D3DXMATRIX s;
    EXPECT_EQ(m, *D3DXMatrixScaling(&s, 2.0f, 3.0f, 4.0f));
    m.SetScaling(D3DXVECTOR3(1.0f, 1.0f, 1.0f));
    EXPECT_EQ(m, Identity());
}

TEST(D3DZCMATRIX, RotationsTakeDegreesAsPitchYawRoll) {
    D3DZCMATRIX m;
    m.SetRotation(90.0f, 0.0f, 0.0f);
    EXPECT_TRUE(AllWithinUlps(m.GetAxisY(), {0.0f, 0.0f, 1.0f}, 0, 1e-7f));
    EXPECT_EQ(m, RotationX(kQuarterTurn));
    m.SetRotation(0.0f, 90.0f, 0.0f);
    EXPECT_EQ(m, RotationY(kQuarterTurn));

    m.SetRotation(10.0f, 20.0f, 30.0f);
    D3DXMATRIX ypr;
    D3DXMatrixRotationYawPitchRoll(&ypr, 20.0f * D3DZ_DEGREE_TO_RADIAN, 10.0f * D3DZ_DEGREE_TO_RADIAN,
                                   30.0f * D3DZ_DEGREE_TO_RADIAN);
    EXPECT_EQ(m, ypr);
    D3DZCMATRIX fromVector;
    fromVector.SetRotation(D3DXVECTOR3(10.0f, 20.0f, 30.0f));
    EXPECT_EQ(fromVector, ypr);

    m.SetRotateAxis(D3DXVECTOR3(0.0f, 0.0f, 2.0f), 30.0f);
    EXPECT_TRUE(AllWithinUlps(m, RotationZ(30.0f * D3DZ_DEGREE_TO_RADIAN), 16, 1));
}

TEST(D3DZCMATRIX, AxesScaleAndPosition) {
    D3DZCMATRIX m;
    m.SetScaling(2.0f, 3.0f, 4.0f);
    EXPECT_EQ(m.GetScaleX(), 2.0f);
    EXPECT_EQ(m.GetScale(), D3DXVECTOR3(2.0f, 3.0f, 4.0f));

    m = D3DXMATRIX(m) * RotationY(0.6f) * Translation(7.0f, 8.0f, 9.0f);
    EXPECT_EQ(m.GetPos(), D3DXVECTOR3(7.0f, 8.0f, 9.0f));
    EXPECT_EQ(m.GetAxisZ(), D3DXVECTOR3(m._31, m._32, m._33));
    EXPECT_TRUE(AllWithinUlps(m.GetScale(), {2.0f, 3.0f, 4.0f}, 2));
    EXPECT_TRUE(
        AllWithinUlps(m.GetAxisX(), {float(2.0 * std::cos(0.6)), 0.0f, float(-2.0 * std::sin(0.6))}, 1));
}

TEST(D3DZCMATRIX, NormalizeRotationRemovesScaleOnly) {
    D3DZCMATRIX m;
    m.SetScaling(2.0f, 3.0f, 4.0f);
    m = D3DXMATRIX(m) * RotationZ(0.4f) * Translation(7.0f, 8.0f, 9.0f);
    m._14 = 0.5f;
    m._24 = 0.25f;
    m.NormalizeRotation();
    EXPECT_TRUE(AllWithinUlps(m.GetScale(), {1.0f, 1.0f, 1.0f}, 1));
    const D3DXMATRIX r = RotationZ(0.4f);
    EXPECT_TRUE(AllWithinUlps(m.GetAxisX(), r.m[0], 3, 2));
    EXPECT_TRUE(AllWithinUlps(m.GetAxisY(), r.m[1], 3, 2));
    EXPECT_TRUE(AllWithinUlps(m.GetAxisZ(), r.m[2], 3, 2));
    EXPECT_EQ(m._14, 0.5f);
    EXPECT_EQ(m._24, 0.25f);
    EXPECT_EQ(m.GetPos(), D3DXVECTOR3(7.0f, 8.0f, 9.0f));
    EXPECT_EQ(m._44, 1.0f);
}

TEST(D3DZCMATRIX, InverseUndoesTheTransform) {
    D3DZCMATRIX m;
    m.SetRotation(10.0f, 20.0f, 30.0f);
    m = D3DXMATRIX(m) * Translation(1.0f, -2.0f, 3.0f);
    EXPECT_TRUE(AllWithinUlps(D3DXMATRIX(m) * m.GetInverse(), Identity(), 16, 4, 1e-6f));

    D3DXMATRIX out;
    D3DZCMATRIX::Inverse(&out, &m);
    EXPECT_EQ(out, m.GetInverse());

    // Without an inverse, GetInverse gives the identity and Inverse leaves its output alone.
    D3DZCMATRIX flat;
    flat.SetScaling(1.0f, 0.0f, 1.0f);
    EXPECT_EQ(flat.GetInverse(), Identity());
    D3DZCMATRIX::Inverse(&out, &flat);
    EXPECT_EQ(out, m.GetInverse());
}

TEST(D3DZCMATRIX, RotateLocalTurnsBeforeTheExistingTransform) {
    D3DZCMATRIX m = Translation(10.0f, 0.0f, 0.0f);
    m.RotateLocal(0.0f, 0.0f, 90.0f);
    D3DXVECTOR3 p(1.0f, 0.0f, 0.0f);
    D3DXVec3TransformCoord(&p, &p, &m);
    EXPECT_TRUE(AllWithinUlps(p, {10.0f, 1.0f, 0.0f}, 1, 1e-6f));

    D3DZCMATRIX expected;
    expected.SetRotation(5.0f, 15.0f, 25.0f);
    m = Translation(1.0f, 2.0f, 3.0f);
    m.RotateLocal(5.0f, 15.0f, 25.0f);
    EXPECT_EQ(m, D3DXMATRIX(expected) * Translation(1.0f, 2.0f, 3.0f));
}

TEST(D3DZCMATRIX, ProjectsToTheCurrentViewport) {
    const D3DXMATRIX id = Identity();
    const D3DXVECTOR3 pos(0.5f, -0.5f, 0.25f);
    D3DXVECTOR3 screen;
    D3DZCMATRIX m;

    // No device: the viewport is empty and everything lands on its corner.
    m.MakeProject2D(screen, pos, id, id);
    EXPECT_EQ(screen, D3DXVECTOR3(0.0f, 0.0f, 0.25f));
    EXPECT_EQ(m, Identity());

    D3DZCMATRIX::SetViewportSource([] {
        D3DVIEWPORT9 vp;
        vp.X = 10;
        vp.Y = 20;
        vp.Width = 640;
        vp.Height = 480;
        return vp;
    });
    m.MakeProject2D(screen, pos, id, id);
    EXPECT_EQ(screen, D3DXVECTOR3(490.0f, 380.0f, 0.25f));
    EXPECT_EQ(m, Translation(490.0f, 380.0f, 0.0f));

    D3DXMATRIX view = Translation(-0.5f, 0.5f, 0.0f);
    D3DXVECTOR3 same = pos;
    m.MakeProject2D(same, same, id, view);
    EXPECT_EQ(same, D3DXVECTOR3(330.0f, 260.0f, 0.25f));

    D3DZCMATRIX::SetViewportSource(nullptr);
    m.MakeProject2D(screen, pos, id, id);
    EXPECT_EQ(screen, D3DXVECTOR3(0.0f, 0.0f, 0.25f));
}

TEST(D3DZCMATRIXEulerXYZ, IdentityIsZero) {
    const Angles a = EulerXYZ(D3DZCMATRIX());
    EXPECT_EQ(a.x, 0.0f);
    EXPECT_EQ(a.y, 0.0f);
    EXPECT_EQ(a.z, 0.0f);
}

TEST(D3DZCMATRIXEulerXYZ, RecoversXThenYThenZ) {
    const D3DZCMATRIX m = RotationX(0.4f) * RotationY(-0.7f) * RotationZ(1.2f);
    const Angles a = EulerXYZ(m);
    EXPECT_NEAR(a.x, 0.4f, kAngleTolerance);
    EXPECT_NEAR(a.y, -0.7f, kAngleTolerance);
    EXPECT_NEAR(a.z, 1.2f, kAngleTolerance);
}

TEST(D3DZCMATRIXEulerXYZ, DegreesUseTheFactor57Point3) {
    const Angles a = EulerXYZ(RotationZ(1.0f), true);
    EXPECT_EQ(a.z, 57.3f);
    EXPECT_EQ(a.x, 0.0f);
    EXPECT_EQ(a.y, 0.0f);
}

TEST(D3DZCMATRIXEulerXYZ, BackFacingZMirrorsXAbout3Point14154) {
    const float x = 2.0943951f; // 120 degrees
    const Angles a = EulerXYZ(RotationX(x) * RotationY(0.3f) * RotationZ(0.5f));
    // Mirrored about pi the reading would be x itself; the constant leaves it 5.3e-5 short.
    EXPECT_NEAR(a.x, float(3.14154 - (kPi - x)), 1e-5f);
    EXPECT_NEAR(a.y, 0.3f, kAngleTolerance);
    EXPECT_NEAR(a.z, 0.5f, kAngleTolerance);
}

TEST(D3DZCMATRIXEulerXYZ, QuarterTurnAboutYFoldsXIntoZ) {
    D3DZCMATRIX m;
    m._13 = -1.0f;
    Angles a = EulerXYZ(m);
    EXPECT_EQ(a.y, 1.5707964f);
    EXPECT_EQ(a.x, 0.0f);
    EXPECT_EQ(a.z, 0.0f);

    // A yaw of 90 degrees reads back as that yaw, not as no rotation at all.
    m.SetRotation(0.0f, 90.0f, 0.0f);
    a = EulerXYZ(m, true);
    EXPECT_EQ(a.y, 1.5707964f * 57.3f);
    EXPECT_EQ(a.x, 0.0f);
    EXPECT_NEAR(a.z, 0.0f, 1e-5f);

    // Pitch and roll about the same axis: their difference is all that can be read.
    a = EulerXYZ(RotationX(0.3f) * RotationY(kQuarterTurn) * RotationZ(0.5f));
    EXPECT_EQ(a.x, 0.0f);
    EXPECT_EQ(a.y, 1.5707964f);
    EXPECT_NEAR(a.z, 0.2f, 1e-5f);

    // Just short of the quarter turn, where the cosine is still positive.
    a = EulerXYZ(RotationX(0.3f) * RotationY(1.5702f) * RotationZ(0.5f));
    EXPECT_EQ(a.x, 0.0f);
    EXPECT_NEAR(a.y, 1.5702f, kAngleTolerance);
    EXPECT_NEAR(a.z, 0.2f, 1e-5f);
}

TEST(D3DZCMATRIXEulerYXZ, RecoversYThenXThenZ) {
    EXPECT_EQ(EulerYXZ(D3DZCMATRIX()).y, 0.0f);
    const Angles a = EulerYXZ(RotationY(-0.7f) * RotationX(0.4f) * RotationZ(1.2f));
    EXPECT_NEAR(a.x, 0.4f, kAngleTolerance);
    EXPECT_NEAR(a.y, -0.7f, kAngleTolerance);
    EXPECT_NEAR(a.z, 1.2f, kAngleTolerance);

    const Angles d = EulerYXZ(RotationY(2.0943951f) * RotationX(0.3f) * RotationZ(0.5f), true);
    EXPECT_NEAR(d.y, float(3.14154 - (kPi - 2.0943951)) * 57.3f, 1e-3f);
    EXPECT_NEAR(d.x, 0.3f * 57.3f, 1e-4f);
    EXPECT_NEAR(d.z, 0.5f * 57.3f, 1e-4f);
}

TEST(D3DZCMATRIXEulerYXZ, QuarterTurnAboutXFoldsYIntoZ) {
    const D3DZCMATRIX m = RotationY(0.3f) * RotationX(kQuarterTurn) * RotationZ(0.5f);
    const D3DZCMATRIX before = m;
    const Angles a = EulerYXZ(m);
    EXPECT_EQ(a.y, 0.0f);
    EXPECT_NEAR(a.x, 1.5707964f, kAngleTolerance);
    EXPECT_NEAR(a.z, 0.8f, 1e-5f);
    EXPECT_EQ(m, before);
}
