#include "XFileMeshBuilder.h"

#include "d3dx9mesh.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

constexpr DWORD kNoSplit = std::numeric_limits<DWORD>::max();

// What D3DX hands out for a mesh that lists no materials.
XFileMaterial DefaultMaterial() {
    XFileMaterial material;
    material.faceColor = {1.0f, 1.0f, 1.0f, 1.0f};
    return material;
}

D3DCOLOR ColorOf(const std::array<float, 4>& rgba) {
    return static_cast<DWORD>(D3DXCOLOR(rgba[0], rgba[1], rgba[2], rgba[3]));
}

bool SameNormal(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

} // namespace

XFileCombinedMesh XFileMeshBuilder::Build(const XFileModel& model) {
    XFileMeshBuilder builder;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    // The reader keeps meshes outside frames apart from the frames; they are taken first.
    for (const XFileSharedMesh& mesh : model.meshes)
        builder.AddMesh(*mesh, identity);
    for (const XFileFrame& frame : model.frames)
        builder.AddFrame(frame, identity);
    builder.SortByAttribute();
    builder.BuildAttributeTable();
    return std::move(builder.m_out);
}

XFileCombinedMesh XFileMeshBuilder::BuildOne(const XFileMesh& mesh) {
    XFileMeshBuilder builder;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    builder.AddMesh(mesh, identity);
    builder.SortByAttribute();
    builder.BuildAttributeTable();
    return std::move(builder.m_out);
}

void XFileMeshBuilder::AddFrame(const XFileFrame& frame, const D3DXMATRIX& parent) {
    // Row vectors: a point in the frame goes through its own matrix first, then its parent's.
    D3DXMATRIX combined;
    const D3DXMATRIX local(frame.transform.data());
    D3DXMatrixMultiply(&combined, &local, &parent);
    for (const XFileSharedMesh& mesh : frame.meshes)
        AddMesh(*mesh, combined);
    for (const XFileFrame& child : frame.children)
        AddFrame(child, combined);
}

DWORD XFileMeshBuilder::AddMaterials(const XFileMesh& mesh) {
    const auto base = static_cast<DWORD>(m_out.materials.size());
    if (mesh.hasMaterialList && !mesh.materials.empty())
        m_out.materials.insert(m_out.materials.end(), mesh.materials.begin(), mesh.materials.end());
    else
        m_out.materials.push_back(DefaultMaterial());
    return base;
}

namespace {

// Makes room for `size` elements, at least doubling: a model that places many meshes adds them one by
// one, and reserving each exact new size would copy everything at every mesh.
template <typename T> void Grow(std::vector<T>& values, std::size_t size) {
    if (size > values.capacity())
        values.reserve(std::max(size, 2 * values.capacity()));
}

} // namespace

void XFileMeshBuilder::AddFileVertices(const XFileMesh& mesh, const Placement& placement) {
    const std::size_t base = m_out.positions.size();
    const std::size_t count = base + mesh.positions.size();
    Grow(m_out.positions, count);
    Grow(m_out.normals, count);
    Grow(m_out.texCoords, count);
    Grow(m_out.colors, count);
    Grow(m_out.fileVertices, count);
    Grow(m_splits, count);
    m_out.positions.resize(count);
    for (std::size_t i = 0; i < mesh.positions.size(); ++i) {
        const D3DXVECTOR3 local(mesh.positions[i].data());
        D3DXVec3TransformCoord(&m_out.positions[base + i], &local, &placement.points);
    }
    m_out.normals.resize(count);
    m_out.texCoords.resize(count);
    const std::size_t textured = std::min(mesh.textureCoords.size(), mesh.positions.size());
    for (std::size_t i = 0; i < textured; ++i)
        m_out.texCoords[base + i] = D3DXVECTOR2(mesh.textureCoords[i].data());
    m_out.colors.resize(count, D3DCOLOR{0xFFFFFFFF});
    if (mesh.hasVertexColors)
        for (std::size_t i = 0; i < mesh.positions.size() && i < mesh.vertexColors.size(); ++i)
            m_out.colors[base + i] = ColorOf(mesh.vertexColors[i]);
    m_out.fileVertices.resize(count);
    for (std::size_t i = 0; i < mesh.positions.size(); ++i)
        m_out.fileVertices[base + i] = static_cast<DWORD>(i);
    m_splits.resize(count, SplitState{{0.0f, 0.0f, 0.0f}, kNoSplit, false});
}

DWORD XFileMeshBuilder::SplitVertex(DWORD vertex) {
    const auto copy = static_cast<DWORD>(m_out.positions.size());
    m_out.positions.push_back(m_out.positions[vertex]);
    m_out.normals.emplace_back(0.0f, 0.0f, 0.0f);
    m_out.texCoords.push_back(m_out.texCoords[vertex]);
    m_out.colors.push_back(m_out.colors[vertex]);
    m_out.fileVertices.push_back(m_out.fileVertices[vertex]);
    m_splits.push_back({{0.0f, 0.0f, 0.0f}, kNoSplit, false});
    m_splits[vertex].nextSplit = copy;
    return copy;
}

DWORD XFileMeshBuilder::CornerVertex(DWORD base, DWORD fileVertex, const D3DXVECTOR3& normal,
                                     const Placement& placement) {
    DWORD vertex = base + fileVertex;
    while (m_splits[vertex].normalSet && !SameNormal(m_splits[vertex].fileNormal, normal))
        vertex = m_splits[vertex].nextSplit != kNoSplit ? m_splits[vertex].nextSplit : SplitVertex(vertex);
    SplitState& state = m_splits[vertex];
    if (!state.normalSet) {
        state.normalSet = true;
        state.fileNormal = normal;
        D3DXVec3TransformNormal(&m_out.normals[vertex], &normal, &placement.normals);
        D3DXVec3Normalize(&m_out.normals[vertex], &m_out.normals[vertex]);
    }
    return vertex;
}

