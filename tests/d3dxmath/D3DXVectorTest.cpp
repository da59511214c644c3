#include "FloatUlp.h"
#include "TestMatrices.h"
#include "d3dx9math.h"

#include <gtest/gtest.h>

#include <cmath>

using fsmith::test::AllWithinUlps;
using fsmith::test::FloatsWithinUlps;

TEST(D3DXVector3, OperatorsWorkComponentWise) {
    const D3DXVECTOR3 a(1.0f, 2.0f, 3.0f);
    const D3DXVECTOR3 b(4.0f, -5.0f, 6.5f);
    EXPECT_EQ(a + b, D3DXVECTOR3(5.0f, -3.0f, 9.5f));
    EXPECT_EQ(a - b, D3DXVECTOR3(-3.0f, 7.0f, -3.5f));
    EXPECT_EQ(0.5f * a, D3DXVECTOR3(0.5f, 1.0f, 1.5f));
    D3DXVECTOR3 c = a;
    c += b;
    c -= a;
    c *= 2.0f;
    EXPECT_EQ(c, D3DXVECTOR3(8.0f, -10.0f, 13.0f));
}

TEST(D3DXVector3, DivisionIsCorrectlyRoundedNotAReciprocalProduct) {
    // 5 times the float nearest 1/3 rounds to 1.66666675, one ULP above the true quotient.
    EXPECT_EQ(D3DXVECTOR3(3.0f, 5.0f, 7.0f) / 3.0f, D3DXVECTOR3(1.0f, 5.0f / 3.0f, 7.0f / 3.0f));
}

TEST(D3DXVec3, LengthDotAndCross) {
    const D3DXVECTOR3 v(3.0f, 4.0f, 0.0f);
    EXPECT_EQ(D3DXVec3Length(&v), 5.0f);
    EXPECT_EQ(D3DXVec3LengthSq(&v), 25.0f);

    const D3DXVECTOR3 a(1.0f, 2.0f, 3.0f);
    const D3DXVECTOR3 b(4.0f, -5.0f, 6.0f);
    EXPECT_EQ(D3DXVec3Dot(&a, &b), 12.0f);

    const D3DXVECTOR3 x(1.0f, 0.0f, 0.0f), y(0.0f, 1.0f, 0.0f);
    D3DXVECTOR3 c;
    EXPECT_EQ(*D3DXVec3Cross(&c, &x, &y), D3DXVECTOR3(0.0f, 0.0f, 1.0f));
    EXPECT_EQ(*D3DXVec3Cross(&c, &y, &x), D3DXVECTOR3(0.0f, 0.0f, -1.0f));
    const D3DXVECTOR3 p(1.0f, 2.0f, 3.0f), q(4.0f, 5.0f, 6.0f);
    EXPECT_EQ(*D3DXVec3Cross(&c, &p, &q), D3DXVECTOR3(-3.0f, 6.0f, -3.0f));
    // The output may be an input.
    c = p;
    EXPECT_EQ(*D3DXVec3Cross(&c, &c, &q), D3DXVECTOR3(-3.0f, 6.0f, -3.0f));
}

TEST(D3DXVec3, SumsAreFormedInDouble) {
    // In float, 1e8 + 1 rounds back to 1e8 and the sum collapses to 0.
    const D3DXVECTOR3 a(1e8f, 1.0f, -1e8f);
    const D3DXVECTOR3 ones(1.0f, 1.0f, 1.0f);
    EXPECT_EQ(D3DXVec3Dot(&a, &ones), 1.0f);

    // Squares of 1e30 overflow a float.
    const D3DXVECTOR3 big(1e30f, 0.0f, 1e30f);
    EXPECT_PRED_FORMAT3(FloatsWithinUlps, D3DXVec3Length(&big), float(std::sqrt(2.0) * 1e30), 1);
}

