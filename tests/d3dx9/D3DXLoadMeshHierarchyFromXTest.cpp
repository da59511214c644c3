#include "HeadlessDevice.h"
#include "SkinnedModels.h"
#include "d3dx9anim.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace {

const std::string kCorpus = FSMITH_SOURCE_DIR "/../shared/testdata/x-corpus/";

// Keeps what the loader hands over and counts what is alive, so that leaks and double frees show.
class CountingAllocator : public ID3DXAllocateHierarchy {
public:
    int frames = 0;
    int containers = 0;
    std::string refuse; // a mesh name whose container is refused

    HRESULT CreateFrame(const char* name, D3DXFRAME** out) override {
        auto* frame = new D3DXFRAME;
        frame->Name = Copy(name);
        D3DXMatrixIdentity(&frame->TransformationMatrix);
        ++frames;
        *out = frame;
        return S_OK;
    }
    HRESULT CreateMeshContainer(const char* name, const D3DXMESHDATA* data, const D3DXMATERIAL* materials,
                                const D3DXEFFECTINSTANCE*, DWORD numMaterials, const DWORD*,
                                ID3DXSkinInfo* skin, D3DXMESHCONTAINER** out) override {
        if (refuse == name)
            return E_FAIL;
        auto* container = new D3DXMESHCONTAINER;
        container->Name = Copy(name);
        container->MeshData = *data;
        data->pMesh->AddRef();
        container->NumMaterials = numMaterials;
        container->pMaterials = new D3DXMATERIAL[numMaterials];
        std::memcpy(container->pMaterials, materials, numMaterials * sizeof(D3DXMATERIAL));
        container->pSkinInfo = skin;
        if (skin != nullptr)
            skin->AddRef();
        ++containers;
        *out = container;
        return S_OK;
    }
    HRESULT DestroyFrame(D3DXFRAME* frame) override {
        delete[] frame->Name;
        delete frame;
        --frames;
        return S_OK;
    }
    HRESULT DestroyMeshContainer(D3DXMESHCONTAINER* container) override {
        container->MeshData.pMesh->Release();
        if (container->pSkinInfo != nullptr)
            container->pSkinInfo->Release();
        delete[] container->pMaterials;
        delete[] container->Name;
        delete container;
        --containers;
        return S_OK;
    }

private:
    static char* Copy(const char* name) {
        char* copy = new char[std::strlen(name) + 1];
        std::strcpy(copy, name);
        return copy;
    }
};

class D3DXHierarchy : public HeadlessDevice {
protected:
    HRESULT Load(const std::string& text) {
        return D3DXLoadMeshHierarchyFromXInMemory(text.data(), static_cast<DWORD>(text.size()),
                                                  D3DXMESH_MANAGED, m_device, &m_alloc, nullptr, &m_root,
                                                  &m_controller);
    }
    HRESULT LoadFile(const std::string& path) {
        return D3DXLoadMeshHierarchyFromXA(path.c_str(), D3DXMESH_MANAGED, m_device, &m_alloc, nullptr,
                                           &m_root, &m_controller);
    }
    void TearDown() override {
        if (m_root != nullptr)
            D3DXFrameDestroy(m_root, &m_alloc);
        if (m_controller != nullptr)
            m_controller->Release();
        EXPECT_EQ(m_alloc.frames, 0);
        EXPECT_EQ(m_alloc.containers, 0);
        HeadlessDevice::TearDown();
    }

    CountingAllocator m_alloc;
    D3DXFRAME* m_root = nullptr;
    ID3DXAnimationController* m_controller = nullptr;
};

std::vector<std::string> SetNames(ID3DXAnimationController* controller) {
    std::vector<std::string> names;
    for (UINT i = 0; i < controller->GetNumAnimationSets(); ++i) {
        ID3DXAnimationSet* set = nullptr;
        controller->GetAnimationSet(i, &set);
        names.push_back(set->GetName());
        set->Release();
    }
    return names;
}

} // namespace