void XFileMeshBuilder::AddMesh(const XFileMesh& mesh, const D3DXMATRIX& transform) {
    Placement placement{transform, transform};
    D3DXMATRIX inverse;
    if (D3DXMatrixInverse(&inverse, nullptr, &transform) != nullptr)
        D3DXMatrixTranspose(&placement.normals, &inverse);
    if (mesh.hasNormals)
        m_out.fvf |= D3DFVF_NORMAL;
    if (mesh.hasVertexColors)
        m_out.fvf |= D3DFVF_DIFFUSE;
    if (!mesh.textureCoords.empty())
        m_out.fvf |= D3DFVF_TEX1;

    const DWORD materialBase = AddMaterials(mesh);
    const auto base = static_cast<DWORD>(m_out.positions.size());
    AddFileVertices(mesh, placement);

    std::size_t triangles = 0;
    for (const std::uint32_t size : mesh.faceSizes)
        triangles += size > 2 ? size - 2 : 0;
    Grow(m_out.faces, m_out.faces.size() + triangles);
    Grow(m_out.attributes, m_out.attributes.size() + triangles);

    std::vector<DWORD> corners;
    std::size_t cornerAt = 0;
    std::size_t normalAt = 0;
    for (std::size_t face = 0; face < mesh.faceSizes.size(); ++face) {
        const std::uint32_t size = mesh.faceSizes[face];
        const std::uint32_t normalSize =
            mesh.hasNormals && face < mesh.normalFaceSizes.size() ? mesh.normalFaceSizes[face] : 0;
        corners.resize(size);
        for (std::uint32_t k = 0; k < size; ++k) {
            const D3DXVECTOR3 normal =
                k < normalSize ? D3DXVECTOR3(mesh.normals[mesh.normalFaceIndices[normalAt + k]].data())
                               : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
            corners[k] = CornerVertex(base, mesh.faceIndices[cornerAt + k], normal, placement);
        }
        cornerAt += size;
        normalAt += normalSize;
        const DWORD attribute =
            materialBase +
            (mesh.hasMaterialList && face < mesh.faceMaterials.size() ? mesh.faceMaterials[face] : 0);
        for (std::uint32_t k = 1; k + 1 < size; ++k) {
            m_out.faces.push_back({corners[0], corners[k], corners[k + 1]});
            m_out.attributes.push_back(attribute);
        }
    }
}

void XFileMeshBuilder::SortByAttribute() {
    // Already grouped (one material, or faces listed by material): the stable sort would keep the order.
    if (std::is_sorted(m_out.attributes.begin(), m_out.attributes.end()))
        return;
    std::vector<std::size_t> order(m_out.faces.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        return m_out.attributes[a] < m_out.attributes[b];
    });
    std::vector<std::array<DWORD, 3>> faces;
    std::vector<DWORD> attributes;
    faces.reserve(order.size());
    attributes.reserve(order.size());
    for (std::size_t i : order) {
        faces.push_back(m_out.faces[i]);
        attributes.push_back(m_out.attributes[i]);
    }
    m_out.faces = std::move(faces);
    m_out.attributes = std::move(attributes);
}

void XFileMeshBuilder::BuildAttributeTable() {
    for (std::size_t face = 0; face < m_out.faces.size(); ++face) {
        const auto [lowest, highest] =
            std::minmax({m_out.faces[face][0], m_out.faces[face][1], m_out.faces[face][2]});
        auto& table = m_out.attributeTable;
        if (table.empty() || table.back().AttribId != m_out.attributes[face]) {
            table.push_back({m_out.attributes[face], static_cast<DWORD>(face), 0, lowest, 1});
        }
        D3DXATTRIBUTERANGE& range = table.back();
        const DWORD end = std::max(range.VertexStart + range.VertexCount, highest + 1);
        range.VertexStart = std::min(range.VertexStart, lowest);
        range.VertexCount = end - range.VertexStart;
        ++range.FaceCount;
    }
}

namespace {

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
    static_assert(sizeof(combined.faces[0]) == 3 * sizeof(std::uint32_t));
    if ((mesh.GetOptions() & D3DXMESH_32BIT) != 0) {
        if (!combined.faces.empty())
            std::memcpy(indices, combined.faces.data(), combined.faces.size() * sizeof(combined.faces[0]));
    } else {
        auto* narrow = static_cast<std::uint16_t*>(indices);
        for (const std::array<DWORD, 3>& face : combined.faces)
            for (const DWORD corner : face)
                *narrow++ = static_cast<std::uint16_t>(corner);
    }
    mesh.UnlockIndexBuffer();
    DWORD* attributes = nullptr;
    mesh.LockAttributeBuffer(0, &attributes);
    std::copy(combined.attributes.begin(), combined.attributes.end(), attributes);
    mesh.UnlockAttributeBuffer();
    mesh.SetAttributeTable(combined.attributeTable.data(),
                           static_cast<DWORD>(combined.attributeTable.size()));
}

} // namespace

void XFileMeshBuilder::Fill(ID3DXMesh& mesh, const XFileCombinedMesh& combined) {
    FillVertices(mesh, combined);
    FillFaces(mesh, combined);
}
