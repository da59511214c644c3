#include "D3DZCXSkinMesh.h"
#include "D3DZCAllocateHierarchy.h"
#include "D3DZCDIRECT3D.h"
#include "IHighLevelAnimController.h"
#include "MessageBoxRecorder.h"
#include "SkinnedModels.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>

namespace {

// A controller over one output with `count` sets, set i sliding the output along x over i + 1 seconds,
// set 0 on track 0 as a file's controller has it.
struct SlidingSets {
    D3DXMATRIX bone;
    ID3DXAnimationController* controller = nullptr;

    explicit SlidingSets(UINT count) {
        D3DXMatrixIdentity(&bone);
        D3DXCreateAnimationController(1, count, 2, 0, &controller);
        controller->RegisterAnimationOutput("Bone", &bone, nullptr, nullptr, nullptr);
        for (UINT i = 0; i < count; ++i) {
            ID3DXAnimationSet* set = nullptr;
            D3DXCreateKeyframedAnimationSet(("Set" + std::to_string(i)).c_str(), 1.0, D3DXPLAY_LOOP, &set);
            const D3DXKEY_VECTOR3 keys[2] = {{0.0f, D3DXVECTOR3(0, 0, 0)},
                                             {static_cast<float>(i + 1), D3DXVECTOR3(10, 0, 0)}};
            set->RegisterAnimationSRTKeys("Bone", 0, nullptr, 0, nullptr, 2, keys, nullptr);
            controller->RegisterAnimationSet(set);
            if (i == 0) {
                controller->SetTrackAnimationSet(0, set);
                controller->SetTrackEnable(0, TRUE);
            }
            set->Release();
        }
    }
    ~SlidingSets() { controller->Release(); }
};

D3DXTRACK_DESC Track(const IHighLevelAnimController& animation, UINT track) {
    D3DXTRACK_DESC desc;
    animation.GetController()->GetTrackDesc(track, &desc);
    return desc;
}

} // namespace

TEST(HighLevelAnimation, ACrossFadeSharesTheTracksByElapsedTimeAndEndsByDisablingTheOldOne) {
    SlidingSets sets(2);
    IHighLevelAnimController animation;
    ASSERT_TRUE(animation.GetAnimationController(sets.controller));
    ASSERT_EQ(animation.GetNumAnimations(), 2u);
    ASSERT_TRUE(animation.SetShiftTime(1, 0.5f));
    ASSERT_TRUE(animation.ChangeAnimation(1));
    EXPECT_EQ(animation.GetPreviousAnimation(), 0u);
    EXPECT_TRUE(Track(animation, 1).Enable);

    animation.AdvanceTime(0.25f);
    EXPECT_FLOAT_EQ(Track(animation, 0).Weight, 0.5f);
    EXPECT_FLOAT_EQ(Track(animation, 1).Weight, 0.5f);
    animation.AdvanceTime(0.25f);
    EXPECT_FLOAT_EQ(Track(animation, 0).Weight, 1.0f);
    EXPECT_FLOAT_EQ(Track(animation, 1).Weight, 0.0f);
    EXPECT_TRUE(Track(animation, 1).Enable);
    animation.AdvanceTime(0.25f);
    EXPECT_FALSE(Track(animation, 1).Enable);
}

TEST(HighLevelAnimation, TheOldAnimationGoesOnFromWhereItWasOnTrackOne) {
    SlidingSets sets(2);
    IHighLevelAnimController animation;
    animation.GetAnimationController(sets.controller);
    animation.SetShiftTime(1, 1.0f);
    animation.SetLoopAnime(1, 2.0f); // speed 1
    animation.AdvanceTime(0.5f);
    ASSERT_TRUE(animation.ChangeAnimation(1));
    ID3DXAnimationSet* old = nullptr;
    animation.GetController()->GetTrackAnimationSet(1, &old);
    ASSERT_NE(old, nullptr);
    EXPECT_STREQ(old->GetName(), "Set0");
    old->Release();
    EXPECT_DOUBLE_EQ(Track(animation, 1).Position, 0.5);
    // The clone writes to the source's outputs: half of set 0, looped back to its start, and half of
    // set 1 at 1 s, which started from the position track 0 had.
    animation.AdvanceTime(0.5f);
    EXPECT_NEAR(sets.bone._41, 0.5f * 0.0f + 0.5f * 5.0f, 1e-3f);
}

