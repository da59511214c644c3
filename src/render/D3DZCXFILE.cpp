#include "D3DZCXFILE.h"

#include "D3DZCDIRECT3D.h"
#include "ModelCopies.h"
#include "ModelFormat.h"
#include "ModelLoader.h"

#include <algorithm>
#include <cctype>
#include <sys/stat.h>

namespace {

bool FileExists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string ForwardSlashes(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

} // namespace

D3DZCXFILE::~D3DZCXFILE() {
    Release();
}

std::string D3DZCXFILE::TextureFolder(const std::string& fileName) {
    std::string path = ForwardSlashes(fileName);
    if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0])))
        path.erase(0, 2);
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string D3DZCXFILE::TexturePath(const std::string& folder, const std::string& textureName) {
    const std::string name = ForwardSlashes(textureName);
    const std::string asWritten = folder + name;
    if (FileExists(asWritten))
        return asWritten;
    const auto slash = name.find_last_of('/');
    return slash == std::string::npos ? asWritten : folder + name.substr(slash + 1);
}

BOOL D3DZCXFILE::LoadXFile(const char* fileName) {
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    if (fileName == nullptr || device == nullptr)
        return FALSE;
    if (ModelFormat::IsForeign(fileName))
        return LoadModel(fileName, device);
    const std::string folder = TextureFolder(fileName);
    ID3DXBuffer* materials = nullptr;
    ID3DXBuffer* adjacency = nullptr;
    DWORD count = 0;
    ID3DXMesh* mesh = nullptr;
    if (FAILED(D3DXLoadMeshFromXA(fileName, D3DXMESH_MANAGED, device, &adjacency, &materials, nullptr, &count,
                                  &mesh)))
        return FALSE;
    Release();
    m_pMesh = mesh;
    m_pAdjacency = adjacency;
    m_dwNumMaterials = count;
    m_pTextures = std::make_unique<D3DZCTEXTURE[]>(count);
    m_pMaterials = std::make_unique<D3DMATERIAL9[]>(count);
    const auto* records =
        materials ? static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer()) : nullptr;
    for (DWORD i = 0; records && i < count; ++i) {
        m_pMaterials[i] = records[i].MatD3D;
        m_pMaterials[i].Ambient = m_pMaterials[i].Diffuse;
        if (records[i].pTextureFilename && records[i].pTextureFilename[0] != '\0')
            m_pTextures[i].LoadTexture(TexturePath(folder, records[i].pTextureFilename).c_str());
    }
    if (materials)
        materials->Release();
    return TRUE;
}

BOOL D3DZCXFILE::LoadModel(const char* fileName, IDirect3DDevice9* device) {
    ID3DXMesh* mesh = nullptr;
    ID3DXBuffer* adjacency = nullptr;
    std::vector<ModelMaterial> materials;
    if (FAILED(ModelLoader::Load(fileName, D3DXMESH_MANAGED, device, &mesh, &adjacency, materials)))
        return FALSE;
    Release();
    m_pMesh = mesh;
    m_pAdjacency = adjacency;
    m_dwNumMaterials = static_cast<DWORD>(materials.size());
    m_pTextures = std::make_unique<D3DZCTEXTURE[]>(materials.size());
    m_pMaterials = std::make_unique<D3DMATERIAL9[]>(materials.size());
    const std::string folder = TextureFolder(fileName);
    for (std::size_t i = 0; i < materials.size(); ++i) {
        const ModelMaterial& source = materials[i];
        D3DMATERIAL9& material = m_pMaterials[i];
        material.Diffuse = {source.diffuse[0], source.diffuse[1], source.diffuse[2], source.diffuse[3]};
        material.Ambient = material.Diffuse;
        material.Specular = {source.specular[0], source.specular[1], source.specular[2], 1.0f};
        material.Emissive = {source.emissive[0], source.emissive[1], source.emissive[2], 1.0f};
        material.Power = source.power;
        if (!source.textureBytes.empty())
            m_pTextures[i].LoadTextureFromMemory(source.textureBytes, source.textureFile.c_str());
        else if (!source.textureFile.empty())
            m_pTextures[i].LoadTexture(TexturePath(folder, source.textureFile).c_str());
        const auto mode = source.alphaMode == ModelMaterial::AlphaMode::Blend  ? AlphaUse::Blend
                          : source.alphaMode == ModelMaterial::AlphaMode::Mask ? AlphaUse::Mask
                                                                               : AlphaUse::Opaque;
        m_alphaUses.push_back({mode, source.diffuse[3], source.alphaCutoff});
    }
    return TRUE;
}

