#include "HeadlessDevice.h"
#include "TextRasterizer.h"
#include "TextTextureCache.h"
#include "d3dx9core.h"

#include <QFontDatabase>
#include <QList>

#include <algorithm>
#include <climits>

namespace {

constexpr INT kCell = 16;
constexpr D3DCOLOR kWhite = 0xFFFFFFFFu;
const char* const kJapaneseFace =
    "\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF";

struct Ink {
    int count = 0;
    int full = 0; // pixels of exactly the text colour
    UINT minX = UINT_MAX, minY = UINT_MAX, maxX = 0, maxY = 0;
};

} // namespace

class FontDrawing : public HeadlessDevice {
protected:
    void SetUp() override {
        HeadlessDevice::SetUp();
        if (!m_device)
            return;
        ASSERT_EQ(D3DXCreateFontA(m_device, kCell, 0, FW_BOLD, 1, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                                  PROOF_QUALITY, DEFAULT_PITCH | FF_SWISS, kJapaneseFace, &m_font),
                  S_OK);
        ClearBlack();
    }

    void TearDown() override {
        if (m_font)
            m_font->Release();
        HeadlessDevice::TearDown();
    }

    void ClearBlack() {
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    }

    INT Draw(const char* text, RECT rect, DWORD format, D3DCOLOR color = kWhite) {
        return m_font->DrawTextA(nullptr, text, -1, &rect, format, color);
    }

    // Everything that is not the black background, against the colour the text was drawn in.
    Ink InkOf(const std::vector<DWORD>& pixels, D3DCOLOR color = kWhite) const {
        Ink ink;
        for (UINT y = 0; y < kHeight; ++y) {
            for (UINT x = 0; x < kWidth; ++x) {
                const DWORD rgb = Pixel(pixels, x, y) & 0xFFFFFFu;
                if (rgb == 0)
                    continue;
                ++ink.count;
                ink.full += rgb == (color & 0xFFFFFFu);
                ink.minX = std::min(ink.minX, x);
                ink.minY = std::min(ink.minY, y);
                ink.maxX = std::max(ink.maxX, x);
                ink.maxY = std::max(ink.maxY, y);
            }
        }
        return ink;
    }

    Ink DrawnInk(const char* text, RECT rect, DWORD format, D3DCOLOR color = kWhite) {
        ClearBlack();
        Draw(text, rect, format, color);
        return InkOf(BackBufferPixels(), color);
    }

    ID3DXFont* m_font = nullptr;
};

TEST_F(FontDrawing, TextStartsAtItsPositionAndNothingLiesAboveOrLeftOfIt) {
    for (DWORD format : {DWORD{0}, DT_NOCLIP}) {
        const Ink ink = DrawnInk("Ag", RECT{10, 12, 64, 48}, format);
        ASSERT_GT(ink.full, 0) << "format " << format;
        EXPECT_GE(ink.minX, 10u);
        EXPECT_GE(ink.minY, 12u);
        EXPECT_LE(ink.minX, 10u + 4);
        EXPECT_LE(ink.minY, 12u + 8);
        EXPECT_LE(ink.maxY, 12u + kCell + 2) << "descenders stay near their cell";
    }
}

TEST_F(FontDrawing, LatinAndJapaneseGlyphsBothLeaveInk) {
    const Ink latin = DrawnInk("Fieldsmith", RECT{0, 0, 64, 48}, 0);
    const Ink japanese = DrawnInk("日本語テキスト", RECT{0, 0, 64, 48}, 0);
    EXPECT_GT(latin.full, 10);
    EXPECT_GT(japanese.full, 10);
    EXPECT_LE(japanese.minX, 3u) << "ideographs start at the left";
}

