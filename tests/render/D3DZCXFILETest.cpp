#include "D3DZCXFILE.h"
#include "D3DXZORVXFILE.h"
#include "D3DZCDIRECT3D.h"
#include "D3DZCSURFACE.h"
#include "D3DZDMXFILE.h"
#include "MessageBoxRecorder.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <filesystem>

namespace {

// A quad of two triangles with two materials: the first textured, the second plain red with an
// ambient colour different from its diffuse colour.
std::string QuadModel(const std::string& textureName) {
    return "xof 0302txt 0032\n"
           "Mesh quad {\n"
           " 4; -1;1;0;, 1;1;0;, 1;-1;0;, -1;-1;0;;\n"
           " 2; 3;0,1,2;, 3;0,2,3;;\n"
           " MeshMaterialList { 2; 2; 0, 1;;\n"
           "  Material { 1.0;1.0;1.0;1.0;; 5.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;;\n"
           "   TextureFilename { \"" +
           textureName +
           "\"; } }\n"
           "  Material { 1.0;0.0;0.0;0.25;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; } }\n"
           " MeshTextureCoords { 4; 0.0;0.0;, 1.0;0.0;, 1.0;1.0;, 0.0;1.0;; }\n"
           "}\n";
}

class LibraryResources : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(D3DZCDIRECT3D::GetInstance().Init(nullptr, 0, 32, 32), nullptr); }
    void TearDown() override {
        D3DZDMXFILE::GetInstance().AllClear();
        D3DZCDIRECT3D::GetInstance().Release();
    }

    std::string WriteModel(const std::string& folder, const std::string& textureName, int cornerAlpha = 255) {
        std::filesystem::create_directories(m_dir.Path() / folder);
        QImage texture(2, 2, QImage::Format_ARGB32);
        texture.fill(QColor(0, 255, 0));
        texture.setPixelColor(1, 1, QColor(0, 255, 0, cornerAlpha));
        texture.save(QString::fromStdString(m_dir.File(folder + "/wood.png")));
        return m_dir.Write(folder + "/box.x", QuadModel(textureName));
    }

    TempDir m_dir;
    MessageBoxRecorder m_messages;
};

} // namespace

TEST_F(LibraryResources, TexturesAreFoundBesideTheModelAlsoWhenNamedWithAWindowsPath) {
    for (const std::string name : {"wood.png", "C:\\\\art\\\\textures\\\\wood.png"}) {
        D3DZCXFILE model;
        ASSERT_TRUE(model.LoadXFile(WriteModel("Data/XFILE", name).c_str())) << D3DXGetLastXFileError();
        ASSERT_EQ(model.GetMaterialCnt(), 2u);
        EXPECT_NE(model.GetTextures()[0].GetTex(), nullptr) << name;
        EXPECT_EQ(model.GetTextures()[0].GetFileName(), m_dir.File("Data/XFILE/wood.png"));
        EXPECT_EQ(model.GetTextures()[1].GetTex(), nullptr) << "a material without a texture name gets none";
    }
    EXPECT_EQ(D3DZCXFILE::TextureFolder("Data/XFILE/UI_BOX.x"), "Data/XFILE/");
    EXPECT_EQ(D3DZCXFILE::TextureFolder("UI_BOX.x"), "");
    EXPECT_EQ(D3DZCXFILE::TextureFolder("C:\\models\\a.x"), "/models/");
}

TEST_F(LibraryResources, MaterialsTakeTheirDiffuseAsAmbientAndDrawingKeepsThemUnchanged) {
    D3DZCXFILE model;
    ASSERT_TRUE(model.LoadXFile(WriteModel("m", "wood.png").c_str()));
    const D3DMATERIAL9& red = model.GetMaterials()[1];
    EXPECT_EQ(red.Ambient, red.Diffuse);
    EXPECT_FLOAT_EQ(red.Diffuse.a, 0.25f);
    model.Draw(0.5f);
    EXPECT_FLOAT_EQ(model.GetMaterials()[1].Diffuse.a, 0.25f);
    D3DMATERIAL9 last;
    D3DZCDIRECT3D::GetInstance().GetDevice()->GetMaterial(&last);
    EXPECT_FLOAT_EQ(last.Diffuse.a, 0.5f) << "the device drew with the given alpha";
    EXPECT_FLOAT_EQ(last.Diffuse.r, 1.0f);
}

TEST_F(LibraryResources, OnlyModelsWithoutATranslucentTexelDrawOpaque) {
    // Drawn with alpha 1, the second material's own alpha of 0.25 does not count; a texel does.
    for (const int alpha : {255, 254}) {
        D3DZCXFILE model;
        ASSERT_TRUE(model.LoadXFile(WriteModel("t" + std::to_string(alpha), "wood.png", alpha).c_str()));
        EXPECT_EQ(model.DrawsOpaque(), alpha == 255) << alpha;
    }
}