TEST(D3DXVec3, LerpInterpolatesAndExtrapolates) {
    const D3DXVECTOR3 a(0.0f, 0.0f, 0.0f);
    const D3DXVECTOR3 b(2.0f, 4.0f, 8.0f);
    D3DXVECTOR3 out;
    EXPECT_EQ(*D3DXVec3Lerp(&out, &a, &b, 0.25f), D3DXVECTOR3(0.5f, 1.0f, 2.0f));
    EXPECT_EQ(*D3DXVec3Lerp(&out, &a, &b, -1.0f), D3DXVECTOR3(-2.0f, -4.0f, -8.0f));
    EXPECT_EQ(*D3DXVec3Lerp(&out, &b, &a, 0.0f), b);
    out = b;
    EXPECT_EQ(*D3DXVec3Lerp(&out, &a, &out, 2.0f), D3DXVECTOR3(4.0f, 8.0f, 16.0f));
}

TEST(D3DXVec3Normalize, GivesUnitLength) {
    const D3DXVECTOR3 v(3.0f, 0.0f, 4.0f);
    D3DXVECTOR3 out;
    D3DXVec3Normalize(&out, &v);
    EXPECT_TRUE(AllWithinUlps(out, {0.6f, 0.0f, 0.8f}, 1));

    D3DXVECTOR3 inPlace(0.0f, -2.0f, 0.0f);
    EXPECT_EQ(*D3DXVec3Normalize(&inPlace, &inPlace), D3DXVECTOR3(0.0f, -1.0f, 0.0f));
}

TEST(D3DXVec3Normalize, ZeroStaysZero) {
    const D3DXVECTOR3 zero(0.0f, 0.0f, 0.0f);
    D3DXVECTOR3 out(7.0f, 7.0f, 7.0f);
    EXPECT_EQ(*D3DXVec3Normalize(&out, &zero), zero);
}

TEST(D3DXVec3Normalize, ExtremeMagnitudesKeepTheirDirection) {
    // The squares of these underflow or overflow in float.
    const D3DXVECTOR3 tiny(1e-40f, 0.0f, 0.0f);
    const D3DXVECTOR3 huge(1e30f, 0.0f, -1e30f);
    D3DXVECTOR3 out;
    EXPECT_EQ(*D3DXVec3Normalize(&out, &tiny), D3DXVECTOR3(1.0f, 0.0f, 0.0f));
    D3DXVec3Normalize(&out, &huge);
    const float h = float(std::sqrt(0.5));
    EXPECT_TRUE(AllWithinUlps(out, {h, 0.0f, -h}, 1));
}

TEST(D3DXVec3Transform, CoordinateDividesByW) {
    const D3DXVECTOR3 p(1.0f, 2.0f, 3.0f);
    D3DXMATRIX m = Translation(10.0f, 20.0f, 30.0f);
    D3DXVECTOR3 out;
    EXPECT_EQ(*D3DXVec3TransformCoord(&out, &p, &m), D3DXVECTOR3(11.0f, 22.0f, 33.0f));

    m._44 = 2.0f;
    EXPECT_EQ(*D3DXVec3TransformCoord(&out, &p, &m), D3DXVECTOR3(5.5f, 11.0f, 16.5f));

    // w taken from column 4: here w = z.
    D3DXMatrixIdentity(&m);
    m._34 = 1.0f;
    m._44 = 0.0f;
    EXPECT_EQ(*D3DXVec3TransformCoord(&out, &p, &m), D3DXVECTOR3(1.0f / 3.0f, 2.0f / 3.0f, 1.0f));

    out = p;
    m = Translation(1.0f, 1.0f, 1.0f);
    EXPECT_EQ(*D3DXVec3TransformCoord(&out, &out, &m), D3DXVECTOR3(2.0f, 3.0f, 4.0f));
}

TEST(D3DXVec3Transform, NormalIgnoresTranslationAndFourVectorKeepsW) {
    const D3DXVECTOR3 v(1.0f, 2.0f, 3.0f);
    D3DXMATRIX m;
    D3DXMatrixScaling(&m, 2.0f, 3.0f, 4.0f);
    m._41 = 100.0f;
    m._14 = 1.0f;
    D3DXVECTOR3 n;
    EXPECT_EQ(*D3DXVec3TransformNormal(&n, &v, &m), D3DXVECTOR3(2.0f, 6.0f, 12.0f));

    D3DXVECTOR4 out;
    EXPECT_EQ(*D3DXVec3Transform(&out, &v, &m), D3DXVECTOR4(102.0f, 6.0f, 12.0f, 2.0f));
}
