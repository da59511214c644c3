#include "EffectFile.h"
#include "EffectParameter.h"
#include "HeadlessDevice.h"
#include "TempDir.h"
#include "TestVertices.h"
#include "d3dx9effect.h"
#include "d3dx9mesh.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

struct TexturedVertex {
    float x, y, z;
    float u, v;
};

const char* const kPassThrough = R"(vertex
layout(location = 0) in vec3 aPosition;
layout(location = 2) in vec4 aDiffuse;
out vec4 vDiffuse;
void main() { gl_Position = vec4(aPosition, 1.0); vDiffuse = aDiffuse; }
)";

// An effect drawing the float4 "Diffuse" in each pass, with the given pass headers (name and states).
std::string FlatEffect(const std::string& passes) {
    std::string text = "// flat colour\nparameter float4 Diffuse = 1 0 0 1;\ntechnique Tech\n";
    std::size_t start = 0;
    while (start < passes.size()) {
        std::size_t end = passes.find("|", start);
        if (end == std::string::npos)
            end = passes.size();
        text += passes.substr(start, end - start) + "\n" + kPassThrough +
                "fragment\nuniform vec4 Diffuse;\nout vec4 colour;\nvoid main() { colour = Diffuse; }\n";
        start = end + 1;
    }
    return text;
}

D3DXVECTOR4 Vector(DWORD argb) {
    const D3DXCOLOR c(argb);
    return {c.r, c.g, c.b, c.a};
}

DWORD Rgb(DWORD argb) {
    return argb & 0x00FFFFFF;
}

} // namespace

class D3DXEffectTest : public HeadlessDevice {
protected:
    void SetUp() override {
        HeadlessDevice::SetUp();
        if (!m_device)
            return;
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_device->SetRenderState(D3DRS_ZENABLE, FALSE);
        m_device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    }

    void TearDown() override {
        if (m_effect)
            m_effect->Release();
        HeadlessDevice::TearDown();
    }

    // Loads the text as an effect; the error text (if any) lands in m_errors.
    HRESULT Load(const std::string& text) {
        m_path = m_dir.Write("test.fx", text);
        ID3DXBuffer* errors = nullptr;
        const HRESULT result = D3DXCreateEffectFromFileA(m_device, m_path.c_str(), nullptr, nullptr, 0,
                                                         nullptr, &m_effect, &errors);
        m_errors.clear();
        if (errors) {
            m_errors = static_cast<const char*>(errors->GetBufferPointer());
            errors->Release();
        }
        return result;
    }

    void DrawQuad(float left, float right, DWORD color = 0xFF00FF00) {
        ColorVertex v[4] = {{left, 1, 0.5f, color},
                            {right, 1, 0.5f, color},
                            {left, -1, 0.5f, color},
                            {right, -1, 0.5f, color}};
        m_device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(ColorVertex));
    }

    // Draws a full-screen quad in every pass of the current technique.
    void DrawAllPasses(float left = -1, float right = 1) {
        UINT passes = 0;
        ASSERT_EQ(m_effect->Begin(&passes, 0), S_OK);
        for (UINT pass = 0; pass < passes; ++pass) {
            ASSERT_EQ(m_effect->BeginPass(pass), S_OK);
            DrawQuad(left, right);
            m_effect->EndPass();
        }
        ASSERT_EQ(m_effect->End(), S_OK);
    }

    TempDir m_dir;
    std::string m_path;
    std::string m_errors;
    ID3DXEffect* m_effect = nullptr;
};

TEST_F(D3DXEffectTest, FlatColourPassDrawsTheParameterExactly) {
    ASSERT_EQ(Load(FlatEffect("pass P0")), S_OK) << m_errors;
    DrawAllPasses();
    EXPECT_EQ(Rgb(Pixel(BackBufferPixels(), 10, 10)), 0xFF0000u) << "the declared default";

    const D3DXVECTOR4 colour = Vector(0xFF336699);
    ASSERT_EQ(m_effect->SetVector("Diffuse", &colour), S_OK);
    DrawAllPasses();
    const auto pixels = BackBufferPixels();
    EXPECT_EQ(Rgb(Pixel(pixels, 0, 0)), 0x336699u);
    EXPECT_EQ(Rgb(Pixel(pixels, kWidth - 1, kHeight - 1)), 0x336699u);
}