TEST(HighLevelAnimation, ZeroDefaultsGiveTheChosenAnimationFullWeightAtOnce) {
    SlidingSets sets(2);
    IHighLevelAnimController animation;
    animation.GetAnimationController(sets.controller);
    ASSERT_TRUE(animation.ChangeAnimation(1));
    animation.AdvanceTime(0.0f); // no fade: 0 / 0 must not become the weights
    EXPECT_FLOAT_EQ(Track(animation, 0).Weight, 1.0f);
    EXPECT_FALSE(Track(animation, 1).Enable);
    EXPECT_FALSE(std::isnan(sets.bone._41));
}

TEST(HighLevelAnimation, LoopLengthsSetTheTrackSpeedAndBadRequestsAreRefused) {
    SlidingSets sets(3);
    IHighLevelAnimController animation;
    animation.GetAnimationController(sets.controller);
    ASSERT_TRUE(animation.SetLoopAnime(0, 2.0f)); // period 1 s
    EXPECT_FLOAT_EQ(animation.GetAnimationDesc(0)->fSpeed, 0.5f);
    EXPECT_FLOAT_EQ(animation.GetAnimationDesc(0)->fLoopLength, 2.0f);
    ASSERT_TRUE(animation.SetLoopAnime(2, 1.5f)); // period 3 s
    EXPECT_FLOAT_EQ(animation.GetAnimationDesc(2)->fSpeed, 2.0f);
    ASSERT_TRUE(animation.ChangeAnimation(2));
    EXPECT_FLOAT_EQ(Track(animation, 0).Speed, 2.0f);

    EXPECT_FALSE(animation.SetLoopAnime(3, 1.0f));
    EXPECT_FALSE(animation.SetLoopAnime(1, 0.0f));
    EXPECT_FALSE(animation.SetLoopAnime(1, -1.0f));
    EXPECT_FALSE(animation.SetShiftTime(3, 1.0f));
    EXPECT_FALSE(animation.SetShiftTime(1, NAN));
    EXPECT_FLOAT_EQ(animation.GetAnimationDesc(1)->fSpeed, 0.0f);

    EXPECT_FALSE(animation.ChangeAnimation(2)); // already current
    EXPECT_FALSE(animation.ChangeAnimation(3));
    EXPECT_EQ(animation.GetCurrentAnimation(), 2u);
    EXPECT_EQ(animation.GetPreviousAnimation(), 0u);

    IHighLevelAnimController empty;
    EXPECT_FALSE(empty.GetAnimationController(nullptr));
    EXPECT_FALSE(empty.ChangeAnimation(0));
    EXPECT_FALSE(empty.AdvanceTime(0.1f));
}

TEST(SkinAllocator, AFileWithHundredsOfThousandsOfFramesSideBySideIsFreedWithoutRunningOutOfStack) {
    D3DZCAllocateHierarchy alloc;
    D3DXFRAME* root = nullptr;
    ASSERT_EQ(alloc.CreateFrame("root", &root), S_OK);
    D3DXFRAME* last = nullptr;
    for (int i = 0; i < 400000; ++i) {
        D3DXFRAME* frame = nullptr;
        ASSERT_EQ(alloc.CreateFrame("side", &frame), S_OK);
        (last == nullptr ? root->pFrameFirstChild : last->pFrameSibling) = frame;
        last = frame;
    }
    EXPECT_EQ(alloc.DestroyFrame(root), S_OK);
    EXPECT_EQ(alloc.DestroyFrame(nullptr), S_OK);
}

