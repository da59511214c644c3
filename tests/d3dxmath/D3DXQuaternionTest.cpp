#include "FloatUlp.h"
#include "d3dx9math.h"

#include <gtest/gtest.h>

#include <cmath>

using fsmith::test::AllWithinUlps;

namespace {

// A rotation of `angle` about Z, written out from the half-angle definition.
D3DXQUATERNION AboutZ(double angle) {
    return D3DXQUATERNION(0.0f, 0.0f, float(std::sin(angle / 2.0)), float(std::cos(angle / 2.0)));
}

D3DXMATRIX ToMatrix(const D3DXQUATERNION& q) {
    D3DXMATRIX m;
    return *D3DXMatrixRotationQuaternion(&m, &q);
}

D3DXQUATERNION FromMatrix(const D3DXMATRIX& m) {
    D3DXQUATERNION q;
    return *D3DXQuaternionRotationMatrix(&q, &m);
}

D3DXQUATERNION Slerp(const D3DXQUATERNION& a, const D3DXQUATERNION& b, float t) {
    D3DXQUATERNION q;
    return *D3DXQuaternionSlerp(&q, &a, &b, t);
}

D3DXQUATERNION Identity() {
    D3DXQUATERNION q;
    return *D3DXQuaternionIdentity(&q);
}

constexpr double kPi = 3.14159265358979323846;

} // namespace

TEST(D3DXQuaternion, DotAndProductOperator) {
    const D3DXQUATERNION a(1.0f, 2.0f, 3.0f, 4.0f);
    const D3DXQUATERNION b(0.5f, -1.0f, 0.0f, 2.0f);
    EXPECT_EQ(D3DXQuaternionDot(&a, &b), 6.5f);
    D3DXQUATERNION product;
    D3DXQuaternionMultiply(&product, &a, &b);
    EXPECT_EQ(a * b, product);
}

TEST(D3DXQuaternion, NormalizeKeepsZeroAtZero) {
    D3DXQUATERNION q(0.0f, 0.0f, 3.0f, 4.0f);
    D3DXQuaternionNormalize(&q, &q);
    EXPECT_TRUE(AllWithinUlps(q, {0.0f, 0.0f, 0.6f, 0.8f}, 1));
    const D3DXQUATERNION zero;
    EXPECT_EQ(*D3DXQuaternionNormalize(&q, &zero), zero);
}

TEST(D3DXQuaternion, RotationAxisUsesHalfAngleAndUnitAxis) {
    const D3DXVECTOR3 axis(0.0f, 0.0f, 3.0f);
    D3DXQUATERNION q;
    D3DXQuaternionRotationAxis(&q, &axis, 1.0f);
    EXPECT_TRUE(AllWithinUlps(q, AboutZ(1.0), 4, 1));
}

TEST(D3DXQuaternion, MatrixOfAQuaternionMatchesTheAxisRotation) {
    D3DXMATRIX rz;
    D3DXMatrixRotationZ(&rz, 0.8f);
    EXPECT_TRUE(AllWithinUlps(ToMatrix(AboutZ(0.8f)), rz, 16, 2, 1e-7f));
    EXPECT_TRUE(D3DXMatrixIsIdentity(&static_cast<const D3DXMATRIX&>(ToMatrix(Identity()))));
}

TEST(D3DXQuaternion, MultiplyComposesInMatrixOrder) {
    const D3DXVECTOR3 axisA(1.0f, 2.0f, 3.0f), axisB(-2.0f, 1.0f, 0.5f);
    D3DXQUATERNION qa, qb, q;
    D3DXQuaternionRotationAxis(&qa, &axisA, 0.9f);
    D3DXQuaternionRotationAxis(&qb, &axisB, -1.3f);
    D3DXQuaternionMultiply(&q, &qa, &qb);
    EXPECT_TRUE(AllWithinUlps(ToMatrix(q), ToMatrix(qa) * ToMatrix(qb), 16, 4, 1e-6f));
    EXPECT_FALSE(AllWithinUlps(ToMatrix(q), ToMatrix(qb) * ToMatrix(qa), 16, 4, 1e-6f));
    // The output may be an input.
    D3DXQuaternionMultiply(&qa, &qa, &qb);
    EXPECT_EQ(qa, q);
}

TEST(D3DXQuaternion, FromMatrixRecoversTheRotationOnEveryBranch) {
    // Beyond 120 degrees the trace is negative and the dominant diagonal element picks the branch.
    const D3DXVECTOR3 axes[] = {{1.0f, 0.2f, 0.1f}, {0.2f, 1.0f, -0.1f}, {0.1f, -0.2f, 1.0f}};
    D3DXMATRIX cases[5];
    D3DXMatrixRotationYawPitchRoll(&cases[0], 0.3f, -1.1f, 0.6f);
    for (int i = 0; i < 3; ++i) {
        D3DXMatrixRotationAxis(&cases[i + 1], &axes[i], 2.6f);
    }
    D3DXMatrixRotationX(&cases[4], D3DX_PI);
    for (const D3DXMATRIX& m : cases) {
        const D3DXQUATERNION q = FromMatrix(m);
        EXPECT_NEAR(D3DXQuaternionDot(&q, &q), 1.0f, 1e-6f);
        EXPECT_TRUE(AllWithinUlps(ToMatrix(q), m, 16, 4, 1e-6f));
    }
}

TEST(D3DXQuaternionSlerp, FollowsTheArc) {
    const D3DXQUATERNION start = Identity();
    const D3DXQUATERNION end = AboutZ(kPi / 2.0);
    EXPECT_TRUE(AllWithinUlps(Slerp(start, end, 0.5f), AboutZ(kPi / 4.0), 4, 2));
    EXPECT_TRUE(AllWithinUlps(Slerp(start, end, 0.0f), start, 4, 1));
    EXPECT_TRUE(AllWithinUlps(Slerp(start, end, 1.0f), end, 4, 1));
    // Beyond 1 the blend keeps turning at the same rate.
    EXPECT_TRUE(AllWithinUlps(Slerp(start, AboutZ(kPi / 4.0), 2.0f), end, 4, 2));
}

TEST(D3DXQuaternionSlerp, TakesTheShorterArc) {
    const D3DXQUATERNION start = Identity();
    const D3DXQUATERNION end = AboutZ(kPi / 2.0);
    EXPECT_TRUE(AllWithinUlps(Slerp(start, -end, 0.5f), AboutZ(kPi / 4.0), 4, 2));
    // 300 degrees one way is 60 degrees the other.
    EXPECT_TRUE(AllWithinUlps(ToMatrix(Slerp(start, AboutZ(kPi * 5.0 / 3.0), 0.5f)),
                              ToMatrix(AboutZ(-kPi / 6.0)), 16, 4, 1e-6f));
}

TEST(D3DXQuaternionSlerp, EqualInputsStayFinite) {
    const D3DXQUATERNION q = AboutZ(0.3);
    EXPECT_TRUE(AllWithinUlps(Slerp(q, q, 0.3f), q, 4, 1));
    // Slightly longer than unit: the cosine of the angle between them exceeds 1.
    const D3DXQUATERNION longer = q * 1.0000002f;
    const D3DXQUATERNION blended = Slerp(q, longer, 0.5f);
    EXPECT_TRUE(AllWithinUlps(blended, q, 4, 4));
}
