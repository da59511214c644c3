#include "D3DZCXSkinMesh.h"

#include "D3DZCDIRECT3D.h"
#include "D3DZCXFILE.h"

#include <string>

namespace {

// First children down from the root, and a frame's siblings where it has no container.
D3DXFRAME* FindContainerFrame(D3DXFRAME* frame) {
    while (frame != nullptr && frame->pMeshContainer == nullptr)
        frame = frame->pFrameFirstChild != nullptr ? frame->pFrameFirstChild : frame->pFrameSibling;
    return frame;
}

void AssignBones(D3DXFRAME* frame, const std::map<std::string, DWORD>& bones, ID3DXSkinInfo& skin) {
    for (; frame != nullptr; frame = frame->pFrameSibling) {
        const auto found = bones.find(frame->Name != nullptr ? frame->Name : "");
        if (found != bones.end()) {
            auto* animated = static_cast<D3DZANIMEFRAME*>(frame);
            animated->m_dwBoneId = found->second;
            animated->m_mBoneOffset = *skin.GetBoneOffsetMatrix(found->second);
        }
        AssignBones(frame->pFrameFirstChild, bones, skin);
    }
}

} // namespace

D3DZCXSkinMesh::~D3DZCXSkinMesh() {
    Release();
}

bool D3DZCXSkinMesh::Load(const char* xFileName, const char* texFileName) {
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    if (xFileName == nullptr || device == nullptr)
        return false;
    Release();
    const std::string folder = D3DZCXFILE::TextureFolder(xFileName);
    if (FAILED(D3DXLoadMeshHierarchyFromXA(xFileName, D3DXMESH_MANAGED, device, &m_Alloc, nullptr,
                                           &m_pFrameRoot, &m_pAnimController)) ||
        m_pAnimController == nullptr)
        return false;
    m_pContainerFrame = FindContainerFrame(m_pFrameRoot);
    if (m_pContainerFrame == nullptr)
        return false;
    m_pContainer = static_cast<D3DZMESHCONTAINER*>(m_pContainerFrame->pMeshContainer);
    m_pBoneCombination = m_pContainer->BoneCombinations();

    if (ID3DXSkinInfo* skin = m_pContainer->pSkinInfo) {
        std::map<std::string, DWORD> bones;
        for (DWORD bone = 0; bone < skin->GetNumBones(); ++bone)
            if (const char* name = skin->GetBoneName(bone))
                bones.emplace(name, bone);
        AssignBones(m_pFrameRoot, bones, *skin);
    }

    auto controller = std::make_unique<IHighLevelAnimController>();
    if (!controller->GetAnimationController(m_pAnimController))
        return false;
    m_pHLAnimCont = std::move(controller);
    m_Texture.LoadTexture(texFileName);

    const UINT sets =
        std::min<UINT>(m_pAnimController->GetMaxNumAnimationSets(), m_pHLAnimCont->GetNumAnimations());
    for (UINT i = 0; i < sets; ++i) {
        D3DZXSKINMESH_DESC& entry = m_pHLAnimCont->GetAnimTable()[i];
        ID3DXAnimationSet* set = nullptr;
        if (FAILED(m_pAnimController->GetAnimationSet(i, &set)))
            return false;
        entry.pSet = set;
        set->Release(); // the controllers keep it
        entry.dwAnimIndex = i;
        m_pHLAnimCont->SetCurrentAnimation(i);
        m_pAnimController->SetTrackAnimationSet(i, set);
        D3DXTRACK_DESC desc;
        if (SUCCEEDED(m_pAnimController->GetTrackDesc(i, &desc)))
            m_pAnimController->SetTrackDesc(0, &desc);
    }

    ID3DXBuffer* materials = nullptr;
    if (SUCCEEDED(D3DXLoadMeshFromXA(xFileName, D3DXMESH_MANAGED, device, nullptr, &materials, nullptr,
                                     &m_dwNumMaterials, &m_pMesh)) &&
        materials != nullptr)
        materials->Release();
    LoadContainerTextures(folder);
    return true;
}

// The container's own materials name its textures: the file's material count covers every mesh of
// the file, the container only its own.
void D3DZCXSkinMesh::LoadContainerTextures(const std::string& folder) {
    const DWORD count = m_pContainer->NumMaterials;
    m_pContainer->m_pTextures = new D3DZCTEXTURE[count > 0 ? count : 1];
    for (DWORD i = 0; i < count; ++i) {
        const char* name = m_pContainer->pMaterials[i].pTextureFilename;
        if (name != nullptr && name[0] != '\0')
            m_pContainer->m_pTextures[i].LoadTexture(D3DZCXFILE::TexturePath(folder, name).c_str());
    }
}

void D3DZCXSkinMesh::BuildSkinningMatrices(D3DXFRAME* frame, const D3DXMATRIX& parent) {
    for (; frame != nullptr; frame = frame->pFrameSibling) {
        D3DXMATRIX combined;
        D3DXMatrixMultiply(&combined, &frame->TransformationMatrix, &parent);
        if (frame == m_pContainerFrame)
            m_mContainerCombined = combined;
        const auto* animated = static_cast<const D3DZANIMEFRAME*>(frame);
        if (animated->m_dwBoneId != D3DZANIMEFRAME::kNoBone)
            D3DXMatrixMultiply(&m_CombMatrixMap[animated->m_dwBoneId], &animated->m_mBoneOffset, &combined);
        BuildSkinningMatrices(frame->pFrameFirstChild, combined);
    }
}

