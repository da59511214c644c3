#include "D3DZCXFILE.h"

#include "D3DZCDIRECT3D.h"

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

void D3DZCXFILE::Draw(float alpha) {
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    if (device == nullptr || m_pMesh == nullptr)
        return;
    for (DWORD i = 0; i < m_dwNumMaterials; ++i) {
        D3DMATERIAL9 material = m_pMaterials[i];
        material.Diffuse.a = alpha;
        device->SetMaterial(&material);
        device->SetTexture(0, m_pTextures[i].GetTex());
        m_pMesh->DrawSubset(i);
    }
}

void D3DZCXFILE::Release() {
    m_pTextures.reset();
    m_pMaterials.reset();
    m_dwNumMaterials = 0;
    if (m_pAdjacency) {
        m_pAdjacency->Release();
        m_pAdjacency = nullptr;
    }
    if (m_pMesh) {
        m_pMesh->Release();
        m_pMesh = nullptr;
    }
}
