#include "D3DXMaterialBuffer.h"
#include "FaceAdjacency.h"
#include "XFileMeshBuilder.h"
#include "XFileModel.h"
#include "d3dx9mesh.h"

#include <array>
#include <cstring>
#include <filesystem>
#include <memory>
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

// The editor asks for adjacency on every load and never reads it, so it is worked out on first read,
// from the combined mesh's own positions and faces (kept here, since the caller may change the mesh).
ID3DXBuffer* MakeAdjacencyBuffer(XFileCombinedMesh& combined) {
    struct Geometry {
        std::vector<D3DXVECTOR3> positions;
        std::vector<std::array<DWORD, 3>> faces;
    };
    const auto geometry =
        std::make_shared<const Geometry>(Geometry{std::move(combined.positions), std::move(combined.faces)});
    const std::size_t size = geometry->faces.size() * 3 * sizeof(DWORD);
    return new ID3DXBuffer(size, [geometry, size](unsigned char* bytes) {
        const std::vector<DWORD> adjacency = ComputeFaceAdjacency(geometry->positions, geometry->faces);
        std::memcpy(bytes, adjacency.data(), size);
    });
}

HRESULT CreateMesh(const XFileModel& model, DWORD options, IDirect3DDevice9* device, const Outputs& out) {
    XFileCombinedMesh combined = XFileMeshBuilder::Build(model);
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
    if (out.materials != nullptr)
        *out.materials = MakeMaterialBuffer(combined.materials);
    if (out.effectInstances != nullptr)
        *out.effectInstances = MakeEffectInstanceBuffer(combined.materials);
    if (out.numMaterials != nullptr)
        *out.numMaterials = static_cast<DWORD>(combined.materials.size());
    if (out.adjacency != nullptr) // last: it takes the positions and faces
        *out.adjacency = MakeAdjacencyBuffer(combined);
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
