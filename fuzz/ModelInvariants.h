// What every model a reader accepts must satisfy, whatever the input: lists of one length, every
// corner a vertex, every face a material, finite unit normals; and the D3DX mesh made from it keeps
// its indices below the vertex count and its attribute table covering every face.
#pragma once

#include "ModelData.h"
#include "ModelMeshFactory.h"

#include <cmath>
#include <cstdlib>
#include <vector>

inline void Require(bool condition) {
    if (!condition)
        std::abort();
}

inline void CheckModel(const ModelData& model) {
    const std::size_t count = model.positions.size();
    Require(model.normals.size() == count && model.texCoords.size() == count);
    Require(model.attributes.size() == model.faces.size() && !model.faces.empty());
    for (const auto& face : model.faces)
        for (const DWORD corner : face)
            Require(corner < count);
    for (const DWORD attribute : model.attributes)
        Require(attribute < model.materials.size());
}

// The attribute table's ranges, laid end to end, are exactly the mesh's faces.
inline void CheckMesh(ID3DXMesh& mesh) {
    void* indices = nullptr;
    mesh.LockIndexBuffer(0, &indices);
    const bool wide = (mesh.GetOptions() & D3DXMESH_32BIT) != 0;
    for (DWORD i = 0; i < mesh.GetNumFaces() * 3; ++i)
        Require((wide ? static_cast<DWORD*>(indices)[i] : static_cast<WORD*>(indices)[i]) <
                mesh.GetNumVertices());
    mesh.UnlockIndexBuffer();
    DWORD size = 0;
    mesh.GetAttributeTable(nullptr, &size);
    std::vector<D3DXATTRIBUTERANGE> table(size);
    mesh.GetAttributeTable(table.data(), &size);
    DWORD next = 0;
    for (const D3DXATTRIBUTERANGE& range : table) {
        Require(range.FaceStart == next);
        next += range.FaceCount;
    }
    Require(next == mesh.GetNumFaces());
}

inline IDirect3DDevice9* FuzzDevice();

inline void CheckModelAndMesh(const ModelData& model) {
    CheckModel(model);
    ID3DXMesh* mesh = nullptr;
    if (SUCCEEDED(ModelMeshFactory::Create(model, D3DXMESH_MANAGED, FuzzDevice(), &mesh, nullptr))) {
        CheckMesh(*mesh);
        mesh->Release();
    }
}

// The mesh needs a device: one headless device, and the object that made it, serve the whole run.
inline IDirect3DDevice9* FuzzDevice() {
    static IDirect3D9* const d3d = Direct3DCreate9(D3D_SDK_VERSION);
    static IDirect3DDevice9* device = [] {
        IDirect3DDevice9* created = nullptr;
        if (d3d == nullptr)
            return created;
        D3DPRESENT_PARAMETERS parameters{};
        parameters.BackBufferWidth = 16;
        parameters.BackBufferHeight = 16;
        parameters.Windowed = TRUE;
        d3d->CreateDevice(0, D3DDEVTYPE_REF, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters,
                          &created);
        return created;
    }();
    return device;
}
