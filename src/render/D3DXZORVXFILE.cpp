#include "D3DXZORVXFILE.h"

#include "D3DZCDIRECT3D.h"
#include "D3DZCXFILE.h"
#include "d3dx9tex.h"

namespace {

void DrawSubsets(D3DXZORVXFILE* xfile, const D3DMATERIAL9* sharedMaterial, float alpha) {
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    if (device == nullptr || xfile == nullptr || xfile->pMesh == nullptr)
        return;
    for (DWORD i = 0; i < xfile->dwNumMaterials; ++i) {
        D3DMATERIAL9 material = sharedMaterial ? *sharedMaterial : xfile->pMaterials[i];
        if (!sharedMaterial)
            material.Diffuse.a = alpha;
        device->SetMaterial(&material);
        device->SetTexture(0, xfile->ppTextures[i]);
        xfile->pMesh->DrawSubset(i);
    }
}

} // namespace

void D3DZLoadMesh(D3DXZORVXFILE* xfile, const char* fileName) {
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    if (xfile == nullptr || fileName == nullptr || device == nullptr)
        return;
    ID3DXBuffer* materials = nullptr;
    ID3DXMesh* mesh = nullptr;
    DWORD count = 0;
    if (FAILED(D3DXLoadMeshFromXA(fileName, D3DXMESH_MANAGED, device, nullptr, &materials, nullptr, &count,
                                  &mesh)))
        return;
    D3DZReleaseMesh(xfile);
    const std::string folder = D3DZCXFILE::TextureFolder(fileName);
    xfile->pMesh = mesh;
    xfile->dwNumMaterials = count;
    xfile->pMaterials = new D3DMATERIAL9[count];
    xfile->ppTextures = new IDirect3DTexture9*[count]();
    const auto* records =
        materials ? static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer()) : nullptr;
    for (DWORD i = 0; records && i < count; ++i) {
        xfile->pMaterials[i] = records[i].MatD3D;
        xfile->pMaterials[i].Ambient = xfile->pMaterials[i].Diffuse;
        if (records[i].pTextureFilename && records[i].pTextureFilename[0] != '\0' &&
            FAILED(D3DXCreateTextureFromFileA(
                device, D3DZCXFILE::TexturePath(folder, records[i].pTextureFilename).c_str(),
                &xfile->ppTextures[i])))
            xfile->ppTextures[i] = nullptr;
    }
    if (materials)
        materials->Release();
}

void D3DZDrawMesh(D3DXZORVXFILE* xfile, float alpha) {
    DrawSubsets(xfile, nullptr, alpha);
}

void D3DZDrawMesh(D3DXZORVXFILE* xfile, const D3DMATERIAL9* material) {
    if (material)
        DrawSubsets(xfile, material, 1.0f);
}

void D3DZMakeCloneMesh(D3DXZORVXFILE* xfile) {
    if (xfile == nullptr || xfile->pMesh == nullptr)
        return;
    ID3DXMesh* clone = nullptr;
    IDirect3DDevice9* device = nullptr;
    xfile->pMesh->GetDevice(&device);
    const HRESULT result = xfile->pMesh->CloneMeshFVF(
        D3DXMESH_MANAGED | D3DXMESH_NPATCHES, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, device, &clone);
    if (device)
        device->Release();
    if (FAILED(result))
        return;
    xfile->pMesh->Release();
    xfile->pMesh = clone;
}

void D3DZLockVertexBuffer(DWORD flags, D3DXZORVXFILE* xfile, _D3DXZORVCLONEVERTEX_*& vertices) {
    vertices = nullptr;
    void* data = nullptr;
    if (xfile && xfile->pMesh && SUCCEEDED(xfile->pMesh->LockVertexBuffer(flags, &data)))
        vertices = static_cast<_D3DXZORVCLONEVERTEX_*>(data);
}

void D3DZUnLockVertexBuffer(D3DXZORVXFILE* xfile) {
    if (xfile && xfile->pMesh)
        xfile->pMesh->UnlockVertexBuffer();
}

void D3DZReleaseMesh(D3DXZORVXFILE* xfile) {
    if (xfile == nullptr || xfile->pMesh == nullptr)
        return;
    delete[] xfile->pMaterials;
    xfile->pMaterials = nullptr;
    for (DWORD i = 0; i < xfile->dwNumMaterials; ++i)
        if (xfile->ppTextures[i]) {
            xfile->ppTextures[i]->Release();
            xfile->ppTextures[i] = nullptr;
        }
    delete[] xfile->ppTextures;
    xfile->ppTextures = nullptr;
    xfile->pMesh->Release();
    xfile->pMesh = nullptr;
    xfile->dwNumMaterials = 0;
}
