#include "HeadlessDevice.h"
#include "TestMatrices.h"
#include "TestVertices.h"
#include "d3dx9shader.h"

#include <cmath>

namespace {

int Channel(DWORD argb, int shift) {
    return static_cast<int>((argb >> shift) & 0xFF);
}

} // namespace

class DeviceDrawing : public HeadlessDevice {
protected:
    void SetUp() override {
        HeadlessDevice::SetUp();
        if (!m_device)
            return;
        const D3DXMATRIX identity = Identity();
        m_device->SetTransform(D3DTS_WORLD, &identity);
        m_device->SetTransform(D3DTS_VIEW, &identity);
        m_device->SetTransform(D3DTS_PROJECTION, &identity);
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    }

    // A triangle covering the left half of the view, wound clockwise on screen when clockwise is true.
    void DrawTriangle(DWORD color, float z, bool clockwise) {
        ColorVertex v[3] = {{-1, 1, z, color}, {0, 1, z, color}, {-1, -1, z, color}};
        if (!clockwise)
            std::swap(v[1], v[2]);
        m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(ColorVertex));
    }

    void DrawFullQuad(DWORD color, float z) {
        ColorVertex v[4] = {{-1, 1, z, color}, {1, 1, z, color}, {-1, -1, z, color}, {1, -1, z, color}};
        m_device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(ColorVertex));
    }
};

TEST_F(DeviceDrawing, ClearFillsTheViewportWithTheExactColour) {
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF123456, 1.0f, 0);
    const auto pixels = BackBufferPixels();
    ASSERT_EQ(pixels.size(), kWidth * kHeight);
    for (DWORD p : pixels)
        ASSERT_EQ(p, 0xFF123456u);

    D3DVIEWPORT9 corner{0, 0, 8, 4, 0, 1};
    m_device->SetViewport(&corner);
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
    const auto after = BackBufferPixels();
    EXPECT_EQ(Pixel(after, 0, 0), 0xFFFF0000u) << "row 0 is the top row";
    EXPECT_EQ(Pixel(after, 7, 3), 0xFFFF0000u);
    EXPECT_EQ(Pixel(after, 8, 3), 0xFF123456u);
    EXPECT_EQ(Pixel(after, 7, 4), 0xFF123456u);
}

TEST_F(DeviceDrawing, LinesLandOnTheExpectedPixels) {
    // The grid's vertex format at a pixel-exact transform: x in pixels to the right, y in pixels down.
    D3DXMATRIX toClip = Identity();
    toClip._11 = 2.0f / kWidth;
    toClip._22 = -2.0f / kHeight;
    toClip._41 = -1.0f;
    toClip._42 = 1.0f;
    m_device->SetTransform(D3DTS_PROJECTION, &toClip);
    const ColorVertex line[4] = {{0, 10.5f, 0.5f, 0xFF00FF00},
                                 {64, 10.5f, 0.5f, 0xFF00FF00},
                                 {20.5f, 0, 0.5f, 0xFFFF0000},
                                 {20.5f, 48, 0.5f, 0xFFFF0000}};
    ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_LINELIST, 2, line, sizeof(ColorVertex)), S_OK);
    const auto pixels = BackBufferPixels();
    EXPECT_EQ(Pixel(pixels, 5, 10), 0xFF00FF00u);
    EXPECT_EQ(Pixel(pixels, 60, 10), 0xFF00FF00u);
    EXPECT_EQ(Pixel(pixels, 5, 11), 0xFF000000u);
    EXPECT_EQ(Pixel(pixels, 20, 40), 0xFFFF0000u);
    EXPECT_EQ(Pixel(pixels, 21, 40), 0xFF000000u);
}

TEST_F(DeviceDrawing, CullModesMatchDirect3DWindings) {
    struct Case {
        DWORD cull;
        bool clockwise;
        bool drawn;
    };
    for (const Case c :
         {Case{D3DCULL_CCW, true, true}, Case{D3DCULL_CCW, false, false}, Case{D3DCULL_CW, true, false},
          Case{D3DCULL_CW, false, true}, Case{D3DCULL_NONE, false, true}}) {
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        m_device->SetRenderState(D3DRS_CULLMODE, c.cull);
        DrawTriangle(0xFFFFFFFF, 0.5f, c.clockwise);
        EXPECT_EQ(Pixel(BackBufferPixels(), 2, 2), c.drawn ? 0xFFFFFFFFu : 0xFF000000u)
            << "cull " << c.cull << (c.clockwise ? " clockwise" : " counter-clockwise");
    }
}