TEST_F(LibraryResources, TheCacheLoadsEachNameOnceAndKeepsFailuresEmpty) {
    auto& cache = D3DZDMXFILE::GetInstance();
    const std::string path = WriteModel("c", "wood.png");
    D3DZCXFILE* first = cache.Load(path);
    ASSERT_NE(first->GetMesh(), nullptr);
    std::filesystem::remove(path);
    EXPECT_EQ(cache.Load(path), first) << "the second request does not read the file";
    EXPECT_EQ(cache.GetXFile("./" + path), nullptr) << "names are compared as written";

    D3DZCXFILE* missing = cache.Load(m_dir.File("missing.x"));
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->GetMesh(), nullptr);
    EXPECT_EQ(missing->GetMaterialCnt(), 0u);
    missing->Draw(1.0f);
    EXPECT_EQ(cache.Load(m_dir.File("missing.x")), missing);

    EXPECT_FALSE(cache.ReleaseXFile("never-loaded.x"));
    EXPECT_TRUE(cache.ReleaseXFile(path));
    EXPECT_EQ(cache.GetXFile(path), nullptr);
}

TEST_F(LibraryResources, TexturesFillCreateAndRelease) {
    D3DZCTEXTURE texture;
    EXPECT_FALSE(texture.LoadTexture(nullptr));
    EXPECT_EQ(texture.GetTex(), nullptr);
    ASSERT_TRUE(texture.CreateTexture(1, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED));
    ASSERT_TRUE(texture.Fill<unsigned int>(0xFFFFFFFFu, 0));
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture.GetTex()->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), S_OK);
    EXPECT_EQ(*static_cast<DWORD*>(locked.pBits), 0xFFFFFFFFu);
    texture.GetTex()->UnlockRect(0);
    EXPECT_EQ(texture.GetRect().right, 1);

    ASSERT_TRUE(texture.CreateRenderTarget(16, 8, D3DFMT_R32F));
    EXPECT_EQ(texture.GetInfo().Width, 16u);
    EXPECT_EQ(texture.GetInfo().Format, D3DFMT_R32F);
    EXPECT_EQ(texture.SetRenderTarget(0), S_OK);
    texture.Release();
    EXPECT_EQ(texture.GetTex(), nullptr);
    EXPECT_EQ(texture.GetInfo().Width, 0u);

    D3DZCSURFACE depth;
    ASSERT_TRUE(depth.CreateDepthStencil(16, 8, D3DFMT_D24S8));
    EXPECT_EQ(depth.GetDesc().Format, D3DFMT_D24S8);
    depth.SetDepthStencil();
    depth.Release();
    EXPECT_EQ(depth.GetSurface(), nullptr);
}

TEST_F(LibraryResources, PlainMeshRecordsLoadCloneEditAndRelease) {
    D3DXZORVXFILE record;
    D3DZLoadMesh(&record, m_dir.File("missing.x").c_str());
    EXPECT_EQ(record.pMesh, nullptr);
    EXPECT_EQ(record.pMaterials, nullptr);

    D3DZLoadMesh(&record, WriteModel("r", "wood.png").c_str());
    ASSERT_NE(record.pMesh, nullptr);
    ASSERT_EQ(record.dwNumMaterials, 2u);
    EXPECT_NE(record.ppTextures[0], nullptr);
    EXPECT_EQ(record.ppTextures[1], nullptr);
    D3DZMakeCloneMesh(&record);
    EXPECT_EQ(record.pMesh->GetFVF(), 274u);
    _D3DXZORVCLONEVERTEX_* vertices = nullptr;
    D3DZLockVertexBuffer(0, &record, vertices);
    ASSERT_NE(vertices, nullptr);
    vertices[0].pos.x = -2.0f;
    D3DZUnLockVertexBuffer(&record);
    D3DZLockVertexBuffer(D3DLOCK_READONLY, &record, vertices);
    EXPECT_EQ(vertices[0].pos.x, -2.0f);
    D3DZUnLockVertexBuffer(&record);
    D3DMATERIAL9 white;
    white.Diffuse = D3DXCOLOR(1, 1, 1, 1);
    D3DZDrawMesh(&record, &white);
    D3DZReleaseMesh(&record);
    EXPECT_EQ(record.pMesh, nullptr);
    EXPECT_EQ(record.ppTextures, nullptr);
    D3DZReleaseMesh(&record);
}
