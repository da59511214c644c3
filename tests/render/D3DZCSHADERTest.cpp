#include "BackBufferPixel.h"
#include "D3DZCDIRECT3D.h"
#include "D3DZCSHADERCREATE.h"
#include "D3DZCSHADER_SHADOWMAP.h"
#include "D3DZDMXFILE.h"
#include "MessageBoxRecorder.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <cmath>
#include <cstdlib>

namespace {

// Two triangles filling clip space: the top-right one green-textured with a white diffuse, the
// bottom-left one untextured red with diffuse alpha 0.25, specular (0.5, 1, 1) and emissive black.
const char* const kModel = "xof 0302txt 0032\n"
                           "Mesh quad {\n"
                           " 4; -1;1;0;, 1;1;0;, 1;-1;0;, -1;-1;0;;\n"
                           " 2; 3;0,1,2;, 3;0,2,3;;\n"
                           " MeshMaterialList { 2; 2; 0, 1;;\n"
                           "  Material { 1.0;1.0;1.0;1.0;; 5.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;;\n"
                           "   TextureFilename { \"green.png\"; } }\n"
                           "  Material { 1.0;0.0;0.0;0.25;; 8.0; 0.5;1.0;1.0;; 0.0;0.0;0.0;; } }\n"
                           " MeshTextureCoords { 4; 0.0;0.0;, 1.0;0.0;, 1.0;1.0;, 0.0;1.0;; }\n"
                           "}\n";

// An effect whose passes draw the mesh in clip space with the given fragment body and pass states.
std::string Effect(const std::string& colour, const std::string& states = "", int passes = 1) {
    std::string text = "parameter float4 Diffuse;\nparameter float Ambient;\nparameter float4 Specular;\n"
                       "parameter float4 Emissive = 1 1 1 1;\nparameter float Power;\n"
                       "parameter texture MeshTex;\ntechnique Tech\n";
    for (int pass = 0; pass < passes; ++pass)
        text += "pass P" + std::to_string(pass) + "\nstate ZENABLE FALSE\nstate CULLMODE NONE\n" + states +
                "vertex\nlayout(location = 0) in vec3 aPosition;\nlayout(location = 4) in vec2 aTexCoord;\n"
                "out vec2 vTex;\nvoid main() { gl_Position = vec4(aPosition, 1.0); vTex = aTexCoord; }\n"
                "fragment\nuniform vec4 Diffuse;\nuniform float Ambient;\nuniform vec4 Specular;\n"
                "uniform vec4 Emissive;\nuniform float Power;\nuniform sampler2D MeshTex;\n"
                "in vec2 vTex;\nout vec4 colour;\nvoid main() { colour = " +
                colour + "; }\n";
    return text;
}

D3DLIGHT9 Light(D3DXCOLOR diffuse, D3DXCOLOR ambient = D3DXCOLOR(0, 0, 0, 0),
                D3DXCOLOR specular = D3DXCOLOR(1, 1, 1, 1)) {
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = diffuse;
    light.Ambient = ambient;
    light.Specular = specular;
    light.Direction = {0, -1, 0};
    return light;
}

// A channel of an ARGB pixel as a fraction, to compare with what the effect computed.
float Channel(DWORD argb, int shift) {
    return static_cast<float>((argb >> shift) & 0xFF) / 255.0f;
}

class EffectDrawing : public ::testing::Test {
protected:
    static constexpr int kSize = 32;

    void SetUp() override {
        ASSERT_NE(D3DZCDIRECT3D::GetInstance().Init(nullptr, 0, kSize, kSize), nullptr);
        QImage texture(2, 2, QImage::Format_ARGB32);
        texture.fill(QColor(0, 255, 0));
        texture.save(QString::fromStdString(m_dir.File("green.png")));
        ASSERT_TRUE(m_model.LoadXFile(m_dir.Write("quad.x", kModel).c_str()));
        Clear();
    }
    void TearDown() override {
        m_model.Release();
        D3DZDMXFILE::GetInstance().AllClear();
        D3DZCDIRECT3D::GetInstance().Release();
    }

    void Clear() { Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0); }
    static IDirect3DDevice9* Device() { return D3DZCDIRECT3D::GetInstance().GetDevice(); }

    std::string Fx(const std::string& text) {
        return m_dir.Write("test" + std::to_string(m_files++) + ".fx", text);
    }

