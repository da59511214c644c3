#include "CD2D.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// Runs one rectangle pair through every form that can hold it.
bool SquareAllForms(D2DXZORVINT4 a, D2DXZORVINT4 b) {
    const bool scalar = CD2D_Square(a.x, a.y, b.x, b.y, a.w, a.h, b.w, b.h);
    const auto s = [](int v) { return short(v); };
    const D2DXZORVSHORT4 sa{s(a.x), s(a.y), s(a.w), s(a.h)}, sb{s(b.x), s(b.y), s(b.w), s(b.h)};
    EXPECT_EQ(CD2D_Square(a, b), scalar);
    EXPECT_EQ(CD2D_Square(sa, sb), scalar);
    EXPECT_EQ(CD2D_Square(sa.x, sa.y, sb.x, sb.y, sa.w, sa.h, sb.w, sb.h), scalar);
    return scalar;
}

} // namespace

TEST(CD2D_Square, SharedEdgesDoNotOverlap) {
    EXPECT_FALSE(CD2D_Square(0, 0, 10, 0, 10, 10, 5, 5));
    EXPECT_TRUE(CD2D_Square(0, 0, 9, 0, 10, 10, 5, 5));
    EXPECT_FALSE(SquareAllForms({0, 0, 10, 10}, {-5, 0, 5, 5}));
    EXPECT_FALSE(SquareAllForms({0, 0, 10, 10}, {0, 10, 5, 5}));
    EXPECT_FALSE(SquareAllForms({0, 0, 10, 10}, {0, -5, 5, 5}));
    EXPECT_TRUE(SquareAllForms({0, 0, 10, 10}, {-4, -4, 5, 5}));
    EXPECT_TRUE(SquareAllForms({2, 2, 1, 1}, {0, 0, 10, 10}));
}

TEST(CD2D_Square, RectanglesAtTheEndOfTheRangeDoNotWrapAround) {
    EXPECT_TRUE(CD2D_Square(D2DXZORVINT4{INT_MAX - 5, 0, 10, 10}, D2DXZORVINT4{INT_MAX - 1, 0, 1, 1}));
    EXPECT_FALSE(CD2D_Square(D2DXZORVINT4{INT_MIN, 0, INT_MAX, 1}, D2DXZORVINT4{INT_MAX, 0, INT_MAX, 1}));
    // Summed in 16 bits, 32760 + 100 would wrap to a negative edge.
    EXPECT_TRUE(CD2D_Square(D2DXZORVSHORT4{32760, 0, 100, 1}, D2DXZORVSHORT4{32767, 0, 1, 1}));
}

TEST(CD2D_Circle, TouchingCirclesOverlap) {
    EXPECT_TRUE(CD2D_Circle(D2DXZORVFLOAT3{0, 0, 1}, D2DXZORVFLOAT3{2, 0, 1}));
    EXPECT_FALSE(CD2D_Circle(D2DXZORVFLOAT3{0, 0, 1}, D2DXZORVFLOAT3{2.001f, 0, 1}));
    EXPECT_TRUE(CD2D_Circle(0.0f, 0.0f, 3.0f, 4.0f, 2, 3));
    EXPECT_FALSE(CD2D_Circle(0.0f, 0.0f, 3.0f, 4.01f, 2, 3));
    EXPECT_TRUE(CD2D_Circle(short(0), short(0), short(-3), short(-4), short(2), short(3)));
    EXPECT_FALSE(CD2D_Circle(D2DXZORVSHORT3{0, 0, 2}, D2DXZORVSHORT3{-3, -5, 3}));
}

TEST(CD2D_Circle, ComparesSquaresInDouble) {
    // 1 + 2^-26 rounds to 1 in float and would count as touching.
    EXPECT_FALSE(CD2D_Circle(D2DXZORVFLOAT3{0, 0, 0.5f}, D2DXZORVFLOAT3{1, 0x1p-13f, 0.5f}));
    EXPECT_FALSE(CD2D_Circle(0.0f, 0.0f, 1.0f, 0x1p-13f, 1, 0));
}

