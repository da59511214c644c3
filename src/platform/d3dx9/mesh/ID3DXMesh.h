// D3DX's triangle mesh: vertices in a flexible vertex format, 16- or 32-bit indices, one attribute id
// per face and the attribute table that groups faces into subsets. The buffers live in CPU memory,
// so locking hands out the data itself; drawing sends a subset to the device as indexed triangles.
#pragma once

#include "FvfLayout.h"
#include "Unknown.h"
#include "d3d9.h"

#include <vector>

struct D3DXATTRIBUTERANGE {
    DWORD AttribId;
    DWORD FaceStart;
    DWORD FaceCount;
    DWORD VertexStart;
    DWORD VertexCount;
};
using LPD3DXATTRIBUTERANGE = D3DXATTRIBUTERANGE*;

class ID3DXMesh : public IUnknown {
public:
    // Vertices and indices start zeroed, attributes 0, the attribute table empty. More than 65535
    // vertices always get 32-bit indices, whatever the options say.
    static HRESULT Create(DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf,
                          IDirect3DDevice9* device, ID3DXMesh** mesh);

    // Draws the faces of one subset as the device's current state says, in the mesh's vertex format.
    // With an attribute table the subset is its range there (none: nothing is drawn); without one it is
    // every face whose attribute equals attribId.
    HRESULT DrawSubset(DWORD attribId);

    DWORD GetNumFaces() const { return m_numFaces; }
    DWORD GetNumVertices() const { return m_numVertices; }
    DWORD GetFVF() const { return m_fvf; }
    DWORD GetNumBytesPerVertex() const { return m_layout.Size(); }
    DWORD GetOptions() const { return m_options; }
    HRESULT GetDevice(IDirect3DDevice9** device);

    HRESULT LockVertexBuffer(DWORD flags, void** data);
    HRESULT UnlockVertexBuffer() { return S_OK; }
    HRESULT LockIndexBuffer(DWORD flags, void** data);
    HRESULT UnlockIndexBuffer() { return S_OK; }
    HRESULT LockAttributeBuffer(DWORD flags, DWORD** data);
    HRESULT UnlockAttributeBuffer() { return S_OK; }

    // With a null table, *size receives the entry count; otherwise every entry is copied as well.
    HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) const;
    // Ranges must lie within the mesh's faces and vertices.
    HRESULT SetAttributeTable(const D3DXATTRIBUTERANGE* table, DWORD size);

    // A copy in another vertex format: elements both formats have are copied, texture sets and blend
    // weights as far as both reach; new elements are zero, except a new diffuse colour, which is opaque
    // white.
    HRESULT CloneMeshFVF(DWORD options, DWORD fvf, IDirect3DDevice9* device, ID3DXMesh** clone);

    // Vertex index of a corner (0 to 2) of a face; no range checks.
    DWORD Index(DWORD face, DWORD corner) const;
    D3DXVECTOR3 Position(DWORD vertex) const;

private:
    ID3DXMesh(IDirect3DDevice9* device, DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf,
              const FvfLayout& layout);
    ~ID3DXMesh() override;

    bool Uses32BitIndices() const;
    UINT IndexBytes() const { return Uses32BitIndices() ? 4 : 2; }
    // `indices` holds three corners per face in this mesh's index size.
    HRESULT DrawFaces(const void* indices, DWORD faceCount);
    HRESULT DrawGathered(DWORD attribId);
    void CopyVerticesTo(ID3DXMesh& clone) const;

    IDirect3DDevice9* m_device;
    DWORD m_numFaces;
    DWORD m_numVertices;
    DWORD m_options;
    DWORD m_fvf;
    FvfLayout m_layout;
    std::vector<unsigned char> m_vertices;
    std::vector<unsigned char> m_indices;
    std::vector<DWORD> m_attributes;
    std::vector<D3DXATTRIBUTERANGE> m_attributeTable;
};
using LPD3DXMESH = ID3DXMesh*;
