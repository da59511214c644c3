#include "ID3DXMesh.h"

#include "d3dx9mesh.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr DWORD kMax16BitVertices = 0xFFFF;
constexpr D3DCOLOR kOpaqueWhite = 0xFFFFFFFF;
constexpr std::uint64_t kMaxDrawBytes = 0x7FFFFFFF;

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
                     const FvfLayout& layout, IDirect3DVertexBuffer9* vertices,
                     IDirect3DIndexBuffer9* indices)
    : m_device(device), m_numFaces(numFaces), m_numVertices(numVertices), m_options(options), m_fvf(fvf),
      m_layout(layout), m_vertexBuffer(vertices), m_indexBuffer(indices), m_attributes(numFaces, 0) {
    m_device->AddRef();
}

ID3DXMesh::~ID3DXMesh() {
    m_gathered.Reset();
    m_indexBuffer.Reset();
    m_vertexBuffer.Reset();
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
    // Refusing big meshes without the flag, as D3DX does, would only make callers fail later.
    if (numVertices > kMax16BitVertices)
        options |= D3DXMESH_32BIT;
    // The device draws with GL's int counts and sizes; anything larger is a corrupt count, not a mesh.
    const std::uint64_t indexBytes = std::uint64_t{numFaces} * 3 * ((options & D3DXMESH_32BIT) ? 4 : 2);
    const std::uint64_t vertexBytes = std::uint64_t{numVertices} * layout.Size();
    if (indexBytes > kMaxDrawBytes || vertexBytes > kMaxDrawBytes)
        return E_OUTOFMEMORY;
    ComPtr<IDirect3DVertexBuffer9> vertices;
    ComPtr<IDirect3DIndexBuffer9> indices;
    const DWORD usage = (options & D3DXMESH_DYNAMIC) ? D3DUSAGE_DYNAMIC : 0;
    HRESULT created = device->CreateVertexBuffer(static_cast<UINT>(vertexBytes), usage, fvf, D3DPOOL_MANAGED,
                                                 vertices.Receive(), nullptr);
    if (SUCCEEDED(created))
        created = device->CreateIndexBuffer(static_cast<UINT>(indexBytes), usage,
                                            (options & D3DXMESH_32BIT) ? D3DFMT_INDEX32 : D3DFMT_INDEX16,
                                            D3DPOOL_MANAGED, indices.Receive(), nullptr);
    if (FAILED(created))
        return created;
    *mesh = new ID3DXMesh(device, numFaces, numVertices, options, fvf, layout, vertices.Detach(),
                          indices.Detach());
    return S_OK;
}

HRESULT ID3DXMesh::GetDevice(IDirect3DDevice9** device) {
    if (device == nullptr)
        return D3DERR_INVALIDCALL;
    m_device->AddRef();
    *device = m_device;
    return S_OK;
}

HRESULT ID3DXMesh::GetVertexBuffer(IDirect3DVertexBuffer9** buffer) {
    if (buffer == nullptr)
        return D3DERR_INVALIDCALL;
    *buffer = m_vertexBuffer.Copy();
    return S_OK;
}

HRESULT ID3DXMesh::GetIndexBuffer(IDirect3DIndexBuffer9** buffer) {
    if (buffer == nullptr)
        return D3DERR_INVALIDCALL;
    *buffer = m_indexBuffer.Copy();
    return S_OK;
}

HRESULT ID3DXMesh::LockVertexBuffer(DWORD flags, void** data) {
    return m_vertexBuffer->Lock(0, 0, data, flags);
}

HRESULT ID3DXMesh::LockIndexBuffer(DWORD flags, void** data) {
    return m_indexBuffer->Lock(0, 0, data, flags);
}

HRESULT ID3DXMesh::LockAttributeBuffer(DWORD flags, DWORD** data) {
    if (data == nullptr)
        return D3DERR_INVALIDCALL;
    if ((flags & D3DLOCK_READONLY) == 0) {
        m_attributesWriting = true;
        ++m_attributeVersion;
    }
    *data = m_attributes.data();
    return S_OK;
}

HRESULT ID3DXMesh::UnlockAttributeBuffer() {
    if (m_attributesWriting)
        ++m_attributeVersion;
    m_attributesWriting = false;
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
    m_subsetsValid = false;
    return S_OK;
}

DWORD ID3DXMesh::Index(DWORD face, DWORD corner) const {
    return ReadIndex(m_indexBuffer->Contents(), Uses32BitIndices(), std::size_t{face} * 3 + corner);
}

D3DXVECTOR3 ID3DXMesh::Position(DWORD vertex) const {
    D3DXVECTOR3 position;
    std::memcpy(&position.x, m_vertexBuffer->Contents() + std::size_t{vertex} * m_layout.Size(),
                3 * sizeof(float));
    return position;
}