TEST_F(D3DXEffectTest, DrawsOutsideAPassUseTheFixedFunctionPipelineAgain) {
    ASSERT_EQ(Load(FlatEffect("pass P0")), S_OK) << m_errors;
    UINT passes = 0;
    m_effect->Begin(&passes, 0);
    m_effect->BeginPass(0);
    DrawQuad(-1, 0);
    m_effect->EndPass();
    m_effect->End();
    DrawQuad(0, 1, 0xFF0000FF);
    const auto pixels = BackBufferPixels();
    EXPECT_EQ(Rgb(Pixel(pixels, 5, 20)), 0xFF0000u);
    EXPECT_EQ(Rgb(Pixel(pixels, kWidth - 5, 20)), 0x0000FFu) << "the vertex colour of the fixed pipeline";
}

TEST_F(D3DXEffectTest, MeshSubsetsDrawWithThePassProgram) {
    ASSERT_EQ(Load(FlatEffect("pass P0")), S_OK) << m_errors;
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(ID3DXMesh::Create(2, 4, D3DXMESH_MANAGED, D3DFVF_XYZ | D3DFVF_DIFFUSE, m_device, &mesh), S_OK);
    ColorVertex* vertices = nullptr;
    mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&vertices));
    const ColorVertex quad[4] = {{-1, 1, 0.5f, 0xFF00FF00},
                                 {1, 1, 0.5f, 0xFF00FF00},
                                 {-1, -1, 0.5f, 0xFF00FF00},
                                 {1, -1, 0.5f, 0xFF00FF00}};
    std::copy(quad, quad + 4, vertices);
    mesh->UnlockVertexBuffer();
    WORD* indices = nullptr;
    mesh->LockIndexBuffer(0, reinterpret_cast<void**>(&indices));
    const WORD faces[6] = {0, 1, 2, 2, 1, 3};
    std::copy(faces, faces + 6, indices);
    mesh->UnlockIndexBuffer();

    const D3DXVECTOR4 colour = Vector(0xFF204080);
    m_effect->SetVector("Diffuse", &colour);
    m_effect->Begin(nullptr, 0);
    m_effect->BeginPass(0);
    mesh->DrawSubset(0);
    m_effect->EndPass();
    m_effect->End();
    mesh->Release();
    EXPECT_EQ(Rgb(Pixel(BackBufferPixels(), 32, 24)), 0x204080u);
}

TEST_F(D3DXEffectTest, MatrixParametersPlaceGeometryAsTheFixedFunctionTransformDoes) {
    ASSERT_EQ(Load(R"(parameter float4x4 mWVP;
parameter float4x4 Bones[3];
parameter int Bone = 0;
technique Tech
pass Single
  vertex
layout(location = 0) in vec3 aPosition;
layout(location = 2) in vec4 aDiffuse;
uniform mat4 mWVP;
out vec4 vDiffuse;
void main() { gl_Position = mWVP * vec4(aPosition, 1.0); vDiffuse = aDiffuse; }
  fragment
in vec4 vDiffuse;
out vec4 colour;
void main() { colour = vDiffuse; }
technique Skinned
pass Bone
  vertex
layout(location = 0) in vec3 aPosition;
layout(location = 2) in vec4 aDiffuse;
uniform mat4 Bones[3];
uniform int Bone;
out vec4 vDiffuse;
void main() { gl_Position = Bones[Bone] * vec4(aPosition, 1.0); vDiffuse = aDiffuse; }
  fragment
in vec4 vDiffuse;
out vec4 colour;
void main() { colour = vDiffuse; }
)"),
              S_OK)
        << m_errors;
    D3DXMATRIX scale, move, world;
    D3DXMatrixScaling(&scale, 0.5f, 0.5f, 1.0f);
    D3DXMatrixTranslation(&move, 0.75f, -0.25f, 0.0f);
    D3DXMatrixMultiply(&world, &scale, &move);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    m_device->SetTransform(D3DTS_VIEW, &identity);
    m_device->SetTransform(D3DTS_PROJECTION, &identity);
    m_device->SetTransform(D3DTS_WORLD, &world);
    DrawQuad(-1, 0);
    const auto fixed = BackBufferPixels();
    m_device->SetTransform(D3DTS_WORLD, &identity);

    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(m_effect->SetMatrix("mWVP", &world), S_OK);
    DrawAllPasses(-1, 0);
    EXPECT_EQ(BackBufferPixels(), fixed);

    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    const D3DXMATRIX bones[3] = {identity, identity, world};
    ASSERT_EQ(m_effect->SetTechnique("Skinned"), S_OK);
    ASSERT_EQ(m_effect->SetMatrixArray("Bones", bones, 3), S_OK);
    ASSERT_EQ(m_effect->SetInt("Bone", 2), S_OK);
    DrawAllPasses(-1, 0);
    EXPECT_EQ(BackBufferPixels(), fixed) << "the third matrix of the array";
    EXPECT_NE(Rgb(Pixel(fixed, 40, 20)), 0u);
    EXPECT_EQ(Rgb(Pixel(fixed, 5, 20)), 0u);
}