TEST(SkinAllocator, AMeshWithoutSkinInformationIsKeptAsAPlainContainer) {
    ASSERT_NE(D3DZCDIRECT3D::GetInstance().Init(nullptr, 0, 32, 32), nullptr);
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(D3DXCreateMeshFVF(1, 3, D3DXMESH_MANAGED, D3DFVF_XYZ, D3DZCDIRECT3D::GetInstance().GetDevice(),
                                &mesh),
              S_OK);
    char texture[] = "wood.png";
    const D3DXMATERIAL material{D3DMATERIAL9{}, texture};
    const DWORD adjacency[3] = {D3DX_ADJACENCY_NONE, D3DX_ADJACENCY_NONE, D3DX_ADJACENCY_NONE};
    D3DXMESHDATA data;
    data.pMesh = mesh;
    D3DZCAllocateHierarchy alloc;
    D3DXMESHCONTAINER* made = nullptr;
    ASSERT_EQ(alloc.CreateMeshContainer("Plain", &data, &material, nullptr, 1, adjacency, nullptr, &made),
              S_OK);
    auto* container = static_cast<D3DZMESHCONTAINER*>(made);
    EXPECT_EQ(container->MeshData.pMesh, mesh);
    EXPECT_EQ(container->pSkinInfo, nullptr);
    EXPECT_EQ(container->m_dwMaxFaceInfl, 1u);
    EXPECT_EQ(container->m_dwNumBoneCombinations, 0u);
    EXPECT_EQ(container->BoneCombinations(), nullptr);
    EXPECT_EQ(container->pAdjacency[0], D3DX_ADJACENCY_NONE);
    // The name outlives the loader's buffer.
    ASSERT_NE(container->pMaterials[0].pTextureFilename, texture);
    EXPECT_STREQ(container->pMaterials[0].pTextureFilename, "wood.png");

    data.Type = D3DXMESHTYPE_PMESH;
    D3DXMESHCONTAINER* refused = nullptr;
    EXPECT_EQ(
        alloc.CreateMeshContainer("Progressive", &data, &material, nullptr, 1, adjacency, nullptr, &refused),
        D3DERR_INVALIDCALL);
    EXPECT_EQ(refused, nullptr);
    alloc.DestroyMeshContainer(made);
    mesh->Release();
    D3DZCDIRECT3D::GetInstance().Release();
}

class SkinnedMesh : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(D3DZCDIRECT3D::GetInstance().Init(nullptr, 0, kSide, kSide), nullptr);
        // x from -1 to 3 and y from -1 to 3 across the picture, looking along +z.
        D3DXMATRIX view, projection;
        const D3DXVECTOR3 eye(1, 1, -10), at(1, 1, 0), up(0, 1, 0);
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        D3DXMatrixOrthoLH(&projection, 4, 4, 1, 20);
        D3DZCDIRECT3D::GetInstance().SetView(&view);
        D3DZCDIRECT3D::GetInstance().SetProj(&projection);
    }
    void TearDown() override {
        m_mesh.Release();
        D3DZCDIRECT3D::GetInstance().Release();
    }

    std::vector<DWORD> DrawPicture() {
        D3DZCDIRECT3D& d3d = D3DZCDIRECT3D::GetInstance();
        d3d.Begin();
        D3DXMATRIX world;
        D3DXMatrixIdentity(&world);
        m_mesh.Draw(&world);
        d3d.GetDevice()->EndScene();
        IDirect3DSurface9* back = nullptr;
        d3d.GetDevice()->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
        D3DLOCKED_RECT locked;
        std::vector<DWORD> pixels;
        back->LockRect(&locked, nullptr, D3DLOCK_READONLY);
        for (UINT y = 0; y < kSide; ++y) {
            const auto* row =
                reinterpret_cast<const DWORD*>(static_cast<const char*>(locked.pBits) + y * locked.Pitch);
            pixels.insert(pixels.end(), row, row + kSide);
        }
        back->UnlockRect();
        back->Release();
        return pixels;
    }

    // Whether the picture is lit where the point (x, y) of the model's space lands.
    static bool Lit(const std::vector<DWORD>& pixels, float x, float y) {
        const auto column = static_cast<UINT>((x + 1.0f) / 4.0f * kSide);
        const auto row = static_cast<UINT>((3.0f - y) / 4.0f * kSide);
        return (pixels.at(row * kSide + column) & 0xFFFFFF) != 0;
    }

    static constexpr UINT kSide = 32;
    TempDir m_dir;
    MessageBoxRecorder m_messages;
    D3DZCXSkinMesh m_mesh;
};