// Blending and alpha testing are switched on for the one subset and back to what they were after it.
void D3DZCXFILE::DrawSubsetWithAlpha(IDirect3DDevice9* device, DWORD subset, D3DMATERIAL9 material) {
    const AlphaUse& use = m_alphaUses[subset];
    const bool blend = use.mode == AlphaUse::Blend, mask = use.mode == AlphaUse::Mask;
    const D3DRENDERSTATETYPE states[] = {D3DRS_ALPHABLENDENABLE, D3DRS_SRCBLEND, D3DRS_DESTBLEND,
                                         D3DRS_ALPHATESTENABLE,  D3DRS_ALPHAREF, D3DRS_ALPHAFUNC};
    DWORD saved[std::size(states)] = {};
    for (std::size_t i = 0; i < std::size(states); ++i)
        device->GetRenderState(states[i], &saved[i]);
    if (blend) {
        material.Diffuse.a *= use.alpha;
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    }
    if (mask) {
        device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
        device->SetRenderState(D3DRS_ALPHAREF,
                               static_cast<DWORD>(std::clamp(use.cutoff, 0.0f, 1.0f) * 255.0f));
        device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    }
    device->SetMaterial(&material);
    m_pMesh->DrawSubset(subset);
    for (std::size_t i = 0; i < std::size(states); ++i)
        device->SetRenderState(states[i], saved[i]);
}

void D3DZCXFILE::Draw(float alpha) {
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    if (device == nullptr || m_pMesh == nullptr)
        return;
    for (DWORD i = 0; i < m_dwNumMaterials; ++i) {
        D3DMATERIAL9 material = m_pMaterials[i];
        material.Diffuse.a = alpha;
        device->SetTexture(0, m_pTextures[i].GetTex());
        if (i < m_alphaUses.size() && m_alphaUses[i].mode != AlphaUse::Opaque) {
            DrawSubsetWithAlpha(device, i, material);
            continue;
        }
        device->SetMaterial(&material);
        m_pMesh->DrawSubset(i);
    }
}

namespace {

// Every texel of level 0 fully opaque; formats without alpha always are, compressed ones are not
// looked into.
bool TextureIsOpaque(IDirect3DTexture9* texture) {
    if (texture == nullptr)
        return true;
    D3DSURFACE_DESC desc;
    if (texture->GetLevelDesc(0, &desc) != S_OK)
        return false;
    if (desc.Format == D3DFMT_X8R8G8B8 || desc.Format == D3DFMT_R5G6B5 || desc.Format == D3DFMT_R8G8B8)
        return true;
    if (desc.Format != D3DFMT_A8R8G8B8)
        return false;
    D3DLOCKED_RECT locked;
    if (texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY) != S_OK)
        return false;
    bool opaque = true;
    for (UINT y = 0; y < desc.Height && opaque; ++y) {
        const auto* row = static_cast<const DWORD*>(locked.pBits) + y * static_cast<UINT>(locked.Pitch) / 4;
        for (UINT x = 0; x < desc.Width && opaque; ++x)
            opaque = (row[x] >> 24) == 0xFF;
    }
    texture->UnlockRect(0);
    return opaque;
}

} // namespace

bool D3DZCXFILE::DrawsOpaque() {
    if (m_drawsOpaque >= 0)
        return m_drawsOpaque != 0;
    bool opaque = m_pMesh != nullptr && (m_pMesh->GetFVF() & D3DFVF_DIFFUSE) == 0;
    for (DWORD i = 0; i < m_dwNumMaterials && opaque; ++i)
        opaque = (i >= m_alphaUses.size() || m_alphaUses[i].mode == AlphaUse::Opaque) &&
                 TextureIsOpaque(m_pTextures[i].GetTex());
    m_drawsOpaque = opaque ? 1 : 0;
    return opaque;
}

void D3DZCXFILE::DrawCopies(IDirect3DVertexBuffer9* matrices, UINT offset, UINT count) {
    const ModelCopies::Streams copies(matrices, offset, count);
    if (copies.Ready())
        Draw(1.0f);
}

void D3DZCXFILE::Release() {
    m_drawsOpaque = -1;
    m_pTextures.reset();
    m_pMaterials.reset();
    m_dwNumMaterials = 0;
    m_alphaUses.clear();
    if (m_pAdjacency) {
        m_pAdjacency->Release();
        m_pAdjacency = nullptr;
    }
    if (m_pMesh) {
        m_pMesh->Release();
        m_pMesh = nullptr;
    }
}
