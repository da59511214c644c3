#include "D3DXMaterialBuffer.h"
#include "FaceAdjacency.h"
#include "XFileMeshBuilder.h"
#include "XFileModel.h"
#include "d3dx9mesh.h"

#include <cstring>
#include <filesystem>
#include <span>
#include <string>

namespace {

thread_local std::string t_lastError;

struct Outputs {
    ID3DXBuffer** adjacency;
    ID3DXBuffer** materials;
    ID3DXBuffer** effectInstances;
    DWORD* numMaterials;
    ID3DXMesh** mesh;

    void Clear() const {
        for (ID3DXBuffer** buffer : {adjacency, materials, effectInstances})
            if (buffer != nullptr)
                *buffer = nullptr;
        if (numMaterials != nullptr)
            *numMaterials = 0;
        if (mesh != nullptr)
            *mesh = nullptr;
    }
};

HRESULT Fail(HRESULT code, const std::string& message) {
    t_lastError = message;
    return code;
}

void FillVertices(ID3DXMesh& mesh, const XFileCombinedMesh& combined) {
    FvfLayout layout;
    FvfLayout::Parse(mesh.GetFVF(), layout);
    void* data = nullptr;
    mesh.LockVertexBuffer(0, &data);
    auto* vertex = static_cast<unsigned char*>(data);
    for (std::size_t i = 0; i < combined.positions.size(); ++i, vertex += layout.Size()) {
        std::memcpy(vertex, &combined.positions[i].x, 3 * sizeof(float));
        if (layout.Normal() != FvfLayout::kAbsent)
            std::memcpy(vertex + layout.Normal(), &combined.normals[i].x, 3 * sizeof(float));
        if (layout.Diffuse() != FvfLayout::kAbsent)
            std::memcpy(vertex + layout.Diffuse(), &combined.colors[i], sizeof(D3DCOLOR));
        if (layout.TexCoord(0) != FvfLayout::kAbsent)
            std::memcpy(vertex + layout.TexCoord(0), &combined.texCoords[i].x, 2 * sizeof(float));
    }
    mesh.UnlockVertexBuffer();
}

void FillFaces(ID3DXMesh& mesh, const XFileCombinedMesh& combined) {
    void* indices = nullptr;
    mesh.LockIndexBuffer(0, &indices);
    const bool wide = (mesh.GetOptions() & D3DXMESH_32BIT) != 0;
    for (std::size_t face = 0; face < combined.faces.size(); ++face) {
        for (std::size_t corner = 0; corner < 3; ++corner) {
            const DWORD index = combined.faces[face][corner];
            if (wide)
                static_cast<std::uint32_t*>(indices)[face * 3 + corner] = index;
            else
                static_cast<std::uint16_t*>(indices)[face * 3 + corner] = static_cast<std::uint16_t>(index);
        }
    }
    mesh.UnlockIndexBuffer();
    DWORD* attributes = nullptr;
    mesh.LockAttributeBuffer(0, &attributes);
    std::copy(combined.attributes.begin(), combined.attributes.end(), attributes);
    mesh.UnlockAttributeBuffer();
    mesh.SetAttributeTable(combined.attributeTable.data(),
                           static_cast<DWORD>(combined.attributeTable.size()));
}

ID3DXBuffer* MakeAdjacencyBuffer(const XFileCombinedMesh& combined) {
    const std::vector<DWORD> adjacency = ComputeFaceAdjacency(combined.positions, combined.faces);
    auto* buffer = new ID3DXBuffer(adjacency.size() * sizeof(DWORD));
    std::memcpy(buffer->GetBufferPointer(), adjacency.data(), adjacency.size() * sizeof(DWORD));
    return buffer;
}

HRESULT CreateMesh(const XFileModel& model, DWORD options, IDirect3DDevice9* device, const Outputs& out) {
    const XFileCombinedMesh combined = XFileMeshBuilder::Build(model);
    if (combined.faces.empty())
        return Fail(D3DXERR_LOADEDMESHASNODATA, "the file holds no mesh with faces");
    ID3DXMesh* mesh = nullptr;
    const HRESULT created = D3DXCreateMeshFVF(static_cast<DWORD>(combined.faces.size()),
                                              static_cast<DWORD>(combined.positions.size()), options,
                                              combined.fvf, device, &mesh);
    if (FAILED(created))
        return Fail(created, "the mesh cannot be created with these options");
    FillVertices(*mesh, combined);
    FillFaces(*mesh, combined);
    *out.mesh = mesh;
    if (out.adjacency != nullptr)
        *out.adjacency = MakeAdjacencyBuffer(combined);
    if (out.materials != nullptr)
        *out.materials = MakeMaterialBuffer(combined.materials);
    if (out.effectInstances != nullptr)
        *out.effectInstances = MakeEffectInstanceBuffer(combined.materials);
    if (out.numMaterials != nullptr)
        *out.numMaterials = static_cast<DWORD>(combined.materials.size());
    t_lastError.clear();
    return S_OK;
}

} // namespace

HRESULT D3DXLoadMeshFromXA(const char* filename, DWORD options, IDirect3DDevice9* device,
                           ID3DXBuffer** adjacency, ID3DXBuffer** materials, ID3DXBuffer** effectInstances,
                           DWORD* numMaterials, ID3DXMesh** mesh) {
    const Outputs out{adjacency, materials, effectInstances, numMaterials, mesh};
    out.Clear();
    if (filename == nullptr || device == nullptr || mesh == nullptr)
        return Fail(D3DERR_INVALIDCALL, "no file name, device or mesh output");
    XFileModel model;
    std::string error;
    if (!XFileModel::Load(filename, model, error)) {
        std::error_code ignored;
        return Fail(std::filesystem::is_regular_file(filename, ignored) ? D3DXERR_INVALIDDATA : E_FAIL,
                    error);
    }
    return CreateMesh(model, options, device, out);
}

HRESULT D3DXLoadMeshFromXInMemory(const void* memory, DWORD size, DWORD options, IDirect3DDevice9* device,
                                  ID3DXBuffer** adjacency, ID3DXBuffer** materials,
                                  ID3DXBuffer** effectInstances, DWORD* numMaterials, ID3DXMesh** mesh) {
    const Outputs out{adjacency, materials, effectInstances, numMaterials, mesh};
    out.Clear();
    if ((memory == nullptr && size != 0) || device == nullptr || mesh == nullptr)
        return Fail(D3DERR_INVALIDCALL, "no data, device or mesh output");
    XFileModel model;
    std::string error;
    const std::span<const std::uint8_t> bytes(static_cast<const std::uint8_t*>(memory), size);
    if (!XFileModel::LoadFromMemory(bytes, model, error))
        return Fail(D3DXERR_INVALIDDATA, error);
    return CreateMesh(model, options, device, out);
}

const char* D3DXGetLastXFileError() {
    return t_lastError.c_str();
}
