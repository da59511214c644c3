#include "ID3DXMesh.h"

#include "d3dx9mesh.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr DWORD kMax16BitVertices = 0xFFFF;
constexpr D3DCOLOR kOpaqueWhite = 0xFFFFFFFF;
constexpr std::uint64_t kMaxDrawCount = 0x7FFFFFFF;

DWORD ReadIndex(const unsigned char* indices, bool wide, std::size_t at) {
    if (wide) {
        std::uint32_t value;
        std::memcpy(&value, indices + 4 * at, 4);
        return value;
    }
    std::uint16_t value;
    std::memcpy(&value, indices + 2 * at, 2);
    return value;
}

void WriteIndex(unsigned char* indices, bool wide, std::size_t at, DWORD value) {
    if (wide) {
        const std::uint32_t wideValue = value;
        std::memcpy(indices + 4 * at, &wideValue, 4);
    } else {
        const auto narrow = static_cast<std::uint16_t>(value);
        std::memcpy(indices + 2 * at, &narrow, 2);
    }
}

// Copies `bytes` from one vertex element to another when both exist.
void CopyElement(const unsigned char* from, int fromOffset, unsigned char* to, int toOffset,
                 std::size_t bytes) {
    if (fromOffset != FvfLayout::kAbsent && toOffset != FvfLayout::kAbsent)
        std::memcpy(to + toOffset, from + fromOffset, bytes);
}

} // namespace

ID3DXMesh::ID3DXMesh(IDirect3DDevice9* device, DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf,
                     const FvfLayout& layout)
    : m_device(device), m_numFaces(numFaces), m_numVertices(numVertices), m_options(options), m_fvf(fvf),
      m_layout(layout), m_vertices(std::size_t{numVertices} * layout.Size()),
      m_indices(std::size_t{numFaces} * 3 * IndexBytes()), m_attributes(numFaces, 0) {
    m_device->AddRef();
}

ID3DXMesh::~ID3DXMesh() {
    m_device->Release();
}

bool ID3DXMesh::Uses32BitIndices() const {
    return (m_options & D3DXMESH_32BIT) != 0;
}

HRESULT ID3DXMesh::Create(DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf,
                          IDirect3DDevice9* device, ID3DXMesh** mesh) {
    if (mesh == nullptr)
        return D3DERR_INVALIDCALL;
    *mesh = nullptr;
    FvfLayout layout;
    if (device == nullptr || numFaces == 0 || numVertices == 0 || !FvfLayout::Parse(fvf, layout))
        return D3DERR_INVALIDCALL;
    // The device draws with GL's int counts and sizes; anything larger is a corrupt count, not a mesh.
    if (std::uint64_t{numFaces} * 3 > kMaxDrawCount ||
        std::uint64_t{numVertices} * layout.Size() > kMaxDrawCount)
        return E_OUTOFMEMORY;
    // Refusing big meshes without the flag, as D3DX does, would only make callers fail later.
    if (numVertices > kMax16BitVertices)
        options |= D3DXMESH_32BIT;
    *mesh = new ID3DXMesh(device, numFaces, numVertices, options, fvf, layout);
    return S_OK;
}

HRESULT ID3DXMesh::GetDevice(IDirect3DDevice9** device) {
    if (device == nullptr)
        return D3DERR_INVALIDCALL;
    m_device->AddRef();
    *device = m_device;
    return S_OK;
}

HRESULT ID3DXMesh::LockVertexBuffer(DWORD, void** data) {
    if (data == nullptr)
        return D3DERR_INVALIDCALL;
    *data = m_vertices.data();
    return S_OK;
}

HRESULT ID3DXMesh::LockIndexBuffer(DWORD, void** data) {
    if (data == nullptr)
        return D3DERR_INVALIDCALL;
    *data = m_indices.data();
    return S_OK;
}

HRESULT ID3DXMesh::LockAttributeBuffer(DWORD, DWORD** data) {
    if (data == nullptr)
        return D3DERR_INVALIDCALL;
    *data = m_attributes.data();
    return S_OK;
}

HRESULT ID3DXMesh::GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) const {
    if (size == nullptr)
        return D3DERR_INVALIDCALL;
    *size = static_cast<DWORD>(m_attributeTable.size());
    if (table != nullptr)
        std::copy(m_attributeTable.begin(), m_attributeTable.end(), table);
    return S_OK;
}

HRESULT ID3DXMesh::SetAttributeTable(const D3DXATTRIBUTERANGE* table, DWORD size) {
    if (table == nullptr && size != 0)
        return D3DERR_INVALIDCALL;
    for (DWORD i = 0; i < size; ++i) {
        const D3DXATTRIBUTERANGE& range = table[i];
        if (range.FaceStart > m_numFaces || range.FaceCount > m_numFaces - range.FaceStart ||
            range.VertexStart > m_numVertices || range.VertexCount > m_numVertices - range.VertexStart)
            return D3DERR_INVALIDCALL;
    }
    m_attributeTable.assign(table, table + size);
    return S_OK;
}

