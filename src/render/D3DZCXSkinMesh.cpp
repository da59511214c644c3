#include "D3DZCXSkinMesh.h"

#include "D3DZCDIRECT3D.h"
#include "D3DZCXFILE.h"

#include <string>

namespace {

// The first frame of each name, depth first, as D3DXFrameFind finds it.
void IndexFrames(const D3DXFRAME* frame, std::map<std::string, const D3DXFRAME*>& frames) {
    for (; frame != nullptr; frame = frame->pFrameSibling) {
        frames.emplace(frame->Name != nullptr ? frame->Name : "", frame);
        IndexFrames(frame->pFrameFirstChild, frames);
    }
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
    FramesByName frames;
    IndexFrames(m_pFrameRoot, frames);
    CollectContainers(m_pFrameRoot, frames);
    if (m_containers.empty())
        return false;
    m_pContainer = m_containers.front().container;
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
    for (const PosedContainer& posed : m_containers)
        PrepareContainer(*posed.container, folder);
    return true;
}

// Depth first, so that the first container is the one every file posed before this search drew.
void D3DZCXSkinMesh::CollectContainers(D3DXFRAME* frame, const FramesByName& frames) {
    for (; frame != nullptr; frame = frame->pFrameSibling) {
        for (D3DXMESHCONTAINER* c = frame->pMeshContainer; c != nullptr; c = c->pNextMeshContainer) {
            PosedContainer& posed = m_containers.emplace_back();
            posed.container = static_cast<D3DZMESHCONTAINER*>(c);
            posed.frame = frame;
            for (DWORD bone = 0; c->pSkinInfo != nullptr && bone < c->pSkinInfo->GetNumBones(); ++bone) {
                const char* name = c->pSkinInfo->GetBoneName(bone);
                const auto found = frames.find(name != nullptr ? name : "");
                posed.boneFrames.push_back(found != frames.end() ? found->second : nullptr);
            }
        }
        CollectContainers(frame->pFrameFirstChild, frames);
    }
}

// The container's own materials name its textures: the file's material count covers every mesh of
// the file, the container only its own. Lit like a static model, whose ambient is its diffuse colour.
void D3DZCXSkinMesh::PrepareContainer(D3DZMESHCONTAINER& container, const std::string& folder) {
    const DWORD count = container.NumMaterials;
    container.m_pTextures = new D3DZCTEXTURE[count > 0 ? count : 1];
    for (DWORD i = 0; i < count; ++i) {
        D3DXMATERIAL& material = container.pMaterials[i];
        material.MatD3D.Ambient = material.MatD3D.Diffuse;
        const char* name = material.pTextureFilename;
        if (name != nullptr && name[0] != '\0')
            container.m_pTextures[i].LoadTexture(D3DZCXFILE::TexturePath(folder, name).c_str());
    }
}

void D3DZCXSkinMesh::BuildSkinningMatrices(D3DXFRAME* frame, const D3DXMATRIX& parent) {
    for (; frame != nullptr; frame = frame->pFrameSibling) {
        D3DXMATRIX combined;
        D3DXMatrixMultiply(&combined, &frame->TransformationMatrix, &parent);
        m_frameCombined[frame] = combined;
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
    if (device == nullptr || m_containers.empty())
        return;
    // The world matrix sits above every top-level frame; the root keeps its own (animated) matrix.
    m_frameCombined.clear();
    BuildSkinningMatrices(m_pFrameRoot, world);
    for (const PosedContainer& posed : m_containers)
        DrawContainer(posed, alpha);
    // Later fixed-function draws of unweighted meshes expect plain world transforms.
    device->SetRenderState(D3DRS_VERTEXBLEND, D3DVBF_DISABLE);
}

void D3DZCXSkinMesh::DrawContainer(const PosedContainer& posed, const float* alpha) {
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    const D3DZMESHCONTAINER& container = *posed.container;
    ID3DXMesh* mesh = container.MeshData.pMesh;
    if (mesh == nullptr)
        return;
    // Where an unskinned container, or a bone without a frame, is drawn.
    const D3DXMATRIX& frameCombined = m_frameCombined[posed.frame];
    const auto setMaterial = [&](DWORD attribute) {
        if (attribute >= container.NumMaterials)
            return;
        D3DMATERIAL9 material = container.pMaterials[attribute].MatD3D;
        if (alpha != nullptr)
            material.Diffuse.a = *alpha;
        device->SetMaterial(&material);
        // A material without a texture of its own shows the caller's texture, not the one before it.
        IDirect3DTexture9* own = container.m_pTextures ? container.m_pTextures[attribute].GetTex() : nullptr;
        device->SetTexture(0, own != nullptr ? own : m_Texture.GetTex());
    };

    const D3DXBONECOMBINATION* combinations = container.BoneCombinations();
    if (combinations == nullptr) {
        device->SetRenderState(D3DRS_VERTEXBLEND, D3DVBF_DISABLE);
        device->SetTransform(D3DTS_WORLD, &frameCombined);
        for (DWORD i = 0; i < container.NumMaterials; ++i) {
            setMaterial(i);
            mesh->DrawSubset(i);
        }
        return;
    }
    D3DXMATRIX skinning;
    for (DWORD i = 0; i < container.m_dwNumBoneCombinations; ++i) {
        const D3DXBONECOMBINATION& combination = combinations[i];
        DWORD used = 0;
        for (DWORD k = 0; k < container.m_dwMaxFaceInfl; ++k) {
            const DWORD bone = combination.BoneId[k];
            if (bone == D3DZANIMEFRAME::kNoBone)
                continue;
            // A bone the hierarchy has no frame for stays where the mesh's own frame puts it.
            const D3DXFRAME* frame = bone < posed.boneFrames.size() ? posed.boneFrames[bone] : nullptr;
            if (frame != nullptr) {
                D3DXMatrixMultiply(&skinning, container.pSkinInfo->GetBoneOffsetMatrix(bone),
                                   &m_frameCombined[frame]);
                device->SetTransform(D3DTS_WORLDMATRIX(k), &skinning);
            } else {
                device->SetTransform(D3DTS_WORLDMATRIX(k), &frameCombined);
            }
            ++used;
        }
        if (used == 0) {
            device->SetTransform(D3DTS_WORLDMATRIX(0), &frameCombined);
            used = 1;
        }
        setMaterial(combination.AttribId);
        device->SetRenderState(D3DRS_VERTEXBLEND, used - 1);
        mesh->DrawSubset(i);
    }
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
    for (const PosedContainer& posed : m_containers) {
        delete[] posed.container->m_pTextures;
        posed.container->m_pTextures = nullptr;
    }
    m_containers.clear();
    m_frameCombined.clear();
    if (m_pFrameRoot != nullptr)
        m_Alloc.DestroyFrame(m_pFrameRoot);
    m_pFrameRoot = nullptr;
    m_pContainer = nullptr;
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
