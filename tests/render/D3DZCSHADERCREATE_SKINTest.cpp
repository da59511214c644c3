#include "D3DZCSHADERCREATE_SKIN.h"
#include "BackBufferPixel.h"
#include "D3DZCDIRECT3D.h"
#include "MessageBoxRecorder.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

// Two triangles in clip space, left and right, in one material but moved by two different pairs of
// bones: with two bones blended per face they make two bone combinations of the same material.
const char* const kTwoCombinations = R"(xof 0303txt 0032
Frame Body {
  Mesh Pair {
    6; -1;-1;0;, -1;1;0;, -0.2;0;0;, 0.2;0;0;, 1;1;0;, 1;-1;0;;
    2; 3;0,1,2;, 3;3,4,5;;
    MeshMaterialList { 1; 2; 0,0;; Material Paint { 1;0.5;0.25;1;; 4; 0;0;0;; 0;0;0;; } }
    SkinWeights { "A"; 2; 0,1; 1,1; 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }
    SkinWeights { "B"; 1; 2; 1; 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }
    SkinWeights { "C"; 2; 3,4; 1,1; 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }
    SkinWeights { "D"; 1; 5; 1; 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }
  }
}
Frame A { } Frame B { } Frame C { } Frame D { }
AnimationSet Idle { Animation { { A } AnimationKey { 2; 1; 0;3;0,0,0;;; } } }
)";

// The material's diffuse times the light's, drawn where the mesh stands in clip space.
const char* const kEffect = "parameter float4 Diffuse;\nparameter texture MeshTex;\ntechnique Tech\n"
                            "pass P0\nstate ZENABLE FALSE\nstate CULLMODE NONE\n"
                            "vertex\nlayout(location = 0) in vec3 aPosition;\n"
                            "void main() { gl_Position = vec4(aPosition, 1.0); }\n"
                            "fragment\nuniform vec4 Diffuse;\nout vec4 colour;\n"
                            "void main() { colour = Diffuse; }\n";

} // namespace

TEST(SkinEffectDrawing, EveryBoneCombinationIsDrawnWithTheMaterialItNames) {
    constexpr int kSize = 32;
    ASSERT_NE(D3DZCDIRECT3D::GetInstance().Init(nullptr, 0, kSize, kSize), nullptr);
    {
        TempDir dir;
        MessageBoxRecorder messages;
        D3DZCXSkinMesh mesh;
        ASSERT_TRUE(mesh.Load(dir.Write("pair.x", kTwoCombinations).c_str(), nullptr));
        ASSERT_EQ(mesh.GetContainer()->m_dwNumBoneCombinations, 2u);
        D3DZCSHADERCREATE_SKIN shader;
        shader.DrawMesh(&mesh); // no effect yet: nothing drawn, nothing broken
        shader.LoadFX(dir.Write("skin.fx", kEffect).c_str());
        ASSERT_NE(shader.GetEffect(), nullptr);
        IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        D3DLIGHT9 light{};
        light.Diffuse = D3DXCOLOR(1, 1, 1, 1);
        shader.DrawMesh(&light, &mesh);
        const DWORD left = BackBufferPixel(device, 2, kSize / 2);
        const DWORD right = BackBufferPixel(device, kSize - 3, kSize / 2);
        EXPECT_EQ((left >> 16) & 0xFF, 0xFFu);
        EXPECT_NEAR(static_cast<int>((left >> 8) & 0xFF), 128, 1);
        EXPECT_NEAR(static_cast<int>(left & 0xFF), 64, 1);
        EXPECT_EQ(right, left);
    }
    D3DZCDIRECT3D::GetInstance().Release();
}
