#include "ModelMeshFactory.h"

#include "FaceAdjacency.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace {

struct Vertex {
    float position[3];
    float normal[3];
    float uv[2];
};
static_assert(sizeof(Vertex) == 32);

// Faces in attribute order, stable within one attribute, as the attribute table needs them.
struct SortedFaces {
    std::vector<std::array<DWORD, 3>> faces;
    std::vector<DWORD> attributes;
};

SortedFaces SortByAttribute(const ModelData& model) {
    std::vector<std::size_t> order(model.faces.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return model.attributes[a] < model.attributes[b]; });
    SortedFaces sorted;
    sorted.faces.reserve(order.size());
    sorted.attributes.reserve(order.size());
    for (const std::size_t face : order) {
        sorted.faces.push_back(model.faces[face]);
        sorted.attributes.push_back(model.attributes[face]);
    }
    return sorted;
}

std::vector<D3DXATTRIBUTERANGE> AttributeTable(const SortedFaces& sorted) {
    std::vector<D3DXATTRIBUTERANGE> table;
    for (std::size_t face = 0; face < sorted.faces.size(); ++face) {
        const auto& corners = sorted.faces[face];
        const DWORD attribute = sorted.attributes[face];
        const auto [lowest, highest] = std::minmax({corners[0], corners[1], corners[2]});
        if (table.empty() || table.back().AttribId != attribute)
            table.push_back({attribute, static_cast<DWORD>(face), 0, lowest, 1});
        D3DXATTRIBUTERANGE& range = table.back();
        const DWORD end = std::max(range.VertexStart + range.VertexCount, highest + 1);
        range.VertexStart = std::min(range.VertexStart, lowest);
        range.VertexCount = end - range.VertexStart;
        ++range.FaceCount;
    }
    return table;
}

// Every list as long as it must be and every corner a vertex: a model that is not is refused, never
// drawn with indices past its vertices.
bool IsConsistent(const ModelData& model) {
    const std::size_t count = model.positions.size();
    if (model.faces.empty() || model.attributes.size() != model.faces.size() ||
        model.normals.size() != count || model.texCoords.size() != count)
        return false;
    for (const auto& face : model.faces)
        if (face[0] >= count || face[1] >= count || face[2] >= count)
            return false;
    return true;
}

void FillFaces(ID3DXMesh& mesh, const SortedFaces& sorted) {
    void* indices = nullptr;
    mesh.LockIndexBuffer(0, &indices);
    const bool wide = (mesh.GetOptions() & D3DXMESH_32BIT) != 0;
    for (std::size_t face = 0; face < sorted.faces.size(); ++face)
        for (std::size_t corner = 0; corner < 3; ++corner) {
            const DWORD index = sorted.faces[face][corner];
            if (wide)
                static_cast<std::uint32_t*>(indices)[face * 3 + corner] = index;
            else
                static_cast<std::uint16_t*>(indices)[face * 3 + corner] = static_cast<std::uint16_t>(index);
        }
    mesh.UnlockIndexBuffer();
    DWORD* attributes = nullptr;
    mesh.LockAttributeBuffer(0, &attributes);
    std::copy(sorted.attributes.begin(), sorted.attributes.end(), attributes);
    mesh.UnlockAttributeBuffer();
    const std::vector<D3DXATTRIBUTERANGE> table = AttributeTable(sorted);
    mesh.SetAttributeTable(table.data(), static_cast<DWORD>(table.size()));
}

} // namespace

HRESULT ModelMeshFactory::Create(const ModelData& model, DWORD options, IDirect3DDevice9* device,
                                 ID3DXMesh** mesh, ID3DXBuffer** adjacency) {
    if (adjacency != nullptr)
        *adjacency = nullptr;
    if (mesh == nullptr)
        return D3DERR_INVALIDCALL;
    *mesh = nullptr;
    if (!IsConsistent(model))
        return D3DXERR_INVALIDDATA;
    ID3DXMesh* created = nullptr;
    const HRESULT result =
        D3DXCreateMeshFVF(static_cast<DWORD>(model.faces.size()), static_cast<DWORD>(model.positions.size()),
                          options, kFvf, device, &created);
    if (FAILED(result))
        return result;
    const SortedFaces sorted = SortByAttribute(model);
    FillVertices(*created, model);
    FillFaces(*created, sorted);
    *mesh = created;
    if (adjacency != nullptr) {
        const std::vector<DWORD> neighbours = ComputeFaceAdjacency(model.positions, sorted.faces);
        *adjacency = new ID3DXBuffer(neighbours.size() * sizeof(DWORD));
        std::memcpy((*adjacency)->GetBufferPointer(), neighbours.data(), neighbours.size() * sizeof(DWORD));
    }
    return S_OK;
}

void ModelMeshFactory::FillVertices(ID3DXMesh& mesh, const ModelData& model) {
    void* data = nullptr;
    mesh.LockVertexBuffer(0, &data);
    auto* vertices = static_cast<Vertex*>(data);
    for (std::size_t i = 0; i < model.positions.size(); ++i) {
        Vertex& v = vertices[i];
        std::memcpy(v.position, &model.positions[i].x, sizeof v.position);
        std::memcpy(v.normal, &model.normals[i].x, sizeof v.normal);
        std::memcpy(v.uv, &model.texCoords[i].x, sizeof v.uv);
    }
    mesh.UnlockVertexBuffer();
}