TEST_F(DeviceDrawing, DepthTestKeepsTheNearerSurfaceOnlyWhenEnabled) {
    DrawFullQuad(0xFFFF0000, 0.2f);
    DrawFullQuad(0xFF00FF00, 0.8f);
    EXPECT_EQ(Pixel(BackBufferPixels(), 30, 20), 0xFFFF0000u);
    m_device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    DrawFullQuad(0xFF0000FF, 0.9f);
    EXPECT_EQ(Pixel(BackBufferPixels(), 30, 20), 0xFF0000FFu);
}

TEST_F(DeviceDrawing, AlphaBlendingMixesWithTheTarget) {
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    m_device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    DrawFullQuad(0x80FF0000, 0.5f);
    const DWORD p = Pixel(BackBufferPixels(), 10, 10);
    EXPECT_NEAR(Channel(p, 16), 128, 1);
    EXPECT_EQ(Channel(p, 8), 0);
    EXPECT_NEAR(Channel(p, 0), 127, 1);
}

TEST_F(DeviceDrawing, DirectionalLightFollowsTheMaterialAndTheNormal) {
    m_device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
    D3DMATERIAL9 material;
    material.Diffuse = D3DXCOLOR(1.0f, 0.5f, 0.25f, 1.0f);
    material.Ambient = D3DXCOLOR(1, 1, 1, 1);
    m_device->SetMaterial(&material);
    D3DLIGHT9 light;
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = D3DXCOLOR(1, 1, 1, 1);
    light.Direction = D3DXVECTOR3(0, 0, 1);
    m_device->SetLight(0, &light);
    m_device->LightEnable(0, TRUE);
    const LitVertex facing[4] = {{-1, 1, 0.5f, 0, 0, -1, 0, 0},
                                 {1, 1, 0.5f, 0, 0, -1, 1, 0},
                                 {-1, -1, 0.5f, 0, 0, -1, 0, 1},
                                 {1, -1, 0.5f, 0, 0, -1, 1, 1}};
    auto draw = [&](const LitVertex* v) {
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        m_device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(LitVertex));
        return Pixel(BackBufferPixels(), 32, 24);
    };

    m_device->SetRenderState(D3DRS_LIGHTING, TRUE);
    DWORD lit = draw(facing);
    EXPECT_EQ(Channel(lit, 16), 255);
    EXPECT_NEAR(Channel(lit, 8), 128, 1);
    EXPECT_NEAR(Channel(lit, 0), 64, 1);

    LitVertex away[4];
    std::copy(facing, facing + 4, away);
    for (auto& v : away)
        v.nz = 1;
    EXPECT_EQ(draw(away), 0xFF000000u) << "a surface turned from the light gets no diffuse light";

    m_device->SetRenderState(D3DRS_AMBIENT, 0xFF404040);
    EXPECT_EQ(draw(away), 0xFF404040u) << "the global ambient times the material ambient";

    m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    EXPECT_EQ(draw(away), 0xFFFFFFFFu) << "unlit vertices without colour are white";
}

TEST_F(DeviceDrawing, ConstantColourPixelShaderReadsBackExactlyFromALockableTarget) {
    IDirect3DSurface9* target = nullptr;
    ASSERT_EQ(
        m_device->CreateRenderTarget(16, 16, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, 0, TRUE, &target, nullptr),
        S_OK);
    ASSERT_EQ(m_device->SetRenderTarget(0, target), S_OK);
    D3DVIEWPORT9 viewport;
    m_device->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 16u) << "a new render target brings its own viewport";
    m_device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);

    const char source[] = "ps_1_1 \nmov      r0,   c0";
    ID3DXBuffer* code = nullptr;
    ID3DXBuffer* errors = nullptr;
    ASSERT_EQ(D3DXAssembleShader(source, sizeof source - 1, nullptr, nullptr, 0, &code, &errors), S_OK);
    IDirect3DPixelShader9* shader = nullptr;
    ASSERT_EQ(m_device->CreatePixelShader(static_cast<const DWORD*>(code->GetBufferPointer()), &shader),
              S_OK);
    m_device->SetPixelShader(shader);
    for (DWORD expected : {0xFF3366FFu, 0xFFFF0000u, 0xFF010203u}) {
        const D3DXCOLOR color(expected);
        m_device->SetPixelShaderConstantF(0, &color.r, 1);
        DrawFullQuad(0xFFFFFFFF, 0.5f);
        for (DWORD p : Pixels(target))
            ASSERT_EQ(p, expected);
    }
    m_device->SetPixelShader(nullptr);
    shader->Release();
    code->Release();
    target->Release();
}