    // The pixel at (x, y) of the back buffer, top row first.
    DWORD Pixel(int x, int y) { return BackBufferPixel(Device(), x, y); }
    DWORD TexturedPixel() { return Pixel(kSize - 3, 2); }
    DWORD PlainPixel() { return Pixel(2, kSize - 3); }

    TempDir m_dir;
    MessageBoxRecorder m_messages;
    D3DZCXFILE m_model;
    int m_files = 0;
};

} // namespace

TEST_F(EffectDrawing, UntexturedMaterialsDrawThroughTheWhiteTexture) {
    D3DZCSHADERCREATE shader;
    // Opaque output: the library's default states blend by source alpha.
    shader.LoadFX(Fx(Effect("vec4((Diffuse * texture(MeshTex, vTex)).rgb, 1.0)")).c_str());
    ASSERT_NE(shader.GetEffect(), nullptr)
        << (m_messages.Messages().empty() ? "" : m_messages.Messages()[0].text);
    ASSERT_NE(shader.GetWhiteTex().GetTex(), nullptr);
    EXPECT_EQ(shader.GetWhiteTex().GetInfo().Width, 1u);

    D3DLIGHT9 white = Light(D3DXCOLOR(1, 1, 1, 1));
    shader.DrawMesh(&white, &m_model);
    EXPECT_EQ(PlainPixel() & 0xFFFFFF, 0xFF0000u) << "the material colour, unmodulated";
    EXPECT_EQ(TexturedPixel() & 0xFFFFFF, 0x00FF00u) << "the material's own texture";

    D3DLIGHT9 half = Light(D3DXCOLOR(0.5f, 1, 1, 1));
    shader.DrawMesh(&half, &m_model);
    EXPECT_NEAR(Channel(PlainPixel(), 16), 0.5f, 0.01f) << "diffuse is material x light";
}

TEST_F(EffectDrawing, DiffuseAlphaAndAmbientComeFromMaterialAndLight) {
    D3DZCSHADERCREATE shader;
    shader.LoadFX(Fx(Effect("vec4(Diffuse.a, Ambient, Power / 10.0, 1.0)")).c_str());
    ASSERT_NE(shader.GetEffect(), nullptr);

    D3DLIGHT9 light = Light(D3DXCOLOR(1, 1, 1, 1), D3DXCOLOR(0.2f, 0.5f, 0.5f, 1));
    shader.DrawMesh(&light, &m_model);
    const DWORD plain = PlainPixel();
    EXPECT_NEAR(Channel(plain, 16), 0.25f, 0.01f) << "the material's alpha passes a white light unchanged";
    EXPECT_NEAR(Channel(plain, 8), 0.2f, 0.01f) << "only the red ambient component reaches the effect";
    EXPECT_NEAR(Channel(plain, 0), 0.8f, 0.01f) << "the material's power";

    light.Diffuse.a = 0.0f;
    shader.DrawMesh(&light, &m_model);
    EXPECT_EQ((PlainPixel() >> 16) & 0xFF, 0u) << "a light with diffuse alpha 0 gives alpha 0";
}

TEST_F(EffectDrawing, SpecularTakesTheLightAndEmissiveOnlyWithTheDeviceLight) {
    D3DZCSHADERCREATE shader;
    shader.LoadFX(Fx(Effect("vec4(Specular.r, Specular.a, Emissive.b, 1.0)")).c_str());
    ASSERT_NE(shader.GetEffect(), nullptr);

    D3DLIGHT9 light = Light(D3DXCOLOR(1, 1, 1, 1), D3DXCOLOR(0, 0, 0, 0), D3DXCOLOR(0.5f, 0.5f, 0.5f, 0.0f));
    shader.DrawMesh(&light, &m_model);
    DWORD plain = PlainPixel();
    EXPECT_NEAR(Channel(plain, 16), 0.25f, 0.01f);
    EXPECT_NEAR(Channel(plain, 8), 1.0f, 0.01f) << "the fourth component is always 1";
    EXPECT_NEAR(Channel(plain, 0), 1.0f, 0.01f) << "the record overload leaves Emissive at its default";

    const D3DXVECTOR3 down(0, -1, 0);
    D3DZCDIRECT3D::GetInstance().SetDirectionalLight(TRUE, 0, &down, D3DXCOLOR(1, 1, 1, 1),
                                                     D3DXCOLOR(0, 0, 0, 0), D3DXCOLOR(1, 1, 1, 1));
    shader.DrawMesh(&m_model);
    plain = PlainPixel();
    EXPECT_NEAR(Channel(plain, 16), 0.5f, 0.01f) << "device light 0's specular";
    EXPECT_EQ(plain & 0xFF, 0u) << "the material's black emissive";
}