TEST_F(SkinnedMesh, LoadsTheFirstContainerWithItsBonesFramesAndAnimations) {
    ASSERT_TRUE(m_mesh.Load(m_dir.Write("strip.x", kSkinnedStrip).c_str(), nullptr));
    D3DZMESHCONTAINER* container = m_mesh.GetContainer();
    ASSERT_NE(container, nullptr);
    EXPECT_STREQ(container->Name, "Strip");
    EXPECT_EQ(container->m_dwMaxFaceInfl, 2u);
    EXPECT_EQ(container->m_dwNumBoneCombinations, 1u);
    EXPECT_EQ(m_mesh.GetNumMaterial(), 2u); // the whole file: the strip's and the stick's
    const auto* knee = static_cast<const D3DZANIMEFRAME*>(D3DXFrameFind(m_mesh.GetFrameRoot(), "Knee"));
    EXPECT_EQ(knee->m_dwBoneId, 1u);
    EXPECT_EQ(knee->m_mBoneOffset._41, -1.0f);
    const auto* body = static_cast<const D3DZANIMEFRAME*>(m_mesh.GetFrameRoot());
    EXPECT_EQ(body->m_dwBoneId, D3DZANIMEFRAME::kNoBone);
    EXPECT_TRUE(D3DXMatrixIsIdentity(&body->m_mBoneOffset));
    ASSERT_NE(m_mesh.GetHighLevelController(), nullptr);
    EXPECT_EQ(m_mesh.GetHighLevelController()->GetNumAnimations(), 2u);
    EXPECT_EQ(m_mesh.GetHighLevelController()->GetCurrentAnimation(), 1u);

    EXPECT_FALSE(m_mesh.SetAnimation(2, 0.0f, 1.0f));
    EXPECT_FALSE(m_mesh.SetAnimation(0, 0.0f, 0.0f));
}

TEST_F(SkinnedMesh, BonesBendTheSkinAsTheAnimationPlays) {
    ASSERT_TRUE(m_mesh.Load(m_dir.Write("strip.x", kSkinnedStrip).c_str(), nullptr));
    const std::vector<DWORD> rest = DrawPicture();
    EXPECT_TRUE(Lit(rest, 1.9f, 0.5f));
    EXPECT_FALSE(Lit(rest, 1.9f, 1.8f));

    ASSERT_TRUE(m_mesh.SetAnimation(0, 0.0f, 1.0f));
    ASSERT_TRUE(m_mesh.ChangeAnimation(0));
    ASSERT_TRUE(
        m_mesh.AdvanceTime(0.5f)); // the knee a metre up: the far end rises by one, the middle by half
    const std::vector<DWORD> bent = DrawPicture();
    EXPECT_TRUE(Lit(bent, 1.9f, 1.8f));
    EXPECT_FALSE(Lit(bent, 1.9f, 0.5f));
    EXPECT_TRUE(Lit(bent, 0.2f, 0.5f)); // the hip end stays
    EXPECT_EQ(DrawPicture(), bent);
}

TEST_F(SkinnedMesh, AnUnskinnedContainerIsDrawnWhereItsAnimatedFrameIs) {
    const std::string model =
        "xof 0303txt 0032\n"
        "Frame Mover { Mesh Square { 4; 0;0;0;, 0;1;0;, 1;1;0;, 1;0;0;; 1; 4;0,1,2,3;; } }\n"
        "AnimTicksPerSecond { 1; }\n"
        "AnimationSet Slide { Animation { { Mover } AnimationKey { 2; 2; 0;3;0,0,0;;, "
        "2;3;2,0,0;;; } } }\n";
    ASSERT_TRUE(m_mesh.Load(m_dir.Write("square.x", model).c_str(), nullptr));
    ASSERT_EQ(m_mesh.GetContainer()->pSkinInfo, nullptr);
    m_mesh.AdvanceTime(0.0f);
    const std::vector<DWORD> start = DrawPicture();
    EXPECT_TRUE(Lit(start, 0.5f, 0.5f));
    m_mesh.AdvanceTime(1.0f);
    const std::vector<DWORD> moved = DrawPicture();
    EXPECT_FALSE(Lit(moved, 0.5f, 0.5f));
    EXPECT_TRUE(Lit(moved, 1.5f, 0.5f));
}