TEST_F(FontDrawing, ColourIsAsGivenWithItsAlphaScalingCoverage) {
    const Ink red = DrawnInk("WW", RECT{0, 0, 64, 48}, 0, 0xFFFF0000u);
    ASSERT_GT(red.full, 0);
    for (DWORD pixel : BackBufferPixels())
        ASSERT_EQ(pixel & 0x0000FFFFu, 0u) << "only red is drawn";

    DrawnInk("WW", RECT{0, 0, 64, 48}, 0, 0x80FFFFFFu);
    DWORD brightest = 0;
    for (DWORD pixel : BackBufferPixels())
        brightest = std::max(brightest, (pixel >> 16) & 0xFFu);
    EXPECT_NEAR(static_cast<int>(brightest), 0x80, 2);
}

TEST_F(FontDrawing, TextIsCutAtTheRectangleUnlessNoClip) {
    const RECT rect{40, 10, 50, 20};
    const Ink clipped = DrawnInk("WWWW", rect, 0);
    ASSERT_GT(clipped.count, 0);
    EXPECT_LT(clipped.maxX, 50u);
    EXPECT_LT(clipped.maxY, 20u);
    EXPECT_GE(clipped.minY, 10u);

    const Ink unclipped = DrawnInk("WWWW", rect, DT_NOCLIP);
    EXPECT_GE(unclipped.maxX, 60u);
    EXPECT_GE(unclipped.maxY, 20u);
}

TEST_F(FontDrawing, NoClipTextIsStillCutAtTheViewport) {
    D3DVIEWPORT9 left{0, 0, 32, kHeight, 0, 1};
    m_device->SetViewport(&left);
    const Ink ink = DrawnInk("WWWWWW", RECT{20, 0, 20, 0}, DT_NOCLIP);
    ASSERT_GT(ink.count, 0);
    EXPECT_LT(ink.maxX, 32u);
}

