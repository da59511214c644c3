#include "ModelLoader.h"

#include "ModelFile.h"
#include "ModelFormat.h"
#include "ModelMeshFactory.h"

namespace {

thread_local std::string t_lastError;

} // namespace

HRESULT ModelLoader::Load(const std::string& fileName, DWORD options, IDirect3DDevice9* device,
                          ID3DXMesh** mesh, ID3DXBuffer** adjacency, std::vector<ModelMaterial>& materials) {
    materials.clear();
    ModelData model;
    if (!ModelFile::Read(fileName, model, t_lastError)) {
        if (mesh != nullptr)
            *mesh = nullptr;
        if (adjacency != nullptr)
            *adjacency = nullptr;
        return D3DXERR_INVALIDDATA;
    }
    const HRESULT result = ModelMeshFactory::Create(model, options, device, mesh, adjacency);
    if (FAILED(result)) {
        t_lastError = "'" + fileName + "': the mesh of " + std::to_string(model.positions.size()) +
                      " vertices cannot be created";
        return result;
    }
    materials = std::move(model.materials);
    t_lastError.clear();
    return S_OK;
}

std::string ModelLoader::LastError(const std::string& fileName) {
    return ModelFormat::IsForeign(fileName) ? t_lastError : std::string(D3DXGetLastXFileError());
}