TEST_F(SkinnedMesh, FilesWithoutAnimationOrMeshAreRefusedAndDrawNothing) {
    const std::string still =
        "xof 0303txt 0032\nFrame Still { Mesh Tri { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;; } }\n";
    EXPECT_FALSE(m_mesh.Load(m_dir.Write("still.x", still).c_str(), nullptr));
    EXPECT_FALSE(m_mesh.Load(m_dir.File("none.x").c_str(), nullptr));
    EXPECT_FALSE(m_mesh.Load(nullptr, nullptr));
    EXPECT_FALSE(m_mesh.ChangeAnimation(0));
    EXPECT_FALSE(m_mesh.AdvanceTime(0.1f));
    const std::vector<DWORD> picture = DrawPicture();
    EXPECT_FALSE(Lit(picture, 0.2f, 0.2f));
}

TEST_F(SkinnedMesh, CorpusCharacterLoadsWithItsSetsAndPosesDifferentlyAtTwoTimes) {
    const std::string file = FSMITH_SOURCE_DIR "/../shared/testdata/x-corpus/Testwuson.X";
    if (!std::filesystem::exists(file))
        GTEST_SKIP() << "no shared X-file corpus";
    ASSERT_TRUE(m_mesh.Load(file.c_str(), nullptr));
    EXPECT_EQ(m_mesh.GetHighLevelController()->GetNumAnimations(), 3u);
    EXPECT_EQ(m_mesh.GetContainer()->pSkinInfo->GetNumBones(), 37u);
    EXPECT_LE(m_mesh.GetContainer()->m_dwMaxFaceInfl, ID3DXSkinInfo::kMaxBlendMatrices);
    const D3DXFRAME* tail = D3DXFrameFind(m_mesh.GetFrameRoot(), "Tail03");
    ASSERT_NE(tail, nullptr);
    m_mesh.SetAnimation(0, 0.0f, 1.0f);
    m_mesh.ChangeAnimation(0);
    m_mesh.AdvanceTime(0.1f);
    const D3DXMATRIX early = tail->TransformationMatrix;
    m_mesh.AdvanceTime(0.3f);
    EXPECT_NE(tail->TransformationMatrix, early);
}

// The first container sits in the root's second child, below a chain of first children that holds
// none; a second, skinned container in another top-level frame takes its bone from the first branch.
TEST_F(SkinnedMesh, EveryContainerIsFoundPosedAndLitLikeAStaticModel) {
    const std::string model = R"(xof 0303txt 0032
Frame Root {
  Frame A { Frame A1 { FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 2,0,0,1;; } } }
  Frame B {
    Mesh Left { 4; 0;0;0;, 0;1;0;, 1;1;0;, 1;0;0;; 1; 4;0,1,2,3;;
      MeshMaterialList { 1; 1; 0;; Material { 1;0;0;1;; 0; 0;0;0;; 1;1;1;; } } }
  }
}
Frame C {
  Mesh Right { 4; 0;1.5;0;, 0;2.5;0;, 1;2.5;0;, 1;1.5;0;; 1; 4;0,1,2,3;;
    MeshMaterialList { 1; 1; 0;; Material { 0;1;0;1;; 0; 0;0;0;; 1;1;1;; } }
    XSkinMeshHeader { 1; 1; 1; }
    SkinWeights { "A1"; 4; 0,1,2,3; 1,1,1,1; 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }
  }
}
AnimTicksPerSecond { 1; }
AnimationSet Still { Animation { { B } AnimationKey { 2; 1; 0;3;0,0,0;;; } } }
)";
    ASSERT_TRUE(m_mesh.Load(m_dir.Write("two.x", model).c_str(), nullptr));
    ASSERT_NE(m_mesh.GetContainer(), nullptr);
    EXPECT_STREQ(m_mesh.GetContainer()->Name, "Left");
    const D3DMATERIAL9& material = m_mesh.GetContainer()->pMaterials[0].MatD3D;
    EXPECT_EQ(std::memcmp(&material.Ambient, &material.Diffuse, sizeof material.Ambient), 0);
    const std::vector<DWORD> picture = DrawPicture();
    EXPECT_TRUE(Lit(picture, 0.5f, 0.5f));  // Left, where its frame is
    EXPECT_TRUE(Lit(picture, 2.5f, 2.0f));  // Right, moved by its bone A1
    EXPECT_FALSE(Lit(picture, 0.5f, 2.0f)); // not where its own frame is
}