TEST_F(EffectDrawing, EveryPassDrawsEverySubsetButTheShadowPassDrawsOnlyTheFirst) {
    const std::string additive = "state ALPHABLENDENABLE TRUE\nstate SRCBLEND ONE\nstate DESTBLEND ONE\n";
    D3DZCSHADERCREATE shader;
    shader.LoadFX(Fx(Effect("vec4(0.25, 0.25, 0.25, 1.0)", additive, 2)).c_str());
    ASSERT_NE(shader.GetEffect(), nullptr);
    D3DLIGHT9 light = Light(D3DXCOLOR(1, 1, 1, 1));
    shader.DrawMesh(&light, &m_model);
    EXPECT_NEAR(Channel(PlainPixel(), 16), 0.5f, 0.01f);
    EXPECT_NEAR(Channel(TexturedPixel(), 16), 0.5f, 0.01f);

    Clear();
    D3DZCSHADER_SHADOWMAP shadow;
    shadow.LoadFX(Fx(Effect("vec4(0.25, 0.25, 0.25, 1.0)", additive, 2)).c_str());
    ASSERT_NE(shadow.GetEffect(), nullptr);
    D3DXVECTOR3 position(0, 10, 0);
    D3DXVECTOR3 direction(0, -1, 0);
    shadow.Begin(&position, &direction);
    // Blending the map's own white would saturate; draw over a cleared map instead.
    Device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00000000, 1.0f, 0);
    shadow.DrawMesh(&m_model);
    shadow.End();
    IDirect3DSurface9* map = nullptr;
    ASSERT_EQ(shadow.GetShadowTex()->GetTex()->GetSurfaceLevel(0, &map), S_OK);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(map->LockRect(&locked, nullptr, D3DLOCK_READONLY), S_OK);
    if (locked.pBits != nullptr) {
        EXPECT_FLOAT_EQ(*static_cast<const float*>(locked.pBits), 0.25f) << "one pass only";
        map->UnlockRect();
    }
    map->Release();
    EXPECT_EQ(PlainPixel() & 0xFFFFFF, 0u) << "the shadow pass did not draw into the back buffer";
}

TEST_F(EffectDrawing, CompileErrorsShowTheCompilerTextAndLeaveNoEffect) {
    D3DZCSHADERCREATE shader;
    shader.LoadFX(Fx(Effect("vec4(Diffuse.a, Ambient, 0.0, 1.0)")).c_str());
    ASSERT_NE(shader.GetEffect(), nullptr);
    shader.LoadFX(Fx(Effect("undeclared_value")).c_str());
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(m_messages.Messages()[0].caption, "シェーダコンパイルエラー");
    EXPECT_NE(m_messages.Messages()[0].text.find("undeclared_value"), std::string::npos)
        << m_messages.Messages()[0].text;
    EXPECT_EQ(m_messages.Messages()[0].type, MB_OK);
    EXPECT_EQ(shader.GetEffect(), nullptr) << "the earlier effect went with the failed load";
    EXPECT_EQ(shader.GetWhiteTex().GetTex(), nullptr);

    // Without an effect everything is skipped.
    UINT passes = 7;
    shader.ShaderBegin(&passes, 0);
    EXPECT_EQ(passes, 0u);
    shader.ShaderSetFloat("Ambient", 1.0f);
    shader.ShaderSetTexture("MeshTex", static_cast<D3DZCTEXTURE*>(nullptr));
    shader.DrawMesh(&m_model);
    shader.DrawMesh(nullptr, nullptr);
    EXPECT_EQ(PlainPixel() & 0xFFFFFF, 0u);

    shader.LoadFX(m_dir.File("missing.fx").c_str());
    EXPECT_EQ(m_messages.Messages().size(), 2u) << "an unreadable file is reported too";
    D3DZCSHADER_SHADOWMAP shadow;
    shadow.LoadFX(m_dir.File("missing.fx").c_str());
    EXPECT_EQ(m_messages.Messages().size(), 3u);
    EXPECT_EQ(shadow.GetShadowTex()->GetTex(), nullptr);
    D3DXVECTOR3 position(0, 10, 0);
    shadow.Begin(&position);
    shadow.DrawMesh(&m_model);
    shadow.End();
}

