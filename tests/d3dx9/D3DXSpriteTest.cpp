#include "HeadlessDevice.h"
#include "d3dx9core.h"

namespace {

constexpr DWORD kBackground = 0xFF000000u;
// Top left, top right, bottom left, bottom right.
constexpr DWORD kTexels[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u};

} // namespace

class SpriteDrawing : public HeadlessDevice {
protected:
    void SetUp() override {
        HeadlessDevice::SetUp();
        if (!m_device)
            return;
        ASSERT_EQ(D3DXCreateSprite(m_device, &m_sprite), S_OK);
        m_texture = MakeTexture(D3DFMT_A8R8G8B8, kTexels);
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET, kBackground, 1.0f, 0);
    }

    void TearDown() override {
        if (m_texture)
            m_texture->Release();
        if (m_sprite)
            m_sprite->Release();
        HeadlessDevice::TearDown();
    }

    IDirect3DTexture9* MakeTexture(D3DFORMAT format, const DWORD (&texels)[4]) {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(m_device->CreateTexture(2, 2, 1, 0, format, D3DPOOL_MANAGED, &texture, nullptr), S_OK);
        D3DLOCKED_RECT locked;
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), S_OK);
        for (int row = 0; row < 2; ++row) {
            auto* line = reinterpret_cast<DWORD*>(static_cast<char*>(locked.pBits) + row * locked.Pitch);
            line[0] = texels[row * 2];
            line[1] = texels[row * 2 + 1];
        }
        texture->UnlockRect(0);
        return texture;
    }

    void DrawOnce(IDirect3DTexture9* texture, DWORD flags, const RECT* source, const D3DXVECTOR3* center,
                  D3DXVECTOR3 position, D3DCOLOR color = 0xFFFFFFFFu) {
        ASSERT_EQ(m_sprite->Begin(flags), S_OK);
        ASSERT_EQ(m_sprite->Draw(texture, source, center, &position, color), S_OK);
        ASSERT_EQ(m_sprite->End(), S_OK);
    }

    static int CountNot(const std::vector<DWORD>& pixels, DWORD background) {
        int count = 0;
        for (DWORD pixel : pixels)
            count += (pixel & 0xFFFFFFu) != (background & 0xFFFFFFu);
        return count;
    }

    ID3DXSprite* m_sprite = nullptr;
    IDirect3DTexture9* m_texture = nullptr;
};

TEST_F(SpriteDrawing, TwoByTwoTextureLandsOnExactlyItsFourPixels) {
    DrawOnce(m_texture, 0, nullptr, nullptr, {10, 20, 0});
    const auto pixels = BackBufferPixels();
    EXPECT_EQ(Pixel(pixels, 10, 20), kTexels[0]);
    EXPECT_EQ(Pixel(pixels, 11, 20), kTexels[1]);
    EXPECT_EQ(Pixel(pixels, 10, 21), kTexels[2]);
    EXPECT_EQ(Pixel(pixels, 11, 21), kTexels[3]);
    EXPECT_EQ(CountNot(pixels, kBackground), 4);
}

TEST_F(SpriteDrawing, CentreAndSourceRectangleChooseWhatLandsWhere) {
    const RECT rightColumn{1, 0, 2, 2};
    const D3DXVECTOR3 centre(1, 1, 0);
    DrawOnce(m_texture, 0, &rightColumn, &centre, {10, 10, 0});
    const auto pixels = BackBufferPixels();
    EXPECT_EQ(Pixel(pixels, 9, 9), kTexels[1]);
    EXPECT_EQ(Pixel(pixels, 9, 10), kTexels[3]);
    EXPECT_EQ(CountNot(pixels, kBackground), 2);
}

TEST_F(SpriteDrawing, TransformScalesAndMovesTheQuad) {
    D3DXMATRIX transform;
    D3DXMatrixScaling(&transform, 2, 2, 1);
    transform._41 = 30;
    transform._42 = 4;
    ASSERT_EQ(m_sprite->SetTransform(&transform), S_OK);
    D3DXMATRIX readBack;
    ASSERT_EQ(m_sprite->GetTransform(&readBack), S_OK);
    EXPECT_EQ(readBack, transform);
    DrawOnce(m_texture, 0, nullptr, nullptr, {1, 1, 0});
    const auto pixels = BackBufferPixels();
    // (1, 1) scaled to (2, 2) and moved to (32, 6); the texture, filtered, covers four by four pixels.
    EXPECT_EQ(Pixel(pixels, 32, 6), kTexels[0]);
    EXPECT_EQ(Pixel(pixels, 35, 6), kTexels[1]);
    EXPECT_EQ(Pixel(pixels, 35, 9), kTexels[3]);
    EXPECT_EQ(CountNot(pixels, kBackground), 16);
}