TEST_F(D3DXHierarchy, TopLevelFramesAreTheRootAndItsSiblingsWithTheirMeshesInTheirOwnSpace) {
    ASSERT_EQ(Load(kSkinnedStrip), S_OK);
    ASSERT_NE(m_root, nullptr);
    EXPECT_STREQ(m_root->Name, "Body");
    ASSERT_NE(m_root->pFrameSibling, nullptr);
    EXPECT_STREQ(m_root->pFrameSibling->Name, "Hip");
    EXPECT_STREQ(m_root->pFrameSibling->pFrameFirstChild->Name, "Knee");
    EXPECT_EQ(m_root->pFrameSibling->pFrameFirstChild->TransformationMatrix._41, 1.0f);
    D3DXFRAME* prop = D3DXFrameFind(m_root, "Prop");
    ASSERT_NE(prop, nullptr);

    D3DXMESHCONTAINER* strip = m_root->pMeshContainer;
    ASSERT_NE(strip, nullptr);
    EXPECT_STREQ(strip->Name, "Strip");
    EXPECT_EQ(strip->MeshData.pMesh->GetNumFaces(), 4u);
    EXPECT_EQ(strip->NumMaterials, 1u);
    // The stick keeps its own coordinates; its frame's matrix places it.
    D3DXMESHCONTAINER* stick = prop->pMeshContainer;
    ASSERT_NE(stick, nullptr);
    EXPECT_EQ(stick->pSkinInfo, nullptr);
    EXPECT_EQ(stick->MeshData.pMesh->Position(0), D3DXVECTOR3(0, 0, 0));

    ID3DXSkinInfo* skin = strip->pSkinInfo;
    ASSERT_NE(skin, nullptr);
    ASSERT_EQ(skin->GetNumBones(), 2u);
    EXPECT_STREQ(skin->GetBoneName(0), "Hip");
    EXPECT_STREQ(skin->GetBoneName(1), "Knee");
    EXPECT_EQ(skin->GetBoneName(2), nullptr);
    EXPECT_EQ(skin->GetBoneOffsetMatrix(1)->_41, -1.0f);
    EXPECT_EQ(skin->GetNumVertices(), strip->MeshData.pMesh->GetNumVertices());
    EXPECT_EQ(skin->GetNumBoneInfluences(0), 4u);
}

TEST_F(D3DXHierarchy, TheControllerHoldsTheSetsInFileOrderAndMovesTheNamedFrames) {
    ASSERT_EQ(Load(kSkinnedStrip), S_OK);
    ASSERT_NE(m_controller, nullptr);
    EXPECT_EQ(SetNames(m_controller), (std::vector<std::string>{"Bend", "Stay"}));
    EXPECT_EQ(m_controller->GetMaxNumTracks(), 2u);
    EXPECT_GE(m_controller->GetMaxNumAnimationOutputs(), 4u);
    D3DXTRACK_DESC first, second;
    m_controller->GetTrackDesc(0, &first);
    m_controller->GetTrackDesc(1, &second);
    EXPECT_TRUE(first.Enable);
    EXPECT_FALSE(second.Enable);

    ID3DXAnimationSet* bend = nullptr;
    m_controller->GetTrackAnimationSet(0, &bend);
    ASSERT_NE(bend, nullptr);
    EXPECT_STREQ(bend->GetName(), "Bend");
    EXPECT_DOUBLE_EQ(bend->GetPeriod(), 1.0);
    bend->Release();

    m_controller->AdvanceTime(0.5, nullptr);
    const D3DXFRAME* knee = D3DXFrameFind(m_root, "Knee");
    EXPECT_NEAR(knee->TransformationMatrix._42, 1.0f, 1e-5f);
    m_controller->AdvanceTime(0.75, nullptr); // 1.25 s: a quarter into the second loop
    EXPECT_NEAR(knee->TransformationMatrix._42, 0.5f, 1e-5f);
}

TEST_F(D3DXHierarchy, AFileWithoutAnimationsGivesNoControllerAndOneWithoutMeshesOrFramesFails) {
    const std::string still =
        "xof 0303txt 0032\nFrame Only { Mesh Tri { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; } }\n";
    ASSERT_EQ(Load(still), S_OK);
    EXPECT_EQ(m_controller, nullptr);
    EXPECT_EQ(m_alloc.containers, 1);
    D3DXFrameDestroy(m_root, &m_alloc);
    m_root = nullptr;

    EXPECT_EQ(Load("xof 0303txt 0032\nAnimTicksPerSecond { 30; }\n"), D3DXERR_LOADEDMESHASNODATA);
    EXPECT_EQ(m_root, nullptr);
    EXPECT_EQ(Load("xof 0303txt 0032\nFrame Broken { Mesh { 3; 0;0;0;"), D3DXERR_INVALIDDATA);
    EXPECT_EQ(D3DXLoadMeshHierarchyFromXA(nullptr, 0, m_device, &m_alloc, nullptr, &m_root, nullptr),
              D3DERR_INVALIDCALL);
}

TEST_F(D3DXHierarchy, ARefusedContainerUndoesEverythingTheAllocatorMade) {
    m_alloc.refuse = "Stick";
    EXPECT_EQ(Load(kSkinnedStrip), E_FAIL);
    EXPECT_EQ(m_root, nullptr);
    EXPECT_EQ(m_controller, nullptr);
    EXPECT_EQ(m_alloc.frames, 0);
    EXPECT_EQ(m_alloc.containers, 0);
}

