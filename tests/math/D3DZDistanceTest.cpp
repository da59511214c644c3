#include "D3DZDistance.h"

#include <gtest/gtest.h>

TEST(D2DZGetAngle, GrowsClockwiseOnScreenFromTheRight) {
    // Angles come from a float atan2, so 90 is float(pi / 2) in degrees.
    EXPECT_DOUBLE_EQ(D2DZGetAngle(0, 0, 0, 1), 90.00000250447826);
    EXPECT_DOUBLE_EQ(D2DZGetAngle(2, 3, 3, 4), 45.00000125223913);
    EXPECT_DOUBLE_EQ(D2DZGetAngle(0, 0, -1, 0), 180.00000500895652);
    EXPECT_DOUBLE_EQ(D2DZGetAngle(0, 0, 0, -1), 269.99999749552171);
    EXPECT_DOUBLE_EQ(D2DZGetAngle(0, 0, 1, -1), 314.99999874776086);
    EXPECT_EQ(D2DZGetAngle(5, 5, 7, 5), 0.0);
}

TEST(D2DZGetAngle, APointGivesStraightUp) {
    EXPECT_EQ(D2DZGetAngle(0, 0, 0, 0), 270.0);
    EXPECT_EQ(D2DZGetAngle(-3.5f, 8, -3.5f, 8), 270.0);
}

TEST(D2DZGetAngle, StaysBelowAFullTurn) {
    const double angle = D2DZGetAngle(0, 0, 1, -1e-20f);
    EXPECT_GE(angle, 0.0);
    EXPECT_LT(angle, 360.0);
}

TEST(D2DZGetDistance, RoundsTheSumOfSquaresBeforeTheRoot) {
    EXPECT_EQ(D2DZGetDistance(1, 2, 4, 6), 5.0f);
    EXPECT_EQ(D2DZGetDistance(4, 6, 1, 2), 5.0f);
    // The root of the unrounded sum would be 7.54066277.
    EXPECT_EQ(D2DZGetDistance(0, 0, 3.46f, 6.7f), 7.54066324f);
}

TEST(D3DZGetDistance, MeasuresBetweenTranslationsOnly) {
    D3DXMATRIX a, b;
    D3DXMatrixRotationYawPitchRoll(&a, 0.3f, 1.1f, -0.4f);
    a._44 = 3.0f;
    D3DXMatrixTranslation(&b, 5.93f, 4.21f, 6.71f);
    // The root of the unrounded sum would be 9.89510441.
    EXPECT_EQ(D3DZGetDistance(&a, &b), 9.89510536f);
    EXPECT_EQ(D3DZGetDistance(&b, &a), 9.89510536f);
    EXPECT_EQ(D3DZGetDistance(nullptr, &b), 0.0f);
    EXPECT_EQ(D3DZGetDistance(&a, nullptr), 0.0f);
}