TEST_F(DeviceDrawing, TextureStageModulatesTheVertexColour) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(m_device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), S_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), S_OK);
    auto* texels = static_cast<DWORD*>(locked.pBits);
    texels[0] = 0xFFFF0000; // top left
    texels[1] = 0xFF00FF00; // top right
    auto* second = reinterpret_cast<DWORD*>(static_cast<char*>(locked.pBits) + locked.Pitch);
    second[0] = 0xFF0000FF;
    second[1] = 0xFFFFFFFF;
    texture->UnlockRect(0);

    struct TexturedVertex {
        float x, y, z;
        DWORD color;
        float u, v;
    };
    const TexturedVertex quad[4] = {{-1, 1, 0.5f, 0xFF808080, 0, 0},
                                    {1, 1, 0.5f, 0xFF808080, 1, 0},
                                    {-1, -1, 0.5f, 0xFF808080, 0, 1},
                                    {1, -1, 0.5f, 0xFF808080, 1, 1}};
    m_device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    m_device->SetTexture(0, texture);
    m_device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TexturedVertex));
    const auto pixels = BackBufferPixels();
    EXPECT_EQ(Pixel(pixels, 5, 5), 0xFF800000u) << "texture v = 0 is the top row";
    EXPECT_EQ(Pixel(pixels, 60, 5), 0xFF008000u);
    EXPECT_EQ(Pixel(pixels, 5, 40), 0xFF000080u);
    m_device->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(DeviceDrawing, VertexBlendingMixesTwoWorldMatrices) {
    struct BlendVertex {
        float x, y, z;
        float weight;
        DWORD color;
    };
    D3DXMATRIX left, right;
    D3DXMatrixTranslation(&left, -0.5f, 0, 0);
    D3DXMatrixTranslation(&right, 0.5f, 0, 0);
    m_device->SetTransform(D3DTS_WORLDMATRIX(0), &left);
    m_device->SetTransform(D3DTS_WORLDMATRIX(1), &right);
    m_device->SetRenderState(D3DRS_VERTEXBLEND, D3DVBF_1WEIGHTS);
    m_device->SetFVF(D3DFVF_XYZB1 | D3DFVF_DIFFUSE);
    // With weight 1 a vertex follows matrix 0 (moved left); with weight 0, matrix 1 (moved right).
    const BlendVertex followsLeft[3] = {{-0.25f, 0.25f, 0.5f, 1, 0xFFFFFFFF},
                                        {0.25f, 0.25f, 0.5f, 1, 0xFFFFFFFF},
                                        {-0.25f, -0.25f, 0.5f, 1, 0xFFFFFFFF}};
    m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, followsLeft, sizeof(BlendVertex));
    auto pixels = BackBufferPixels();
    EXPECT_EQ(Pixel(pixels, 17, 22), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(pixels, 40, 22), 0xFF000000u);
    BlendVertex followsRight[3];
    std::copy(followsLeft, followsLeft + 3, followsRight);
    for (auto& v : followsRight)
        v.weight = 0;
    m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, followsRight, sizeof(BlendVertex));
    EXPECT_EQ(Pixel(BackBufferPixels(), 40, 22), 0xFFFFFFFFu);
}

// A read-only lock of part of a target reads that part alone; it must still give the pixels the whole
// read would, at the corners too.
TEST_F(DeviceDrawing, ReadOnlyLockOfARectangleReadsItsOwnPixels) {
    IDirect3DSurface9* target = nullptr;
    ASSERT_EQ(
        m_device->CreateRenderTarget(16, 8, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, 0, TRUE, &target, nullptr),
        S_OK);
    ASSERT_EQ(m_device->SetRenderTarget(0, target), S_OK);
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    const D3DRECT topLeft{0, 0, 1, 1}, bottomRight{15, 7, 16, 8}, middle{5, 3, 7, 4};
    m_device->Clear(1, &topLeft, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
    m_device->Clear(1, &bottomRight, D3DCLEAR_TARGET, 0x800000FF, 1.0f, 0);
    m_device->Clear(1, &middle, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
    struct Case {
        RECT rect;
        std::vector<DWORD> expected;
    };
    for (const Case& c :
         std::vector<Case>{{{0, 0, 1, 1}, {0xFFFF0000}},
                           {{15, 7, 16, 8}, {0xFF0000FF}},
                           {{4, 3, 8, 4}, {0xFF000000, 0xFF00FF00, 0xFF00FF00, 0xFF000000}}}) {
        D3DLOCKED_RECT locked;
        ASSERT_EQ(target->LockRect(&locked, &c.rect, D3DLOCK_READONLY), S_OK);
        for (std::size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_EQ(static_cast<const DWORD*>(locked.pBits)[i], c.expected[i]) << c.rect.left << "," << i;
        target->UnlockRect();
    }
    target->Release();
}