TEST_F(EffectDrawing, TheShadowPassRedirectsTheTargetsAndPutsThemBack) {
    D3DZCSHADER_SHADOWMAP shadow;
    shadow.LoadFX(Fx(Effect("vec4(1.0)")).c_str());
    ASSERT_NE(shadow.GetEffect(), nullptr);
    EXPECT_EQ(shadow.GetShadowTex()->GetInfo().Width, 1024u);
    EXPECT_EQ(shadow.GetShadowTex()->GetInfo().Format, D3DFMT_R32F);
    EXPECT_EQ(shadow.GetShadowDepth().GetDesc().Format, D3DFMT_D24S8);
    EXPECT_EQ(*shadow.GetLVP(), D3DZCMATRIX()) << "identity before any pass";

    IDirect3DSurface9* before = nullptr;
    Device()->GetRenderTarget(0, &before);
    D3DXVECTOR3 position(1, 20, 3);
    D3DXVECTOR4 ortho(800, 600, 1, 500);
    const D3DXVECTOR3 down(0, -1, 0.1f);
    D3DZCDIRECT3D::GetInstance().SetDirectionalLight(TRUE, 0, &down, D3DXCOLOR(1, 1, 1, 1),
                                                     D3DXCOLOR(0, 0, 0, 0), D3DXCOLOR(1, 1, 1, 1));
    shadow.Begin(&position, &ortho);
    shadow.Begin(&position, &ortho); // a repeated Begin must still restore the real target
    IDirect3DSurface9* during = nullptr;
    Device()->GetRenderTarget(0, &during);
    EXPECT_NE(during, before);
    shadow.End();
    IDirect3DSurface9* after = nullptr;
    Device()->GetRenderTarget(0, &after);
    EXPECT_EQ(after, before);
    for (IDirect3DSurface9* surface : {before, during, after})
        if (surface != nullptr)
            surface->Release();

    const D3DXVECTOR3 dir = D3DZCDIRECT3D::GetInstance().GetLightDir(0);
    const D3DXVECTOR3 at(position.x + dir.x, position.y + dir.y, position.z + dir.z);
    const D3DXVECTOR3 up(0, 1, 0);
    D3DXMATRIX view, proj, expected;
    D3DXMatrixLookAtLH(&view, &position, &at, &up);
    D3DXMatrixOrthoLH(&proj, 800, 600, 1, 500);
    D3DXMatrixMultiply(&expected, &view, &proj);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(shadow.GetLVP()->m[r][c], expected.m[r][c], 1e-5f);
}

TEST_F(EffectDrawing, AVerticalOrMissingLightDirectionStillGivesAUsableLightView) {
    D3DZCSHADER_SHADOWMAP shadow;
    shadow.LoadFX(Fx(Effect("vec4(1.0)")).c_str());
    ASSERT_NE(shadow.GetEffect(), nullptr);
    D3DXVECTOR3 position(2, 30, -1);
    for (D3DXVECTOR3 direction : {D3DXVECTOR3(0, -1, 0), D3DXVECTOR3(0, 0, 0)}) {
        shadow.Begin(&position, &direction);
        shadow.End();
        // The point straight below the light lands in the middle of the default 80 x 80 box, from 1 to 100.
        const D3DXVECTOR3 below(2, 0, -1);
        D3DXVECTOR3 mapped;
        D3DXVec3TransformCoord(&mapped, &below, shadow.GetLVP());
        EXPECT_NEAR(mapped.x, 0.0f, 1e-5f);
        EXPECT_NEAR(mapped.y, 0.0f, 1e-5f);
        EXPECT_NEAR(mapped.z, (30.0f - 1.0f) / (100.0f - 1.0f), 1e-5f);
        const D3DXVECTOR3 aside(12, 0, -1);
        D3DXVec3TransformCoord(&mapped, &aside, shadow.GetLVP());
        EXPECT_NEAR(std::abs(mapped.x) + std::abs(mapped.y), 0.25f, 1e-5f)
            << "10 units off, a quarter of the box";
    }
}
