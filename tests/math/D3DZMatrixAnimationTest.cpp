#include "D3DZMatrixAnimation.h"
#include "FloatUlp.h"
#include "TestMatrices.h"

#include <gtest/gtest.h>

using fsmith::test::AllWithinUlps;

namespace {

D3DXMATRIX Blend(const D3DXMATRIX& start, const D3DXMATRIX& end, float frame) {
    D3DXMATRIX now;
    D3DZMatrixAnimation(&now, &start, &end, frame);
    return now;
}

// Entries that should be 0 come out of sums of rounded products; 1e-6 of a unit is invisible.
constexpr float kFloor = 1e-6f;

} // namespace

TEST(D3DZMatrixAnimation, HalfwayBetweenTwoTranslations) {
    const D3DXMATRIX now = Blend(Translation(1.0f, 0.0f, 0.0f), Translation(3.0f, 0.0f, 0.0f), 0.5f);
    EXPECT_EQ(now, Translation(2.0f, 0.0f, 0.0f));
}

TEST(D3DZMatrixAnimation, EndsReproduceTheInputs) {
    const D3DXMATRIX start = RotationZ(0.2f) * Translation(1.0f, 2.0f, 3.0f);
    const D3DXMATRIX end = RotationY(1.0f) * Translation(-4.0f, 0.5f, 8.0f);
    EXPECT_TRUE(AllWithinUlps(Blend(start, end, 0.0f), start, 16, 4, kFloor));
    EXPECT_TRUE(AllWithinUlps(Blend(start, end, 1.0f), end, 16, 4, kFloor));
}

TEST(D3DZMatrixAnimation, RotationFollowsTheArcAndIsNotClamped) {
    const D3DXMATRIX now = Blend(RotationZ(0.0f), RotationZ(1.5f), 0.5f);
    EXPECT_TRUE(AllWithinUlps(now, RotationZ(0.75f), 16, 4, kFloor));
    const D3DXMATRIX past =
        Blend(Translation(1.0f, 0.0f, 0.0f), RotationZ(0.5f) * Translation(3.0f, 0.0f, 0.0f), 2.0f);
    EXPECT_TRUE(AllWithinUlps(past, RotationZ(1.0f) * Translation(5.0f, 0.0f, 0.0f), 16, 4, kFloor));
}

TEST(D3DZMatrixAnimation, TranslationIsRoundedOnceFromDouble) {
    // Step by step in float this gives 0.370000005.
    const D3DXMATRIX now = Blend(Translation(0.1f, 0.0f, 0.0f), Translation(0.7f, 0.0f, 0.0f), 0.450000048f);
    EXPECT_EQ(now._41, 0.370000035f);
}

TEST(D3DZMatrixAnimation, OutputMayBeAnInput) {
    const D3DXMATRIX start = RotationZ(0.3f) * Translation(1.0f, 1.0f, 1.0f);
    const D3DXMATRIX end = RotationY(0.9f) * Translation(2.0f, 4.0f, 6.0f);
    const D3DXMATRIX expected = Blend(start, end, 0.25f);
    D3DXMATRIX now = start;
    D3DZMatrixAnimation(&now, &now, &end, 0.25f);
    EXPECT_EQ(now, expected);
    now = end;
    D3DZMatrixAnimation(&now, &start, &now, 0.25f);
    EXPECT_EQ(now, expected);
}