TEST_F(D3DXEffectTest, CopiesTakeTheNamedMatrixFromTheInstanceStream) {
    ASSERT_EQ(Load(R"(parameter float4x4 mW;
parameter int Unused = 0;
technique Tech
pass Placed
  vertex
layout(location = 0) in vec3 aPosition;
layout(location = 2) in vec4 aDiffuse;
uniform mat4 mW;
out vec4 vDiffuse;
void main() { gl_Position = mW * vec4(aPosition, 1.0); vDiffuse = aDiffuse; }
  fragment
in vec4 vDiffuse;
out vec4 colour;
void main() { colour = vDiffuse; }
technique Unplaced
pass Flat
)" + std::string(kPassThrough) +
                   "fragment\nin vec4 vDiffuse;\nout vec4 colour;\nvoid main() { colour = vDiffuse; }\n"),
              S_OK)
        << m_errors;
    const std::vector<ColorVertex> quad = {{-1, 1, 0.5f, 0xFF00FF00},
                                           {0, 1, 0.5f, 0xFF00FF00},
                                           {-1, -1, 0.5f, 0xFF00FF00},
                                           {0, -1, 0.5f, 0xFF00FF00}};
    std::vector<D3DXMATRIX> worlds(2);
    D3DXMatrixScaling(&worlds[0], 0.5f, 0.5f, 1);
    D3DXMatrixTranslation(&worlds[1], 1.25f, 0.5f, 0);
    const ComPtr<IDirect3DVertexBuffer9> vertices = VertexBuffer(quad), matrices = VertexBuffer(worlds);
    const ComPtr<IDirect3DIndexBuffer9> indices = IndexBuffer({0, 1, 2, 2, 1, 3});
    m_device->SetStreamSource(0, vertices.Get(), 0, sizeof(ColorVertex));
    m_device->SetIndices(indices.Get());
    const auto draw = [&] {
        UINT passes = 0;
        m_effect->Begin(&passes, 0);
        m_effect->BeginPass(0);
        const HRESULT result = m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2);
        m_effect->EndPass();
        m_effect->End();
        return result;
    };
    for (const D3DXMATRIX& world : worlds) {
        m_effect->SetMatrix("mW", &world);
        draw();
    }
    const auto oneByOne = BackBufferPixels();

    EXPECT_EQ(m_effect->SetCopiesMatrix("Unused"), D3DERR_INVALIDCALL) << "not a matrix";
    ASSERT_EQ(m_effect->SetCopiesMatrix("mW"), S_OK);
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    m_device->SetStreamSource(1, matrices.Get(), 0, sizeof(D3DXMATRIX));
    m_device->SetStreamSourceFreq(0, D3DSTREAMSOURCE_INDEXEDDATA | 2);
    m_device->SetStreamSourceFreq(1, D3DSTREAMSOURCE_INSTANCEDATA | 1);
    EXPECT_EQ(draw(), S_OK);
    EXPECT_EQ(BackBufferPixels(), oneByOne);
    ASSERT_EQ(m_effect->SetTechnique("Unplaced"), S_OK);
    EXPECT_EQ(draw(), D3DERR_INVALIDCALL) << "a pass without the matrix cannot place copies";
    m_device->SetStreamSourceFreq(0, 1);
    m_device->SetStreamSourceFreq(1, 1);
    m_device->SetStreamSource(1, nullptr, 0, 0);
    m_device->SetStreamSource(0, nullptr, 0, 0);
    m_device->SetIndices(nullptr);
}