TEST_F(D3DXHierarchy, CorpusSkinnedFilesLoadWithBonesAndAnimationSets) {
    if (!std::filesystem::exists(kCorpus))
        GTEST_SKIP() << "no shared X-file corpus";
    struct Expected {
        const char* file;
        DWORD bones;
        std::vector<std::string> sets;
    };
    for (const Expected& expected :
         {Expected{"Testwuson.X", 37, {"Wuson_Run", "Wuson_Walk", "Wuson_Bind"}},
          Expected{"anim_test.x", 4, {"cylinder_test"}}, Expected{"BCN_Epileptic.X", 24, {"Epileptisch"}}}) {
        ASSERT_EQ(LoadFile(kCorpus + expected.file), S_OK) << expected.file;
        ASSERT_NE(m_root->pMeshContainer, nullptr) << expected.file;
        ASSERT_NE(m_root->pMeshContainer->pSkinInfo, nullptr) << expected.file;
        EXPECT_EQ(m_root->pMeshContainer->pSkinInfo->GetNumBones(), expected.bones) << expected.file;
        ASSERT_NE(m_controller, nullptr) << expected.file;
        EXPECT_EQ(SetNames(m_controller), expected.sets) << expected.file;
        D3DXFrameDestroy(m_root, &m_alloc);
        m_root = nullptr;
        m_controller->Release();
        m_controller = nullptr;
    }
    EXPECT_EQ(LoadFile(kCorpus + "malformed_skinweights_oob.x"), D3DXERR_INVALIDDATA);
    EXPECT_EQ(m_alloc.frames, 0);
}

// The file's bind pose set holds each frame where its own matrix does, once its rotation keys are
// turned the way D3DX turns them.
TEST_F(D3DXHierarchy, RotationKeysOfTheCorpusBindPoseReproduceTheFrameMatrices) {
    if (!std::filesystem::exists(kCorpus))
        GTEST_SKIP() << "no shared X-file corpus";
    ASSERT_EQ(LoadFile(kCorpus + "Testwuson.X"), S_OK);
    ID3DXAnimationSet* bind = nullptr;
    ASSERT_EQ(m_controller->GetAnimationSetByName("Wuson_Bind", &bind), S_OK);
    for (const char* name : {"Tail01", "Neck", "HindLeg_L_02"}) {
        UINT index = 0;
        ASSERT_EQ(bind->GetAnimationIndexByName(name, &index), S_OK) << name;
        D3DXMATRIX posed;
        bind->GetMatrix(0.0, index, &posed);
        const D3DXFRAME* frame = D3DXFrameFind(m_root, name);
        ASSERT_NE(frame, nullptr) << name;
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(posed[i], frame->TransformationMatrix[i], 2e-3f) << name << " element " << i;
    }
    bind->Release();
}

TEST_F(D3DXHierarchy, BlendedMeshCarriesWeightsPerBoneCombinationSlot) {
    ASSERT_EQ(Load(kSkinnedStrip), S_OK);
    D3DXMESHCONTAINER* strip = m_root->pMeshContainer;
    ID3DXMesh* mesh = strip->MeshData.pMesh;
    std::vector<DWORD> adjacency(mesh->GetNumFaces() * 3), faceRemap(mesh->GetNumFaces());
    DWORD influences = 0, count = 0;
    ID3DXBuffer* table = nullptr;
    ID3DXBuffer* vertexRemap = nullptr;
    ID3DXMesh* blended = nullptr;
    ASSERT_EQ(strip->pSkinInfo->ConvertToBlendedMesh(mesh, 0, nullptr, adjacency.data(), faceRemap.data(),
                                                     &vertexRemap, &influences, &count, &table, &blended),
              S_OK);
    EXPECT_EQ(influences, 2u);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(blended->GetFVF() & D3DFVF_POSITION_MASK, D3DFVF_XYZB1);
    const auto* combination = static_cast<const D3DXBONECOMBINATION*>(table->GetBufferPointer());
    EXPECT_EQ(combination->FaceCount, 4u);
    EXPECT_EQ(combination->BoneId[0], 0u); // Hip weighs most on the first face
    EXPECT_EQ(combination->BoneId[1], 1u);
    // Each new vertex: position, then Hip's weight; Knee takes the rest.
    const auto* remap = static_cast<const DWORD*>(vertexRemap->GetBufferPointer());
    void* data = nullptr;
    blended->LockVertexBuffer(0, &data);
    for (DWORD v = 0; v < blended->GetNumVertices(); ++v) {
        const float* vertex = static_cast<const float*>(data) + v * 4;
        const float x = mesh->Position(remap[v]).x;
        EXPECT_EQ(vertex[0], x);
        EXPECT_FLOAT_EQ(vertex[3], x == 0.0f ? 1.0f : x == 1.0f ? 0.5f : 0.0f) << "x " << x;
    }
    blended->UnlockVertexBuffer();
    for (DWORD f = 0; f < blended->GetNumFaces(); ++f)
        for (DWORD k = 0; k < 3; ++k)
            EXPECT_EQ(mesh->Index(faceRemap[f], k), remap[blended->Index(f, k)]);
    table->Release();
    vertexRemap->Release();
    blended->Release();
}

