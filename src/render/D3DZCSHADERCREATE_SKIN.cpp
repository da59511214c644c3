#include "D3DZCSHADERCREATE_SKIN.h"

#include "D3DZCDIRECT3D.h"

void D3DZCSHADERCREATE_SKIN::DrawMesh(D3DZCXSkinMesh* mesh) {
    DrawMesh(nullptr, mesh);
}

void D3DZCSHADERCREATE_SKIN::DrawMesh(D3DLIGHT9* light, D3DZCXSkinMesh* mesh) {
    D3DZMESHCONTAINER* container = mesh != nullptr ? mesh->GetContainer() : nullptr;
    if (m_pEffect == nullptr || container == nullptr || container->MeshData.pMesh == nullptr)
        return;
    const D3DLIGHT9 lightRecord = light != nullptr ? *light : D3DZCDIRECT3D::GetInstance().GetLight(0);
    // A blended mesh's subsets are its bone combinations, each with the material its AttribId names; a
    // plain container's subsets are its materials.
    const D3DXBONECOMBINATION* combinations = container->BoneCombinations();
    const DWORD subsets =
        combinations != nullptr ? container->m_dwNumBoneCombinations : container->NumMaterials;
    ShaderSetTechnique("Tech");
    UINT passes = 0;
    ShaderBegin(&passes, 0);
    for (UINT pass = 0; pass < passes; ++pass) {
        ShaderBeginPass(pass);
        for (DWORD i = 0; i < subsets; ++i) {
            const DWORD attribute = combinations != nullptr ? combinations[i].AttribId : i;
            if (attribute >= container->NumMaterials)
                continue;
            SetMaterialParameters(container->pMaterials[attribute].MatD3D, lightRecord, true);
            const D3DZCTEXTURE* texture =
                container->m_pTextures != nullptr ? &container->m_pTextures[attribute] : nullptr;
            ShaderSetTexture("MeshTex",
                             texture != nullptr && texture->GetTex() != nullptr ? texture : &m_WhiteTex);
            ShaderCommitChanges();
            container->MeshData.pMesh->DrawSubset(i);
        }
        ShaderEndPass();
    }
    ShaderEnd();
}