TEST_F(D3DXEffectTest, TextureParametersSampleOnTheirOwnStagesAndStagesAreRestored) {
    ASSERT_EQ(Load(R"(parameter texture Unused;
parameter texture MeshTex;
technique Tech
pass P0
  vertex
layout(location = 0) in vec3 aPosition;
layout(location = 4) in vec2 aTexCoord;
out vec2 vTexCoord;
void main() { gl_Position = vec4(aPosition, 1.0); vTexCoord = aTexCoord; }
  fragment
uniform sampler2D MeshTex;
in vec2 vTexCoord;
out vec4 colour;
void main() { colour = texture(MeshTex, vTexCoord); }
)"),
              S_OK)
        << m_errors;
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(m_device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), S_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), S_OK);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            reinterpret_cast<DWORD*>(static_cast<char*>(locked.pBits) + y * locked.Pitch)[x] = 0xFF1188CC;
    texture->UnlockRect(0);
    ASSERT_EQ(m_effect->SetTexture("MeshTex", texture), S_OK);
    texture->Release(); // the effect holds its own reference

    m_device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
    const TexturedVertex quad[4] = {
        {-1, 1, 0.5f, 0, 0}, {1, 1, 0.5f, 1, 0}, {-1, -1, 0.5f, 0, 1}, {1, -1, 0.5f, 1, 1}};
    m_effect->Begin(nullptr, 0);
    m_effect->BeginPass(0);
    IDirect3DBaseTexture9* bound = nullptr;
    m_device->GetTexture(1, &bound);
    EXPECT_EQ(bound, texture) << "the second texture parameter is on stage 1";
    if (bound)
        bound->Release();
    m_device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TexturedVertex));
    m_effect->EndPass();
    m_effect->End();
    EXPECT_EQ(Rgb(Pixel(BackBufferPixels(), 32, 24)), 0x1188CCu);
    m_device->GetTexture(1, &bound);
    EXPECT_EQ(bound, nullptr) << "End restores the stage";
}

TEST_F(D3DXEffectTest, SecondPassWithAdditiveBlendingDoublesTheColourAndEndRestoresStates) {
    ASSERT_EQ(Load(FlatEffect("pass Base\n  state CULLMODE NONE|pass Add\n  state ALPHABLENDENABLE TRUE\n"
                              "  state D3DRS_SRCBLEND ONE\n  state destblend one")),
              S_OK)
        << m_errors;
    m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    const D3DXVECTOR4 colour = Vector(0xFF203040);
    m_effect->SetVector("Diffuse", &colour);
    DrawAllPasses();
    EXPECT_EQ(Rgb(Pixel(BackBufferPixels(), 32, 24)), 0x406080u);
    DWORD value = 0;
    m_device->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, FALSE);
    m_device->GetRenderState(D3DRS_SRCBLEND, &value);
    EXPECT_EQ(value, D3DBLEND_SRCALPHA);
    m_device->GetRenderState(D3DRS_DESTBLEND, &value);
    EXPECT_EQ(value, D3DBLEND_INVSRCALPHA);
    m_device->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, D3DCULL_CCW);

    m_effect->Begin(nullptr, D3DXFX_DONOTSAVESTATE);
    m_effect->BeginPass(1);
    m_effect->EndPass();
    m_effect->End();
    m_device->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, TRUE) << "nothing saved, nothing restored";
}

TEST_F(D3DXEffectTest, ChangesWithinAPassReachTheProgramOnCommit) {
    ASSERT_EQ(Load(FlatEffect("pass P0")), S_OK) << m_errors;
    m_effect->Begin(nullptr, 0);
    m_effect->BeginPass(0);
    const D3DXVECTOR4 blue = Vector(0xFF0000FF);
    m_effect->SetVector("Diffuse", &blue);
    DrawQuad(-1, 0);
    EXPECT_EQ(m_effect->CommitChanges(), S_OK);
    DrawQuad(0, 1);
    m_effect->EndPass();
    m_effect->End();
    const auto pixels = BackBufferPixels();
    EXPECT_EQ(Rgb(Pixel(pixels, 5, 20)), 0xFF0000u) << "not committed yet";
    EXPECT_EQ(Rgb(Pixel(pixels, kWidth - 5, 20)), 0x0000FFu);
}

