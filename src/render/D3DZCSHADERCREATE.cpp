#include "D3DZCSHADERCREATE.h"

#include "D3DZCDIRECT3D.h"

void D3DZCSHADERCREATE::SetContents(D3DZCMATRIX* world, D3DZCVECTOR3* camPos, D3DZCVECTOR3* lightDir) {
    D3DZCDIRECT3D& direct3d = D3DZCDIRECT3D::GetInstance();
    D3DZCMATRIX view;
    D3DZCMATRIX proj;
    if (direct3d.GetDevice() != nullptr) {
        direct3d.GetView(&view);
        direct3d.GetProj(&proj);
    }
    ShaderSetMatrix("mW", world);
    ShaderSetMatrix("mV", &view);
    ShaderSetMatrix("mP", &proj);
    ShaderSetFloat3("CamPos", camPos);
    ShaderSetFloat3("LightDir", lightDir);
}

void D3DZCSHADERCREATE::SetShadowMapData(D3DXMATRIX* lightViewProj, D3DZCTEXTURE* shadowMap) {
    ShaderSetMatrix("mLVP", lightViewProj);
    ShaderSetTexture("ShadowTex", shadowMap);
}

void D3DZCSHADERCREATE::DrawMesh(D3DZCXFILE* mesh) {
    DrawMesh(nullptr, mesh);
}

void D3DZCSHADERCREATE::DrawMesh(D3DLIGHT9* light, D3DZCXFILE* mesh) {
    if (m_pEffect == nullptr || mesh == nullptr || mesh->GetMesh() == nullptr)
        return;
    const D3DLIGHT9 lightRecord = light != nullptr ? *light : D3DZCDIRECT3D::GetInstance().GetLight(0);
    DrawMaterials(lightRecord, *mesh, light == nullptr);
}

void D3DZCSHADERCREATE::DrawMaterials(const D3DLIGHT9& light, D3DZCXFILE& mesh, bool withEmissive) {
    ShaderSetTechnique("Tech");
    UINT passes = 0;
    ShaderBegin(&passes, 0);
    for (UINT pass = 0; pass < passes; ++pass) {
        ShaderBeginPass(pass);
        for (DWORD i = 0; i < mesh.GetMaterialCnt(); ++i) {
            SetMaterialParameters(mesh.GetMaterials()[i], light, withEmissive);
            const D3DZCTEXTURE& texture = mesh.GetTextures()[i];
            ShaderSetTexture("MeshTex", texture.GetTex() != nullptr ? &texture : &m_WhiteTex);
            ShaderCommitChanges();
            mesh.GetMesh()->DrawSubset(i);
        }
        ShaderEndPass();
    }
    ShaderEnd();
}