TEST(CD2D_Circle, ExtremeRadiiAndOffsetsStayExact) {
    EXPECT_TRUE(CD2D_Circle(0.0f, 0.0f, 3e9f, 0.0f, INT_MAX, INT_MAX));
    EXPECT_FALSE(CD2D_Circle(D2DXZORVSHORT3{-32768, 0, 32767}, D2DXZORVSHORT3{32767, 0, 32767}));
    EXPECT_TRUE(CD2D_Circle(D2DXZORVSHORT3{-32768, 0, 32767}, D2DXZORVSHORT3{32766, 0, 32767}));
}

namespace {

// Circle centre and radius against the rectangle (0, 0)-(10, 10), through every form.
bool CircleSquareAllForms(short cx, short cy, short r) {
    const bool scalar = CD2D_CircleSquare(float(cx), float(cy), 0, 0, int(r), 10, 10);
    EXPECT_EQ(CD2D_CircleSquare(D2DXZORVINT4{0, 0, 10, 10}, D2DXZORVFLOAT3{float(cx), float(cy), float(r)}),
              scalar);
    EXPECT_EQ(CD2D_CircleSquare(D2DXZORVSHORT4{0, 0, 10, 10}, D2DXZORVSHORT3{cx, cy, r}), scalar);
    EXPECT_EQ(CD2D_CircleSquare(cx, cy, short(0), short(0), r, short(10), short(10)), scalar);
    return scalar;
}

} // namespace

TEST(CD2D_CircleSquare, EdgesAndCornersAreStrict) {
    EXPECT_TRUE(CircleSquareAllForms(5, 5, 0));
    EXPECT_FALSE(CircleSquareAllForms(0, 5, 0));
    EXPECT_FALSE(CircleSquareAllForms(5, 10, 0));
    EXPECT_FALSE(CircleSquareAllForms(-3, 5, 3));
    EXPECT_TRUE(CircleSquareAllForms(-3, 5, 4));
    EXPECT_TRUE(CircleSquareAllForms(5, 13, 4));
    EXPECT_FALSE(CircleSquareAllForms(-1, -1, 1));
    const short corners[4][2] = {{-1, -1}, {11, -1}, {11, 11}, {-1, 11}};
    for (const auto& c : corners) {
        EXPECT_TRUE(CircleSquareAllForms(c[0], c[1], 2)) << c[0] << ", " << c[1];
        EXPECT_FALSE(CircleSquareAllForms(c[0], c[1], 1)) << c[0] << ", " << c[1];
    }
}

TEST(CD2D_CircleSquare, CornerDistanceIsSquaredInDouble) {
    // d² + e² is just below 1, but with each square rounded to float it reaches 1.
    const float d = 0x1.30fe8p-1f, e = 0x1.9b3ec2p-1f;
    EXPECT_TRUE(CD2D_CircleSquare(-d, -e, 0, 0, 1, 10, 10));
    EXPECT_TRUE(CD2D_CircleSquare(D2DXZORVINT4{0, 0, 10, 10}, D2DXZORVFLOAT3{-d, -e, 1.0f}));
}

TEST(CD2D_CircleSquare, ExtremeCoordinatesDoNotWrapAround) {
    EXPECT_TRUE(CD2D_CircleSquare(50.0f, 2147483648.0f, 0, INT_MAX - 10, 1000, 100, 10));
    EXPECT_FALSE(
        CD2D_CircleSquare(D2DXZORVSHORT4{-32768, -32768, 32767, 32767}, D2DXZORVSHORT3{32767, 32767, 32767}));
    EXPECT_TRUE(
        CD2D_CircleSquare(D2DXZORVSHORT4{-32768, -32768, 32767, 32767}, D2DXZORVSHORT3{20000, 20000, 32767}));
}