TEST_F(FontDrawing, NewlineDrawsTheSameLineOneCellBelow) {
    const RECT rect{0, 0, 64, 48};
    ClearBlack();
    EXPECT_EQ(Draw("A", rect, 0), kCell);
    const auto one = BackBufferPixels();
    ClearBlack();
    EXPECT_EQ(Draw("A\nA", rect, 0), 2 * kCell);
    const auto two = BackBufferPixels();
    ASSERT_GT(InkOf(one).count, 0);
    for (UINT y = 0; y < kCell; ++y) {
        for (UINT x = 0; x < kWidth; ++x) {
            ASSERT_EQ(Pixel(two, x, y), Pixel(one, x, y)) << x << "," << y;
            ASSERT_EQ(Pixel(two, x, y + kCell), Pixel(one, x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(Draw("A\r\nA\n", rect, 0), 2 * kCell) << "CR LF is one break; a final break adds no line";
    EXPECT_EQ(Draw("A\nA", rect, DT_SINGLELINE), kCell);
}

TEST_F(FontDrawing, CalcRectMeasuresWithoutDrawing) {
    RECT narrow{5, 7, 5, 7}, wide{5, 7, 5, 7};
    EXPECT_EQ(m_font->DrawTextA(nullptr, "AB", -1, &narrow, DT_CALCRECT, kWhite), kCell);
    EXPECT_EQ(m_font->DrawTextA(nullptr, "AB\nABCD", -1, &wide, DT_CALCRECT, kWhite), 2 * kCell);
    EXPECT_EQ(InkOf(BackBufferPixels()).count, 0);
    EXPECT_EQ(narrow.left, 5);
    EXPECT_EQ(narrow.top, 7);
    EXPECT_EQ(narrow.bottom, 7 + kCell);
    EXPECT_EQ(wide.bottom, 7 + 2 * kCell);
    EXPECT_GT(narrow.right, 5 + kCell / 2);
    EXPECT_GT(wide.right, narrow.right) << "the widest line decides";

    // What CALCRECT measures is where drawing lands.
    const Ink ink = DrawnInk("AB", RECT{5, 7, 64, 48}, 0);
    EXPECT_LE(ink.maxX, static_cast<UINT>(narrow.right));
}

TEST_F(FontDrawing, AlignmentPlacesTextWithinTheRectangle) {
    const RECT all{0, 0, kWidth, kHeight};
    const Ink right = DrawnInk("AB", all, DT_RIGHT);
    EXPECT_GE(right.maxX, kWidth - 4);
    EXPECT_GT(right.minX, kWidth / 2);
    const Ink centre = DrawnInk("AB", all, DT_CENTER);
    EXPECT_NEAR((centre.minX + centre.maxX) / 2.0, kWidth / 2.0, 3.0);
    const Ink bottom = DrawnInk("AB", all, DT_BOTTOM | DT_SINGLELINE);
    EXPECT_GE(bottom.maxY, kHeight - 5);
    EXPECT_GE(bottom.minY, kHeight - kCell);
    const Ink middle = DrawnInk("AB", all, DT_VCENTER | DT_SINGLELINE);
    EXPECT_NEAR((middle.minY + middle.maxY) / 2.0, kHeight / 2.0, 3.0);
}

TEST_F(FontDrawing, CountLimitsTheBytesDrawn) {
    RECT rect{0, 0, 64, 48};
    ClearBlack();
    m_font->DrawTextA(nullptr, "A", -1, &rect, 0, kWhite);
    const auto expected = BackBufferPixels();
    ClearBlack();
    EXPECT_EQ(m_font->DrawTextA(nullptr, "AWWW", 1, &rect, 0, kWhite), kCell);
    EXPECT_EQ(BackBufferPixels(), expected);
    ClearBlack();
    const char embedded[] = {'A', '\0', 'W', 'W'};
    m_font->DrawTextA(nullptr, embedded, 4, &rect, 0, kWhite);
    EXPECT_EQ(BackBufferPixels(), expected) << "a count does not read past a NUL";
    EXPECT_EQ(m_font->DrawTextA(nullptr, "AB", 0, &rect, 0, kWhite), 0);
}

TEST_F(FontDrawing, RedrawingAStringGivesTheSamePixelsAfterTheCacheTurnsOver) {
    const RECT rect{2, 2, 64, 48};
    const Ink first = DrawnInk("60FPS", rect, 0);
    const auto expected = BackBufferPixels();
    for (int i = 0; i < 40; ++i) {
        const std::string other = std::to_string(i) + "FPS";
        DrawnInk(other.c_str(), rect, 0);
    }
    DrawnInk("60FPS", rect, 0);
    EXPECT_EQ(BackBufferPixels(), expected);
    EXPECT_GT(first.full, 0);
}

TEST_F(FontDrawing, TextIgnoresDepthAndCullingAndLeavesDeviceDrawingIntact) {
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 0.0f, 0);
    m_device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    Draw("WW", RECT{0, 0, 64, 48}, 0);
    EXPECT_GT(InkOf(BackBufferPixels()).full, 0) << "a depth buffer at 0 does not hide text";

    struct Vertex {
        float x, y, z;
        DWORD color;
    };
    const Vertex quad[4] = {
        {-1, 1, 0, 0xFF00FF00}, {1, 1, 0, 0xFF00FF00}, {-1, -1, 0, 0xFF00FF00}, {1, -1, 0, 0xFF00FF00}};
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    for (auto state : {D3DTS_WORLD, D3DTS_VIEW, D3DTS_PROJECTION})
        m_device->SetTransform(state, &identity);
    m_device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    m_device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex)), S_OK);
    for (DWORD pixel : BackBufferPixels())
        ASSERT_EQ(pixel & 0xFFFFFFu, 0x00FF00u);
}

