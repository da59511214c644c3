#include "D3DZCAllocateHierarchy.h"

#include <cstring>
#include <vector>

namespace {

char* CopyName(const char* name) {
    const std::size_t length = name != nullptr ? std::strlen(name) : 0;
    char* copy = new char[length + 1];
    if (length > 0)
        std::memcpy(copy, name, length);
    copy[length] = '\0';
    return copy;
}

char* CopyOptionalName(const char* name) {
    return name != nullptr ? CopyName(name) : nullptr;
}

void CopyEffect(const D3DXEFFECTINSTANCE& source, D3DXEFFECTINSTANCE* copy) {
    *copy = {CopyOptionalName(source.pEffectFilename), 0, nullptr};
    if (source.NumDefaults == 0 || source.pDefaults == nullptr)
        return;
    copy->NumDefaults = source.NumDefaults;
    copy->pDefaults = new D3DXEFFECTDEFAULT[source.NumDefaults];
    for (DWORD i = 0; i < source.NumDefaults; ++i) {
        const D3DXEFFECTDEFAULT& given = source.pDefaults[i];
        auto* value = new unsigned char[given.NumBytes > 0 ? given.NumBytes : 1];
        if (given.NumBytes > 0 && given.pValue != nullptr)
            std::memcpy(value, given.pValue, given.NumBytes);
        copy->pDefaults[i] = {CopyOptionalName(given.pParamName), given.Type, given.NumBytes, value};
    }
}

void FreeEffects(D3DXEFFECTINSTANCE* effects, DWORD count) {
    if (effects == nullptr)
        return;
    for (DWORD e = 0; e < count; ++e) {
        D3DXEFFECTINSTANCE& effect = effects[e];
        for (DWORD i = 0; i < effect.NumDefaults; ++i) {
            delete[] effect.pDefaults[i].pParamName;
            delete[] static_cast<unsigned char*>(effect.pDefaults[i].pValue);
        }
        delete[] effect.pDefaults;
        delete[] effect.pEffectFilename;
    }
    delete[] effects;
}

} // namespace

D3DZANIMEFRAME::D3DZANIMEFRAME() {
    D3DXMatrixIdentity(&TransformationMatrix);
    D3DXMatrixIdentity(&m_mBoneOffset);
}

HRESULT D3DZCAllocateHierarchy::CreateFrame(const char* name, D3DXFRAME** newFrame) {
    if (newFrame == nullptr)
        return D3DERR_INVALIDCALL;
    auto* frame = new D3DZANIMEFRAME;
    frame->Name = CopyName(name);
    *newFrame = frame;
    return S_OK;
}

HRESULT D3DZCAllocateHierarchy::CreateMeshContainer(const char* name, const D3DXMESHDATA* meshData,
                                                    const D3DXMATERIAL* materials,
                                                    const D3DXEFFECTINSTANCE* effectInstances,
                                                    DWORD numMaterials, const DWORD* adjacency,
                                                    ID3DXSkinInfo* skinInfo,
                                                    D3DXMESHCONTAINER** newMeshContainer) {
    if (newMeshContainer == nullptr)
        return D3DERR_INVALIDCALL;
    *newMeshContainer = nullptr;
    if (meshData == nullptr || meshData->Type != D3DXMESHTYPE_MESH || meshData->pMesh == nullptr ||
        (numMaterials > 0 && materials == nullptr))
        return D3DERR_INVALIDCALL;
    ID3DXMesh* source = meshData->pMesh;
    auto* container = new D3DZMESHCONTAINER;
    container->Name = CopyName(name);
    const DWORD adjacencyCount = 3 * source->GetNumFaces();
    container->pAdjacency = new DWORD[adjacencyCount]();
    container->MeshData.Type = meshData->Type;
    if (skinInfo != nullptr) {
        const HRESULT converted =
            skinInfo->ConvertToBlendedMesh(source, 0, adjacency, container->pAdjacency, nullptr, nullptr,
                                           &container->m_dwMaxFaceInfl, &container->m_dwNumBoneCombinations,
                                           &container->m_pBoneCombinationBuf, &container->MeshData.pMesh);
        if (FAILED(converted)) {
            DestroyMeshContainer(container);
            return converted;
        }
        skinInfo->AddRef();
        container->pSkinInfo = skinInfo;
    } else {
        source->AddRef();
        container->MeshData.pMesh = source;
        if (adjacency != nullptr)
            std::memcpy(container->pAdjacency, adjacency, adjacencyCount * sizeof(DWORD));
    }
    // Texture names are copied too: the loader's buffer they point into is gone after this call.
    container->NumMaterials = numMaterials;
    container->pMaterials = new D3DXMATERIAL[numMaterials > 0 ? numMaterials : 1]();
    for (DWORD i = 0; i < numMaterials; ++i)
        container->pMaterials[i] = {materials[i].MatD3D, CopyOptionalName(materials[i].pTextureFilename)};
    // One effect instance per material, as the loader hands them over.
    if (effectInstances != nullptr && numMaterials > 0) {
        container->pEffects = new D3DXEFFECTINSTANCE[numMaterials]();
        for (DWORD i = 0; i < numMaterials; ++i)
            CopyEffect(effectInstances[i], &container->pEffects[i]);
    }
    *newMeshContainer = container;
    return S_OK;
}

// Every frame's children go first and each frame after the siblings that follow it, as a recursion
// over child and sibling would do; the sibling list is walked in a loop, because a file may hold more
// frames side by side than the stack has room for calls.
HRESULT D3DZCAllocateHierarchy::DestroyFrame(D3DXFRAME* frame) {
    std::vector<D3DXFRAME*> siblings;
    for (; frame != nullptr; frame = frame->pFrameSibling)
        siblings.push_back(frame);
    for (D3DXFRAME* sibling : siblings)
        DestroyFrame(sibling->pFrameFirstChild);
    for (auto it = siblings.rbegin(); it != siblings.rend(); ++it) {
        D3DXMESHCONTAINER* container = (*it)->pMeshContainer;
        while (container != nullptr) {
            D3DXMESHCONTAINER* next = container->pNextMeshContainer;
            DestroyMeshContainer(container);
            container = next;
        }
        delete[](*it)->Name;
        delete static_cast<D3DZANIMEFRAME*>(*it);
    }
    return S_OK;
}

HRESULT D3DZCAllocateHierarchy::DestroyMeshContainer(D3DXMESHCONTAINER* meshContainer) {
    if (meshContainer == nullptr)
        return S_OK;
    auto* container = static_cast<D3DZMESHCONTAINER*>(meshContainer);
    if (container->MeshData.pMesh != nullptr)
        container->MeshData.pMesh->Release();
    delete[] container->Name;
    delete[] container->pAdjacency;
    FreeEffects(container->pEffects, container->NumMaterials);
    for (DWORD i = 0; container->pMaterials != nullptr && i < container->NumMaterials; ++i)
        delete[] container->pMaterials[i].pTextureFilename;
    delete[] container->pMaterials;
    if (container->pSkinInfo != nullptr)
        container->pSkinInfo->Release();
    if (container->m_pBoneCombinationBuf != nullptr)
        container->m_pBoneCombinationBuf->Release();
    delete[] container->m_pTextures;
    delete container;
    return S_OK;
}
