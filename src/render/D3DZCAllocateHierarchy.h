// The library's frame and mesh-container records and the allocator that the hierarchy loader calls
// back to make and free them. Skinned meshes are converted for the device's vertex blending as they
// arrive; a mesh without skin information is kept as it is, as a plain mesh container.
#pragma once

#include "D3DZCTEXTURE.h"
#include "d3dx9anim.h"

// A frame with the bone it stands for, if any.
struct D3DZANIMEFRAME : public D3DXFRAME {
    static constexpr DWORD kNoBone = 0xFFFFFFFF;

    DWORD m_dwBoneId = kNoBone;
    D3DXMATRIX m_mBoneOffset; // identity for a frame that is no bone

    D3DZANIMEFRAME();
};

// A mesh container with its blended mesh's bone combinations. Without skin information it holds the
// mesh as loaded, a maximum face influence of 1 and no combinations.
struct D3DZMESHCONTAINER : public D3DXMESHCONTAINER {
    DWORD m_dwMaxFaceInfl = 1;
    DWORD m_dwNumBoneCombinations = 0;
    ID3DXBuffer* m_pBoneCombinationBuf = nullptr;
    D3DZCTEXTURE* m_pTextures = nullptr; // one per material, made and freed by the skinned mesh

    D3DXBONECOMBINATION* BoneCombinations() const {
        return m_pBoneCombinationBuf != nullptr
                   ? static_cast<D3DXBONECOMBINATION*>(m_pBoneCombinationBuf->GetBufferPointer())
                   : nullptr;
    }
};

class D3DZCAllocateHierarchy : public ID3DXAllocateHierarchy {
public:
    // The name is copied (empty for none); identity transformation, no links.
    HRESULT CreateFrame(const char* name, D3DXFRAME** newFrame) override;
    // Copies the name, materials (with their texture names), effect instances and adjacency, and
    // keeps a reference to the skin information. Only plain meshes are taken.
    HRESULT CreateMeshContainer(const char* name, const D3DXMESHDATA* meshData, const D3DXMATERIAL* materials,
                                const D3DXEFFECTINSTANCE* effectInstances, DWORD numMaterials,
                                const DWORD* adjacency, ID3DXSkinInfo* skinInfo,
                                D3DXMESHCONTAINER** newMeshContainer) override;
    // The frame's first child, then its sibling, then its chain of mesh containers, then the frame.
    HRESULT DestroyFrame(D3DXFRAME* frame) override;
    // This container alone, not those chained after it.
    HRESULT DestroyMeshContainer(D3DXMESHCONTAINER* meshContainer) override;

    virtual ~D3DZCAllocateHierarchy() = default;
};