HRESULT ID3DXMesh::DrawSubset(DWORD attribId) {
    if (SubsetsOutOfDate())
        BuildSubsets();
    const auto subset = std::find_if(m_subsets.begin(), m_subsets.end(),
                                     [attribId](const Subset& s) { return s.attribId == attribId; });
    if (subset == m_subsets.end() || subset->faceCount == 0)
        return S_OK;
    // Indices written through a lock are not checked there; a stray one must not read past the vertices.
    if (!subset->inRange)
        return D3DERR_INVALIDCALL;
    m_device->SetFVF(m_fvf);
    m_device->SetStreamSource(0, m_vertexBuffer.Get(), 0, m_layout.Size());
    m_device->SetIndices(m_attributeTable.empty() ? m_gathered.Get() : m_indexBuffer.Get());
    return m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, subset->minVertex, subset->vertexCount,
                                          subset->startIndex, subset->faceCount);
}

bool ID3DXMesh::SubsetsOutOfDate() const {
    const GLBuffer& indices = m_indexBuffer->Buffer();
    if (!m_subsetsValid || indices.Writing() || indices.Version() != m_subsetsIndexVersion)
        return true;
    return m_attributeTable.empty() &&
           (m_attributesWriting || m_attributeVersion != m_subsetsAttributeVersion);
}

void ID3DXMesh::BuildSubsets() {
    m_subsets.clear();
    if (m_attributeTable.empty()) {
        GatherByAttribute();
    } else {
        for (const D3DXATTRIBUTERANGE& range : m_attributeTable) {
            Subset subset{range.AttribId, range.FaceStart * 3, range.FaceCount};
            MeasureSubset(*m_indexBuffer.Get(), subset);
            m_subsets.push_back(subset);
        }
    }
    m_subsetsIndexVersion = m_indexBuffer->Buffer().Version();
    m_subsetsAttributeVersion = m_attributeVersion;
    m_subsetsValid = true;
}

void ID3DXMesh::GatherByAttribute() {
    std::vector<DWORD> faces(m_numFaces);
    for (DWORD face = 0; face < m_numFaces; ++face)
        faces[face] = face;
    std::stable_sort(faces.begin(), faces.end(),
                     [this](DWORD a, DWORD b) { return m_attributes[a] < m_attributes[b]; });
    if (!m_gathered) {
        D3DINDEXBUFFER_DESC desc;
        m_indexBuffer->GetDesc(&desc);
        if (FAILED(m_device->CreateIndexBuffer(desc.Size, 0, desc.Format, D3DPOOL_MANAGED,
                                               m_gathered.Receive(), nullptr)))
            return;
    }
    void* data = nullptr;
    m_gathered->Lock(0, 0, &data, 0);
    const std::size_t faceBytes = 3 * IndexBytes();
    for (std::size_t at = 0; at < faces.size(); ++at) {
        const DWORD face = faces[at];
        std::memcpy(static_cast<unsigned char*>(data) + at * faceBytes,
                    m_indexBuffer->Contents() + face * faceBytes, faceBytes);
        if (m_subsets.empty() || m_subsets.back().attribId != m_attributes[face])
            m_subsets.push_back(Subset{m_attributes[face], static_cast<UINT>(at * 3), 0});
        ++m_subsets.back().faceCount;
    }
    m_gathered->Unlock();
    for (Subset& subset : m_subsets)
        MeasureSubset(*m_gathered.Get(), subset);
}

void ID3DXMesh::MeasureSubset(const IDirect3DIndexBuffer9& indices, Subset& subset) const {
    DWORD lowest = ~DWORD{0}, highest = 0;
    for (UINT i = subset.startIndex; i < subset.startIndex + subset.faceCount * 3; ++i) {
        lowest = std::min(lowest, indices.Index(i));
        highest = std::max(highest, indices.Index(i));
    }
    subset.inRange = subset.faceCount == 0 || highest < m_numVertices;
    subset.minVertex = subset.faceCount == 0 ? 0 : lowest;
    subset.vertexCount = subset.inRange && subset.faceCount != 0 ? highest - lowest + 1 : 0;
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
    void* indices = nullptr;
    copy->LockIndexBuffer(0, &indices);
    for (std::size_t i = 0; i < std::size_t{m_numFaces} * 3; ++i)
        WriteIndex(static_cast<unsigned char*>(indices), wide, i,
                   ReadIndex(m_indexBuffer->Contents(), Uses32BitIndices(), i));
    copy->UnlockIndexBuffer();
    copy->m_attributes = m_attributes;
    copy->m_attributeTable = m_attributeTable;
    CopyVerticesTo(*copy);
    return S_OK;
}

void ID3DXMesh::CopyVerticesTo(ID3DXMesh& clone) const {
    const FvfLayout& from = m_layout;
    const FvfLayout& to = clone.m_layout;
    void* data = nullptr;
    clone.m_vertexBuffer->Lock(0, 0, &data, 0);
    for (DWORD vertex = 0; vertex < m_numVertices; ++vertex) {
        const unsigned char* source = m_vertexBuffer->Contents() + std::size_t{vertex} * from.Size();
        unsigned char* target = static_cast<unsigned char*>(data) + std::size_t{vertex} * to.Size();
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
    clone.m_vertexBuffer->Unlock();
}

HRESULT D3DXCreateMeshFVF(DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf,
                          IDirect3DDevice9* device, ID3DXMesh** mesh) {
    return ID3DXMesh::Create(numFaces, numVertices, options, fvf, device, mesh);
}
