#include "FloatUlp.h"
#include "d3dx9math.h"

#include <gtest/gtest.h>

#include <limits>

TEST(D3DXColor, UnpacksArgbChannels) {
    const D3DXCOLOR c(DWORD(0x80FF4000u));
    EXPECT_EQ(c.a, 128.0f / 255.0f);
    EXPECT_EQ(c.r, 1.0f);
    EXPECT_EQ(c.g, 64.0f / 255.0f);
    EXPECT_EQ(c.b, 0.0f);
}

TEST(D3DXColor, PacksWithClampingAndRoundingToNearest) {
    EXPECT_EQ(DWORD(D3DXCOLOR(1.5f, -0.2f, 0.5f, 1.0f)), 0xFFFF0080u);
    EXPECT_EQ(DWORD(D3DXCOLOR(100.4f / 255.0f, 100.6f / 255.0f, 0.0f, 0.0f)), 0x00646500u);
}

TEST(D3DXColor, EveryByteSurvivesARoundTrip) {
    for (DWORD v = 0; v < 256; ++v) {
        const DWORD packed = (v << 24) | ((255 - v) << 16) | (v << 8) | (v ^ 0x5Au);
        EXPECT_EQ(DWORD(D3DXCOLOR(packed)), packed);
    }
}

TEST(D3DXColor, NotANumberPacksAsZero) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(DWORD(D3DXCOLOR(nan, 1.0f, nan, nan)), 0x0000FF00u);
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(DWORD(D3DXCOLOR(inf, -inf, 0.0f, 1.0f)), 0xFFFF0000u);
}