TEST_F(D3DXHierarchy, AFaceMovedByMoreBonesThanTheDeviceBlendsLosesTheWeakestInfluences) {
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(D3DXCreateMeshFVF(1, 3, D3DXMESH_MANAGED, D3DFVF_XYZ, m_device, &mesh), S_OK);
    ID3DXSkinInfo* skin = nullptr;
    ASSERT_EQ(D3DXCreateSkinInfoFVF(3, D3DFVF_XYZ, 6, &skin), S_OK);
    // Vertex v is moved by bones 2v (weight 0.75 - 0.1 v) and 2v + 1 (the rest).
    for (DWORD v = 0; v < 3; ++v) {
        const float strong = 0.75f - 0.1f * static_cast<float>(v);
        const float weak = 1.0f - strong;
        EXPECT_EQ(skin->SetBoneInfluence(2 * v, 1, &v, &strong), S_OK);
        EXPECT_EQ(skin->SetBoneInfluence(2 * v + 1, 1, &v, &weak), S_OK);
    }
    const DWORD outside = 3;
    const float any = 1.0f;
    EXPECT_EQ(skin->SetBoneInfluence(0, 1, &outside, &any), D3DERR_INVALIDCALL);
    DWORD most = 0;
    skin->GetMaxVertexInfluences(&most);
    EXPECT_EQ(most, 2u);
    void* indices = nullptr;
    mesh->LockIndexBuffer(0, &indices);
    const std::uint16_t corners[3] = {0, 1, 2};
    std::memcpy(indices, corners, sizeof(corners));

    DWORD influences = 0, count = 0;
    ID3DXBuffer* table = nullptr;
    ID3DXMesh* blended = nullptr;
    ASSERT_EQ(skin->ConvertToBlendedMesh(mesh, 0, nullptr, nullptr, nullptr, nullptr, &influences, &count,
                                         &table, &blended),
              S_OK);
    EXPECT_EQ(influences, ID3DXSkinInfo::kMaxBlendMatrices);
    EXPECT_EQ(blended->GetFVF() & D3DFVF_POSITION_MASK, D3DFVF_XYZB3);
    const auto* combination = static_cast<const D3DXBONECOMBINATION*>(table->GetBufferPointer());
    EXPECT_EQ(std::vector<DWORD>(combination->BoneId, combination->BoneId + 4),
              (std::vector<DWORD>{0, 2, 4, 5}));
    // Vertex 1 lost bone 3 and leans on bone 2 alone.
    void* data = nullptr;
    blended->LockVertexBuffer(0, &data);
    const float* second = static_cast<const float*>(data) + 6;
    EXPECT_FLOAT_EQ(second[3], 0.0f);
    EXPECT_FLOAT_EQ(second[4], 1.0f);
    blended->UnlockVertexBuffer();

    ID3DXMesh* other = nullptr;
    ASSERT_EQ(D3DXCreateMeshFVF(1, 4, D3DXMESH_MANAGED, D3DFVF_XYZ, m_device, &other), S_OK);
    ID3DXMesh* refused = nullptr;
    ID3DXBuffer* noTable = nullptr;
    EXPECT_EQ(skin->ConvertToBlendedMesh(other, 0, nullptr, nullptr, nullptr, nullptr, &influences, &count,
                                         &noTable, &refused),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(refused, nullptr);
    other->Release();
    // A corner beyond the vertices is refused rather than read past the weights.
    const std::uint16_t wild[3] = {0, 1, 7};
    std::memcpy(indices, wild, sizeof(wild));
    EXPECT_EQ(skin->ConvertToBlendedMesh(mesh, 0, nullptr, nullptr, nullptr, nullptr, &influences, &count,
                                         &noTable, &refused),
              D3DERR_INVALIDCALL);
    table->Release();
    blended->Release();
    skin->Release();
    mesh->Release();
}