TEST_F(SpriteDrawing, ColourTintsTheTexture) {
    DrawOnce(m_texture, 0, nullptr, nullptr, {0, 0, 0}, 0xFF00FFFFu);
    const auto pixels = BackBufferPixels();
    EXPECT_EQ(Pixel(pixels, 0, 0) & 0xFFFFFFu, 0u) << "red times no red";
    EXPECT_EQ(Pixel(pixels, 1, 1) & 0xFFFFFFu, 0x00FF00u) << "yellow times cyan";
}

TEST_F(SpriteDrawing, AlphaBlendOnlyWithItsFlag) {
    const DWORD halves[4] = {0x00FFFFFFu, 0x80FFFFFFu, 0xFFFFFFFFu, 0x00FFFFFFu};
    IDirect3DTexture9* texture = MakeTexture(D3DFMT_A8R8G8B8, halves);
    DrawOnce(texture, D3DXSPRITE_ALPHABLEND, nullptr, nullptr, {0, 0, 0});
    auto pixels = BackBufferPixels();
    EXPECT_EQ(Pixel(pixels, 0, 0) & 0xFFFFFFu, 0u) << "transparent texels leave the target alone";
    EXPECT_NEAR(static_cast<int>(Pixel(pixels, 1, 0) & 0xFF), 0x80, 1);
    EXPECT_EQ(Pixel(pixels, 0, 1) & 0xFFFFFFu, 0xFFFFFFu);

    DrawOnce(texture, 0, nullptr, nullptr, {0, 0, 0});
    pixels = BackBufferPixels();
    EXPECT_EQ(Pixel(pixels, 0, 0) & 0xFFFFFFu, 0xFFFFFFu) << "without blending texels replace the target";
    texture->Release();
}

TEST_F(SpriteDrawing, X8TexturesAreOpaqueWhateverTheirUnusedByte) {
    const DWORD grey[4] = {0x00808080u, 0x00808080u, 0x00808080u, 0x00808080u};
    IDirect3DTexture9* texture = MakeTexture(D3DFMT_X8R8G8B8, grey);
    DrawOnce(texture, D3DXSPRITE_ALPHABLEND, nullptr, nullptr, {0, 0, 0});
    EXPECT_EQ(Pixel(BackBufferPixels(), 0, 0) & 0xFFFFFFu, 0x808080u);
    texture->Release();
}

TEST_F(SpriteDrawing, SpritesAreDrawnAtEndEvenIfTheCallerReleasedTheTexture) {
    IDirect3DTexture9* texture = MakeTexture(D3DFMT_A8R8G8B8, kTexels);
    ASSERT_EQ(m_sprite->Begin(0), S_OK);
    const D3DXVECTOR3 at(5, 5, 0);
    ASSERT_EQ(m_sprite->Draw(texture, nullptr, nullptr, &at, 0xFFFFFFFFu), S_OK);
    texture->Release();
    EXPECT_EQ(CountNot(BackBufferPixels(), kBackground), 0) << "nothing shows before the flush";
    ASSERT_EQ(m_sprite->End(), S_OK);
    EXPECT_EQ(Pixel(BackBufferPixels(), 6, 6), kTexels[3]);
}

TEST_F(SpriteDrawing, CallsOutOfOrderOrWithoutArgumentsFail) {
    const D3DXVECTOR3 at(0, 0, 0);
    EXPECT_EQ(m_sprite->Draw(m_texture, nullptr, nullptr, &at, 0xFFFFFFFFu), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_sprite->End(), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_sprite->Flush(), D3DERR_INVALIDCALL);
    ASSERT_EQ(m_sprite->Begin(0), S_OK);
    EXPECT_EQ(m_sprite->Begin(0), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_sprite->Draw(nullptr, nullptr, nullptr, &at, 0xFFFFFFFFu), D3DERR_INVALIDCALL);
    const RECT inverted{2, 2, 0, 0};
    EXPECT_EQ(m_sprite->Draw(m_texture, &inverted, nullptr, &at, 0xFFFFFFFFu), S_OK);
    EXPECT_EQ(m_sprite->Draw(m_texture, nullptr, nullptr, nullptr, 0xFFFFFFFFu), S_OK)
        << "no position is 0, 0";
    EXPECT_EQ(m_sprite->End(), S_OK);
    EXPECT_EQ(Pixel(BackBufferPixels(), 0, 0), kTexels[0]);
    EXPECT_EQ(CountNot(BackBufferPixels(), kBackground), 4);

    EXPECT_EQ(m_sprite->SetTransform(nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_sprite->GetTransform(nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_sprite->GetDevice(nullptr), D3DERR_INVALIDCALL);

    ID3DXSprite* sprite = m_sprite;
    EXPECT_EQ(D3DXCreateSprite(nullptr, &sprite), D3DERR_INVALIDCALL);
    EXPECT_EQ(sprite, nullptr);
    EXPECT_EQ(D3DXCreateSprite(m_device, nullptr), D3DERR_INVALIDCALL);
}