void D3DZCXSkinMesh::Draw(D3DXMATRIX* world) {
    if (world != nullptr)
        DrawWith(*world, nullptr);
}

void D3DZCXSkinMesh::Draw(D3DXMATRIX* world, float alpha) {
    if (world != nullptr)
        DrawWith(*world, &alpha);
}

void D3DZCXSkinMesh::DrawWith(const D3DXMATRIX& world, const float* alpha) {
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    if (device == nullptr || m_pContainer == nullptr || m_pContainer->MeshData.pMesh == nullptr)
        return;
    // The world matrix sits above every top-level frame; the root keeps its own (animated) matrix.
    m_mContainerCombined = world;
    BuildSkinningMatrices(m_pFrameRoot, world);

    ID3DXMesh* mesh = m_pContainer->MeshData.pMesh;
    const auto setMaterial = [&](DWORD attribute) {
        if (attribute >= m_pContainer->NumMaterials)
            return;
        D3DMATERIAL9 material = m_pContainer->pMaterials[attribute].MatD3D;
        if (alpha != nullptr)
            material.Diffuse.a = *alpha;
        device->SetMaterial(&material);
        // A material without a texture of its own shows the caller's texture, not the one before it.
        IDirect3DTexture9* own =
            m_pContainer->m_pTextures ? m_pContainer->m_pTextures[attribute].GetTex() : nullptr;
        device->SetTexture(0, own != nullptr ? own : m_Texture.GetTex());
    };

    if (m_pBoneCombination == nullptr) {
        device->SetRenderState(D3DRS_VERTEXBLEND, D3DVBF_DISABLE);
        device->SetTransform(D3DTS_WORLD, &m_mContainerCombined);
        for (DWORD i = 0; i < m_pContainer->NumMaterials; ++i) {
            setMaterial(i);
            mesh->DrawSubset(i);
        }
        return;
    }
    for (DWORD i = 0; i < m_pContainer->m_dwNumBoneCombinations; ++i) {
        const D3DXBONECOMBINATION& combination = m_pBoneCombination[i];
        DWORD used = 0;
        for (DWORD k = 0; k < m_pContainer->m_dwMaxFaceInfl; ++k) {
            const DWORD bone = combination.BoneId[k];
            if (bone == D3DZANIMEFRAME::kNoBone)
                continue;
            // A bone the hierarchy has no frame for stays where the mesh's own frame puts it.
            const auto found = m_CombMatrixMap.find(bone);
            device->SetTransform(D3DTS_WORLDMATRIX(k),
                                 found != m_CombMatrixMap.end() ? &found->second : &m_mContainerCombined);
            ++used;
        }
        if (used == 0) {
            device->SetTransform(D3DTS_WORLDMATRIX(0), &m_mContainerCombined);
            used = 1;
        }
        setMaterial(combination.AttribId);
        device->SetRenderState(D3DRS_VERTEXBLEND, used - 1);
        mesh->DrawSubset(i);
    }
    // Later fixed-function draws of unweighted meshes expect plain world transforms.
    device->SetRenderState(D3DRS_VERTEXBLEND, D3DVBF_DISABLE);
}

bool D3DZCXSkinMesh::SetAnimation(UINT animID, float interval, float loopTime) {
    if (m_pHLAnimCont == nullptr || animID >= m_pHLAnimCont->GetNumAnimations() || !(loopTime > 0.0f) ||
        !(interval >= 0.0f))
        return false;
    return m_pHLAnimCont->SetShiftTime(animID, interval) && m_pHLAnimCont->SetLoopAnime(animID, loopTime);
}

bool D3DZCXSkinMesh::ChangeAnimation(UINT animID) {
    return m_pHLAnimCont != nullptr && m_pHLAnimCont->ChangeAnimation(animID);
}

bool D3DZCXSkinMesh::AdvanceTime(float seconds) {
    return m_pHLAnimCont != nullptr && m_pHLAnimCont->AdvanceTime(seconds);
}

void D3DZCXSkinMesh::Release() {
    if (m_pContainer != nullptr) {
        delete[] m_pContainer->m_pTextures;
        m_pContainer->m_pTextures = nullptr;
    }
    if (m_pFrameRoot != nullptr)
        m_Alloc.DestroyFrame(m_pFrameRoot);
    m_pFrameRoot = nullptr;
    m_pContainer = nullptr;
    m_pContainerFrame = nullptr;
    m_pBoneCombination = nullptr;
    m_CombMatrixMap.clear();
    m_pHLAnimCont.reset();
    if (m_pAnimController != nullptr) {
        m_pAnimController->Release();
        m_pAnimController = nullptr;
    }
    if (m_pMesh != nullptr) {
        m_pMesh->Release();
        m_pMesh = nullptr;
    }
    m_dwNumMaterials = 0;
    m_Texture.Release();
}
