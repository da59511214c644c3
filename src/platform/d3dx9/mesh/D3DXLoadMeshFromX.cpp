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
    XFileMeshBuilder::Fill(*mesh, combined);
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