TEST_F(FontDrawing, BadArgumentsNeverCrash) {
    RECT rect{0, 0, 64, 48};
    EXPECT_EQ(m_font->DrawTextA(nullptr, nullptr, -1, &rect, 0, kWhite), 0);
    EXPECT_EQ(m_font->DrawTextA(nullptr, "A", -1, nullptr, 0, kWhite), 0);
    EXPECT_EQ(m_font->DrawTextA(nullptr, "A", -1, nullptr, DT_CALCRECT | DT_NOCLIP, kWhite), 0);
    EXPECT_EQ(InkOf(BackBufferPixels()).count, 0);

    EXPECT_EQ(m_font->DrawTextA(nullptr, "A", -1, nullptr, DT_NOCLIP, kWhite), kCell);
    const Ink origin = InkOf(BackBufferPixels());
    EXPECT_GT(origin.count, 0);
    EXPECT_LT(origin.maxX, 16u) << "a missing rectangle with DT_NOCLIP starts at the origin";

    EXPECT_EQ(Draw("\xFF\xFE\xC3", rect, 0), kCell) << "malformed UTF-8";
    EXPECT_EQ(Draw("A", RECT{50, 40, 10, 5}, 0), kCell) << "an inverted rectangle";
    EXPECT_EQ(Draw("A", RECT{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, DT_CENTER | DT_VCENTER), kCell);
    RECT far{INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX};
    EXPECT_EQ(m_font->DrawTextA(nullptr, "AB", -1, &far, DT_CALCRECT, kWhite), kCell);
    EXPECT_EQ(far.right, INT_MAX);
    EXPECT_EQ(far.bottom, INT_MAX);
}

TEST_F(FontDrawing, MissingFacesFallBackToAJapaneseSansFaceAtTheAskedHeight) {
    ID3DXFont* font = nullptr;
    ASSERT_EQ(D3DXCreateFontA(m_device, 24, 12, FW_BOLD, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              PROOF_QUALITY, DEFAULT_PITCH | FF_SWISS, kJapaneseFace, &font),
              S_OK);
    const QString family = QString::fromStdString(font->ResolvedFamily());
    EXPECT_TRUE(QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese))
        << font->ResolvedFamily();
    EXPECT_FALSE(family.contains("Serif") || family.contains("Mono")) << font->ResolvedFamily();

    D3DXFONT_DESCA desc;
    ASSERT_EQ(font->GetDescA(&desc), S_OK);
    EXPECT_EQ(desc.Height, 24);
    EXPECT_EQ(desc.Width, 12u);
    EXPECT_EQ(desc.Weight, 700u);
    EXPECT_STREQ(desc.FaceName, kJapaneseFace);
    IDirect3DDevice9* device = nullptr;
    ASSERT_EQ(font->GetDevice(&device), S_OK);
    EXPECT_EQ(device, m_device);
    device->Release();
    font->Release();

    const auto rasterizer = TextRasterizer::Create({24, FW_BOLD, false, kJapaneseFace});
    ASSERT_NE(rasterizer, nullptr);
    EXPECT_EQ(rasterizer->PixelSize(), 24);
    EXPECT_TRUE(rasterizer->Bold());
    EXPECT_EQ(rasterizer->Family(), family.toStdString());
}

TEST_F(FontDrawing, InstalledFacesAreUsedAsAsked) {
    if (!QFontDatabase::hasFamily("DejaVu Sans"))
        GTEST_SKIP() << "DejaVu Sans is not installed";
    ID3DXFont* font = nullptr;
    ASSERT_EQ(D3DXCreateFontA(m_device, -12, 0, FW_NORMAL, 1, FALSE, DEFAULT_CHARSET, 0, 0, 0, "DejaVu Sans",
                              &font),
              S_OK);
    EXPECT_EQ(font->ResolvedFamily(), "DejaVu Sans");
    font->Release();
}

TEST_F(FontDrawing, CreationRefusesBadArguments) {
    ID3DXFont* font = reinterpret_cast<ID3DXFont*>(this);
    EXPECT_EQ(D3DXCreateFontA(nullptr, 16, 0, 0, 1, FALSE, 0, 0, 0, 0, "x", &font), D3DERR_INVALIDCALL);
    EXPECT_EQ(font, nullptr);
    EXPECT_EQ(D3DXCreateFontA(m_device, 16, 0, 0, 1, FALSE, 0, 0, 0, 0, "x", nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateFontA(m_device, INT_MIN, 0, 0, 1, FALSE, 0, 0, 0, 0, "x", &font), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateFontA(m_device, 100000, 0, 0, 1, FALSE, 0, 0, 0, 0, "x", &font), D3DERR_INVALIDCALL);

    // A missing face name, height 0 and an extreme weight still make a usable font.
    ASSERT_EQ(D3DXCreateFontA(m_device, 0, 0, 5000, 1, TRUE, 0, 0, 0, 0, nullptr, &font), S_OK);
    RECT rect{0, 0, 64, 48};
    EXPECT_EQ(font->DrawTextA(nullptr, "A", -1, &rect, 0, kWhite), TextRasterizer::kDefaultCellHeight);
    EXPECT_GT(InkOf(BackBufferPixels()).count, 0);
    font->Release();
}

class TextLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_rasterizer = TextRasterizer::Create({20, FW_NORMAL, false, "no such face"});
        ASSERT_NE(m_rasterizer, nullptr);
    }
    std::unique_ptr<TextRasterizer> m_rasterizer;
};

