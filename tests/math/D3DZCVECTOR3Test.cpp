#include "D3DZCVECTOR3.h"
#include "FloatUlp.h"

#include <gtest/gtest.h>

using fsmith::test::AllWithinUlps;

TEST(D3DZCVECTOR3, ScalingMakesANewVector) {
    const D3DZCVECTOR3 v(1.0f, -2.0f, 0.5f);
    EXPECT_EQ(v * 4.0f, D3DXVECTOR3(4.0f, -8.0f, 2.0f));
    EXPECT_EQ(v, D3DXVECTOR3(1.0f, -2.0f, 0.5f));
}

TEST(D3DZCVECTOR3Length, IsTheEuclideanLength) {
    const D3DXVECTOR3 v(3.0f, 4.0f, 0.0f);
    EXPECT_EQ(D3DZCVECTOR3::Length(&v), 5.0f);
    const D3DXVECTOR3 negative(-2.0f, -3.0f, -6.0f);
    EXPECT_EQ(D3DZCVECTOR3::Length(&negative), 7.0f);
}

TEST(D3DZCVECTOR3Length, RoundsTheSumOfSquaresBeforeTheRoot) {
    // The exact root of the double sum would round to 1.5119524.
    const D3DXVECTOR3 v(0.74f, 0.22f, 1.3f);
    EXPECT_EQ(D3DZCVECTOR3::Length(&v), 1.51195228f);
}

TEST(D3DZCVECTOR3, NormalizesInPlace) {
    D3DZCVECTOR3 v(0.0f, 3.0f, 4.0f);
    v.Normalize();
    EXPECT_TRUE(AllWithinUlps(v, {0.0f, 0.6f, 0.8f}, 1));
    D3DZCVECTOR3 zero;
    zero.Normalize();
    EXPECT_EQ(zero, D3DXVECTOR3(0.0f, 0.0f, 0.0f));
}

TEST(D3DZCVECTOR3, TransformsAsAPointWithPerspectiveDivide) {
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, 1.0f, 2.0f, 3.0f);
    m._44 = 2.0f;
    D3DZCVECTOR3 v(1.0f, 0.0f, -1.0f);
    v.Transform(&m);
    EXPECT_EQ(v, D3DXVECTOR3(1.0f, 1.0f, 1.0f));

    D3DXVECTOR3 out;
    const D3DXVECTOR3 src(3.0f, 2.0f, 1.0f);
    D3DZCVECTOR3::Transform(&out, &src, &m);
    EXPECT_EQ(out, D3DXVECTOR3(2.0f, 2.0f, 2.0f));
}