DWORD ID3DXMesh::Index(DWORD face, DWORD corner) const {
    return ReadIndex(m_indices.data(), Uses32BitIndices(), std::size_t{face} * 3 + corner);
}

D3DXVECTOR3 ID3DXMesh::Position(DWORD vertex) const {
    D3DXVECTOR3 position;
    std::memcpy(&position.x, m_vertices.data() + std::size_t{vertex} * m_layout.Size(), 3 * sizeof(float));
    return position;
}

HRESULT ID3DXMesh::DrawSubset(DWORD attribId) {
    if (m_attributeTable.empty())
        return DrawGathered(attribId);
    for (const D3DXATTRIBUTERANGE& range : m_attributeTable)
        if (range.AttribId == attribId)
            return DrawFaces(m_indices.data() + std::size_t{range.FaceStart} * 3 * IndexBytes(),
                             range.FaceCount);
    return S_OK;
}

HRESULT ID3DXMesh::DrawGathered(DWORD attribId) {
    std::vector<unsigned char> indices;
    const std::size_t faceBytes = 3 * IndexBytes();
    DWORD faceCount = 0;
    for (DWORD face = 0; face < m_numFaces; ++face) {
        if (m_attributes[face] != attribId)
            continue;
        const auto* first = m_indices.data() + face * faceBytes;
        indices.insert(indices.end(), first, first + faceBytes);
        ++faceCount;
    }
    return DrawFaces(indices.data(), faceCount);
}

HRESULT ID3DXMesh::DrawFaces(const void* indices, DWORD faceCount) {
    if (faceCount == 0)
        return S_OK;
    const auto* bytes = static_cast<const unsigned char*>(indices);
    DWORD highest = 0;
    for (std::size_t i = 0; i < std::size_t{faceCount} * 3; ++i)
        highest = std::max(highest, ReadIndex(bytes, Uses32BitIndices(), i));
    // Indices written through a lock are not checked there; a stray one must not read past the vertices.
    if (highest >= m_numVertices)
        return D3DERR_INVALIDCALL;
    m_device->SetFVF(m_fvf);
    return m_device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, highest + 1, faceCount, indices,
                                            Uses32BitIndices() ? D3DFMT_INDEX32 : D3DFMT_INDEX16,
                                            m_vertices.data(), m_layout.Size());
}

HRESULT ID3DXMesh::CloneMeshFVF(DWORD options, DWORD fvf, IDirect3DDevice9* device, ID3DXMesh** clone) {
    if (clone == nullptr)
        return D3DERR_INVALIDCALL;
    ID3DXMesh* copy = nullptr;
    const HRESULT created = Create(m_numFaces, m_numVertices, options, fvf, device, &copy);
    *clone = copy;
    if (FAILED(created))
        return created;
    const bool wide = copy->Uses32BitIndices();
    for (std::size_t i = 0; i < std::size_t{m_numFaces} * 3; ++i)
        WriteIndex(copy->m_indices.data(), wide, i, ReadIndex(m_indices.data(), Uses32BitIndices(), i));
    copy->m_attributes = m_attributes;
    copy->m_attributeTable = m_attributeTable;
    CopyVerticesTo(*copy);
    return S_OK;
}

void ID3DXMesh::CopyVerticesTo(ID3DXMesh& clone) const {
    const FvfLayout& from = m_layout;
    const FvfLayout& to = clone.m_layout;
    for (DWORD vertex = 0; vertex < m_numVertices; ++vertex) {
        const unsigned char* source = m_vertices.data() + std::size_t{vertex} * from.Size();
        unsigned char* target = clone.m_vertices.data() + std::size_t{vertex} * to.Size();
        std::memcpy(target, source, 3 * sizeof(float));
        if (from.HasW() && to.HasW())
            std::memcpy(target + 12, source + 12, 4);
        std::memcpy(target + 12, source + 12, 4 * std::min(from.BlendSlots(), to.BlendSlots()));
        CopyElement(source, from.Normal(), target, to.Normal(), 12);
        CopyElement(source, from.PointSize(), target, to.PointSize(), 4);
        CopyElement(source, from.Specular(), target, to.Specular(), 4);
        if (to.Diffuse() != FvfLayout::kAbsent)
            std::memcpy(target + to.Diffuse(), &kOpaqueWhite, 4);
        CopyElement(source, from.Diffuse(), target, to.Diffuse(), 4);
        for (UINT set = 0; set < to.TexCoordSets(); ++set)
            CopyElement(source, from.TexCoord(set), target, to.TexCoord(set),
                        4 * std::min(from.TexCoordFloats(set), to.TexCoordFloats(set)));
    }
}

HRESULT D3DXCreateMeshFVF(DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf,
                          IDirect3DDevice9* device, ID3DXMesh** mesh) {
    return ID3DXMesh::Create(numFaces, numVertices, options, fvf, device, mesh);
}