TEST_F(TextLayoutTest, LinesAlignExactlyEvenWhenWiderThanTheRectangle) {
    const TextLayout right = m_rasterizer->Layout("AB\nABCD", DT_RIGHT | DT_BOTTOM, 101, 60);
    for (const TextLine& line : right.lines)
        EXPECT_EQ(line.x + line.width, 101);
    EXPECT_EQ(right.lines[0].y, 20);

    const TextLayout tooWide = m_rasterizer->Layout("ABCDEFGH", DT_CENTER | DT_VCENTER, 1, 1);
    EXPECT_EQ(tooWide.lines[0].x, -(tooWide.lines[0].width / 2)) << "centred on the middle, rounding left";
    EXPECT_EQ(tooWide.lines[0].y, -10);
    EXPECT_LE(tooWide.inkLeft, tooWide.lines[0].x);
    EXPECT_GE(tooWide.inkRight, tooWide.lines[0].x + tooWide.lines[0].width);
}

TEST_F(TextLayoutTest, RasterisesOnlyTheAskedWindow) {
    const TextLayout layout = m_rasterizer->Layout("WW", 0, 100, 100);
    const TextCoverage whole = m_rasterizer->Rasterize(layout, 0, 0, 60, 20);
    const TextCoverage part = m_rasterizer->Rasterize(layout, 5, 3, 10, 10);
    ASSERT_EQ(part.alpha.size(), 100u);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(part.alpha[y * 10 + x], whole.alpha[(y + 3) * 60 + x + 5]);
    EXPECT_TRUE(m_rasterizer->Rasterize(layout, 0, 0, 0, 10).alpha.empty());
}

class TextTextureCacheTest : public HeadlessDevice {
protected:
    static TextCoverage Coverage(int width, int height) {
        return {width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width * height), 0x7F)};
    }
    static TextTextureKey Key(const char* text) { return {text, 0, 10, 10, 0, 0, 4, 4}; }
};

TEST_F(TextTextureCacheTest, DropsTheLeastRecentlyUsedBeyondItsLimits) {
    TextTextureCache cache(m_device->Context(), 2, 1000);
    ASSERT_NE(cache.Insert(Key("a"), Coverage(4, 4)), nullptr);
    ASSERT_NE(cache.Insert(Key("b"), Coverage(4, 4)), nullptr);
    ASSERT_NE(cache.Find(Key("a")), nullptr) << "a is now the most recent";
    ASSERT_NE(cache.Insert(Key("c"), Coverage(4, 4)), nullptr);
    EXPECT_EQ(cache.Size(), 2u);
    EXPECT_EQ(cache.Find(Key("b")), nullptr);
    EXPECT_NE(cache.Find(Key("a")), nullptr);

    TextTextureKey moved = Key("a");
    moved.left = 1;
    EXPECT_EQ(cache.Find(moved), nullptr) << "every field of the key counts";

    const auto* big = cache.Insert(Key("big"), Coverage(40, 40));
    ASSERT_NE(big, nullptr) << "the newest entry stays even alone over budget";
    EXPECT_EQ(cache.Size(), 1u);
    EXPECT_EQ(big->width, 40);
    EXPECT_EQ(cache.Insert(Key("bad"), TextCoverage{4, 4, {}}), nullptr) << "coverage of the wrong size";
}