TEST_F(D3DXEffectTest, CallsOutOfOrderAndUnknownNamesAreRefused) {
    ASSERT_EQ(Load(FlatEffect("pass P0")), S_OK) << m_errors;
    EXPECT_EQ(m_effect->BeginPass(0), D3DERR_INVALIDCALL) << "before Begin";
    EXPECT_EQ(m_effect->CommitChanges(), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_effect->End(), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_effect->SetTechnique("Missing"), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_effect->SetTechnique(nullptr), D3DERR_INVALIDCALL);
    EXPECT_STREQ(m_effect->GetCurrentTechnique(), "Tech");
    UINT passes = 0;
    ASSERT_EQ(m_effect->Begin(&passes, 0), S_OK);
    EXPECT_EQ(passes, 1u);
    EXPECT_EQ(m_effect->Begin(&passes, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_effect->BeginPass(1), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_effect->EndPass(), D3DERR_INVALIDCALL);
    ASSERT_EQ(m_effect->BeginPass(0), S_OK);
    EXPECT_EQ(m_effect->BeginPass(0), D3DERR_INVALIDCALL) << "a pass is already active";
    // Released mid-pass: the device must not keep drawing with the effect's deleted program.
    m_effect->Release();
    m_effect = nullptr;
    EXPECT_EQ(m_device->OverrideProgram(), 0u);
    DrawQuad(-1, 1, 0xFF0000FF);
    EXPECT_EQ(Rgb(Pixel(BackBufferPixels(), 32, 24)), 0x0000FFu);
}

TEST_F(D3DXEffectTest, UndeclaredOrMisfittingValuesChangeNothing) {
    ASSERT_EQ(Load(FlatEffect("pass P0")), S_OK) << m_errors;
    const D3DXVECTOR4 v(0, 1, 0, 1);
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    const float five[5] = {0, 0, 1, 1, 1};
    EXPECT_EQ(m_effect->SetVector("Missing", &v), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_effect->SetFloat(nullptr, 1.0f), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_effect->SetVector("Diffuse", nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_effect->SetMatrix("Diffuse", &m), D3DERR_INVALIDCALL) << "not a matrix";
    EXPECT_EQ(m_effect->SetFloatArray("Diffuse", five, 5), D3DERR_INVALIDCALL) << "more than it holds";
    EXPECT_EQ(m_effect->SetValue("Diffuse", five, 5 * sizeof(float)), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_effect->SetValue("Diffuse", five, 3), D3DERR_INVALIDCALL) << "not whole values";
    EXPECT_EQ(m_effect->SetString("Diffuse", "text"), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_effect->SetTexture("Diffuse", nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_effect->GetParameterByName(nullptr, "Missing"), nullptr);
    EXPECT_STREQ(m_effect->GetParameterByName(nullptr, "Diffuse"), "Diffuse");
    DrawAllPasses();
    EXPECT_EQ(Rgb(Pixel(BackBufferPixels(), 32, 24)), 0xFF0000u);

    EXPECT_EQ(m_effect->SetValue("Diffuse", five, 2 * sizeof(float)), S_OK) << "a leading part may be set";
    DrawAllPasses();
    EXPECT_EQ(Rgb(Pixel(BackBufferPixels(), 32, 24)), 0x000000u);
}

TEST_F(D3DXEffectTest, CompileErrorsNameTheFilePassStageAndLine) {
    std::string text = FlatEffect("pass P0|pass Broken");
    text += "technique Other\n";
    const auto broken = text.rfind("void main() { colour = Diffuse; }");
    text.replace(broken, 33, "void main() { colour = Diffuse }");
    const int line = static_cast<int>(std::count(text.begin(), text.begin() + broken, '\n')) + 1;
    text.replace(text.find("technique Other\n"), 16, "");
    EXPECT_EQ(Load(text), E_FAIL);
    EXPECT_EQ(m_effect, nullptr);
    EXPECT_NE(m_errors.find(m_path), std::string::npos) << m_errors;
    EXPECT_NE(m_errors.find("pass Broken"), std::string::npos) << m_errors;
    EXPECT_NE(m_errors.find("fragment stage"), std::string::npos) << m_errors;
    EXPECT_NE(m_errors.find(":" + std::to_string(line) + "("), std::string::npos)
        << "line " << line << ": " << m_errors;
}

TEST_F(D3DXEffectTest, OwnVersionLinesAreKeptAndLinesStillCountFromTheFile) {
    std::string text = FlatEffect("pass P0");
    text.replace(text.find("uniform vec4 Diffuse;"), 0, "#version 330 core\n");
    text += "oops\n";
    EXPECT_EQ(Load(text), E_FAIL);
    const int line = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    EXPECT_NE(m_errors.find(":" + std::to_string(line) + "("), std::string::npos)
        << "line " << line << ": " << m_errors;
}

TEST_F(D3DXEffectTest, UnreadableFilesAndBadArgumentsFailCleanly) {
    ID3DXBuffer* errors = nullptr;
    EXPECT_EQ(D3DXCreateEffectFromFileA(m_device, m_dir.File("none.fx").c_str(), nullptr, nullptr, 0, nullptr,
                                        &m_effect, &errors),
              E_FAIL);
    EXPECT_EQ(m_effect, nullptr);
    ASSERT_NE(errors, nullptr);
    EXPECT_NE(std::string(static_cast<const char*>(errors->GetBufferPointer())).find("none.fx"),
              std::string::npos);
    errors->Release();
    EXPECT_EQ(D3DXCreateEffectFromFileA(m_device, m_dir.Path().c_str(), nullptr, nullptr, 0, nullptr,
                                        &m_effect, nullptr),
              E_FAIL)
        << "a folder";
    const std::string path = m_dir.Write("ok.fx", FlatEffect("pass P0"));
    EXPECT_EQ(
        D3DXCreateEffectFromFileA(nullptr, path.c_str(), nullptr, nullptr, 0, nullptr, &m_effect, nullptr),
        D3DERR_INVALIDCALL);
    EXPECT_EQ(
        D3DXCreateEffectFromFileA(m_device, path.c_str(), nullptr, nullptr, 0, nullptr, nullptr, nullptr),
        D3DERR_INVALIDCALL);
    EXPECT_EQ(m_effect, nullptr);
}

TEST_F(D3DXEffectTest, MalformedContainersFailWithTheLineAndReason) {
    const std::string pass = std::string("pass P0\n") + kPassThrough + "fragment\nvoid main() {}\n";
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"", "(1): the file declares no technique"},
        {"parameter float4 A;\n", "declares no technique"},
        {"parameter half A;\ntechnique T\n" + pass, "(1): unknown parameter type 'half'"},
        {"parameter float A = x;\ntechnique T\n" + pass, "'x' is not a number"},
        {"parameter float2 A = 1 2 3;\ntechnique T\n" + pass, "too many default values"},
        {"parameter float A;\nparameter int A;\ntechnique T\n" + pass,
         "(2): parameter 'A' is declared twice"},
        {"parameter float4x4 M[0];\ntechnique T\n" + pass, "array size"},
        {"parameter float4x4 M[4;\ntechnique T\n" + pass, "array size"},
        {"parameter texture T[2];\ntechnique T\n" + pass, "cannot be arrays"},
        {"parameter string S = unquoted;\ntechnique T\n" + pass, "quoted"},
        {"parameter 9lives;\ntechnique T\n" + pass, "parameter <type> <name>"},
        {"parameter float 9lives;\ntechnique T\n" + pass, "not a name"},
        {"technique T\nparameter float A;\n", "(2): parameters must come before the first technique"},
        {pass, "(1): a pass must be inside a technique"},
        {"technique T\n", "technique 'T' has no passes"},
        {"technique T\ntechnique U\n" + pass, "(2): technique 'T' has no passes"},
        {"technique T\n" + pass + "technique T\n" + pass, "technique 'T' is declared twice"},
        {"technique T\npass P0\nvertex\nvoid main() {}\n", "needs a vertex and a fragment stage"},
        {"technique T\n" + pass + "vertex\nvoid main() {}\n", "two vertex stages"},
        {"technique T\npass P0\nvertex\nfragment\nvoid main() {}\n", "(3): the vertex stage is empty"},
        {"technique T\npass P0\nstate FOO 1\n", "(3): unknown render state 'FOO'"},
        {"technique T\npass P0\nstate CULLMODE ONE\n", "'ONE' is not a value of CULLMODE"},
        {"technique T\npass P0\nstate ALPHAREF -1\n", "not a value"},
        {"technique T\npass P0\nstate ZENABLE\n", "state <name> <value>"},
        {"technique T\nvertex\n", "a stage must be inside a pass"},
        {"technique T\npass P0\nvertex void main() {}\n", "on the line after"},
        {"garbage here\n", "(1): unexpected 'garbage'"},
        {std::string("technique T\n\0\n", 14), "unexpected"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Load(c.text), D3DXERR_INVALIDDATA) << c.text;
        EXPECT_EQ(m_effect, nullptr);
        EXPECT_NE(m_errors.find(m_path), std::string::npos) << m_errors;
        EXPECT_NE(m_errors.find(c.message), std::string::npos) << c.text << "\ngave: " << m_errors;
        if (m_effect) {
            m_effect->Release();
            m_effect = nullptr;
        }
    }
}

TEST(EffectFile, ReadsParametersStatesAndStageLines) {
    const std::string text = "parameter float4x4 Bones[4];\n"
                             "parameter bool Flag = TRUE;\n"
                             "parameter string Name = \"two words\"\n"
                             "technique Tech\n"
                             "pass P0\n"
                             "  state D3DRS_CULLMODE CCW\n"
                             "  state colorwriteenable 0x7\n"
                             "  state DEPTHBIAS 0.5\n"
                             "  vertex\n"
                             "void main() {}\n"
                             "  fragment\n"
                             "// a GLSL comment\n"
                             "void main() {}\n";
    EffectFile file;
    std::string error;
    ASSERT_TRUE(EffectFile::Parse(text, "x.fx", file, error)) << error;
    ASSERT_EQ(file.Parameters().size(), 3u);
    EXPECT_EQ(file.Parameters()[0].type, EffectType::Float4x4);
    EXPECT_EQ(file.Parameters()[0].elements, 4u);
    EXPECT_EQ(file.Parameters()[1].numbers, std::vector<double>{1.0});
    EXPECT_EQ(file.Parameters()[2].text, "two words");
    const EffectPassDecl& pass = file.Techniques().at(0).passes.at(0);
    const float half = 0.5f;
    DWORD halfBits = 0;
    std::memcpy(&halfBits, &half, sizeof halfBits);
    const std::vector<std::pair<D3DRENDERSTATETYPE, DWORD>> states = {
        {D3DRS_CULLMODE, D3DCULL_CCW}, {D3DRS_COLORWRITEENABLE, 7}, {D3DRS_DEPTHBIAS, halfBits}};
    EXPECT_EQ(pass.states, states);
    EXPECT_EQ(pass.vertex.firstLine, 10);
    EXPECT_EQ(pass.fragment.firstLine, 12);
    EXPECT_EQ(pass.fragment.source, "// a GLSL comment\nvoid main() {}\n");
}

TEST(EffectParameter, ConvertsValuesToItsTypeAndRefusesWhatDoesNotFit) {
    EffectParameterDecl decl;
    decl.name = "Flags";
    decl.type = EffectType::Bool;
    decl.elements = 3;
    decl.numbers = {5};
    EffectParameter flags(decl, -1);
    const float floats[3] = {0.0f, 2.5f, -1.0f};
    EXPECT_TRUE(flags.SetFloats(floats, 3));
    EXPECT_FALSE(flags.SetFloats(floats, 4));
    EXPECT_FALSE(flags.SetString("x"));
    EXPECT_FALSE(flags.SetTexture(nullptr));

    decl.type = EffectType::Float2;
    decl.elements = 1;
    EffectParameter pair(decl, -1);
    const int ints[2] = {3, -4};
    EXPECT_TRUE(pair.SetInts(ints, 2));
    EXPECT_FALSE(pair.SetBytes(ints, 6));
    EXPECT_FALSE(pair.SetBytes(nullptr, 4));
    EXPECT_EQ(pair.ValueCount(), 2u);

    decl.type = EffectType::Texture;
    EffectParameter texture(decl, 2);
    EXPECT_FALSE(texture.SetFloats(floats, 1));
    EXPECT_TRUE(texture.SetTexture(nullptr));
    EXPECT_EQ(texture.TextureUnit(), 2);
}
