// The mesh object on the headless device: vertex formats, subsets drawn from the attribute table or the
// attribute buffer, cloning into another vertex format, and ray picking.
#include "HeadlessDevice.h"
#include "TestVertices.h"
#include "d3dx9mesh.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

constexpr DWORD kRed = 0xFFFF0000;
constexpr DWORD kGreen = 0xFF00FF00;
constexpr DWORD kBlack = 0xFF000000;

template <class Vertex>
ID3DXMesh* MakeMesh(IDirect3DDevice9* device, DWORD fvf, const std::vector<Vertex>& vertices,
                    const std::vector<WORD>& indices, const std::vector<DWORD>& attributes,
                    DWORD options = 0) {
    ID3DXMesh* mesh = nullptr;
    EXPECT_EQ(D3DXCreateMeshFVF(static_cast<DWORD>(attributes.size()), static_cast<DWORD>(vertices.size()),
                                options, fvf, device, &mesh),
              S_OK);
    if (!mesh)
        return nullptr;
    void* data = nullptr;
    mesh->LockVertexBuffer(0, &data);
    std::memcpy(data, vertices.data(), vertices.size() * sizeof(Vertex));
    mesh->UnlockVertexBuffer();
    mesh->LockIndexBuffer(0, &data);
    if (options & D3DXMESH_32BIT)
        for (std::size_t i = 0; i < indices.size(); ++i)
            static_cast<DWORD*>(data)[i] = indices[i];
    else
        std::memcpy(data, indices.data(), indices.size() * sizeof(WORD));
    mesh->UnlockIndexBuffer();
    DWORD* ids = nullptr;
    mesh->LockAttributeBuffer(0, &ids);
    std::copy(attributes.begin(), attributes.end(), ids);
    mesh->UnlockAttributeBuffer();
    return mesh;
}

// Left half of the view red with attribute 0, right half green with attribute 1, in clip space. The
// right half's faces come first so that subsets do not follow face order by accident.
ID3DXMesh* TwoHalves(IDirect3DDevice9* device) {
    const std::vector<ColorVertex> vertices = {
        {0, 1, 0.5f, kGreen}, {1, 1, 0.5f, kGreen}, {0, -1, 0.5f, kGreen}, {1, -1, 0.5f, kGreen},
        {-1, 1, 0.5f, kRed},  {0, 1, 0.5f, kRed},   {-1, -1, 0.5f, kRed},  {0, -1, 0.5f, kRed},
    };
    return MakeMesh(device, D3DFVF_XYZ | D3DFVF_DIFFUSE, vertices, {0, 1, 2, 2, 1, 3, 4, 5, 6, 6, 5, 7},
                    {1, 1, 0, 0});
}

class D3DXMesh : public HeadlessDevice {
protected:
    void SetUp() override {
        HeadlessDevice::SetUp();
        if (!m_device)
            return;
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        m_device->SetTransform(D3DTS_WORLD, &identity);
        m_device->SetTransform(D3DTS_VIEW, &identity);
        m_device->SetTransform(D3DTS_PROJECTION, &identity);
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    }

    // The colours at the middle of the left and the right half after drawing one subset.
    std::pair<DWORD, DWORD> DrawOnly(ID3DXMesh* mesh, DWORD attribId, HRESULT expected = S_OK) {
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
        EXPECT_EQ(mesh->DrawSubset(attribId), expected);
        const auto pixels = BackBufferPixels();
        return {Pixel(pixels, kWidth / 4, kHeight / 2), Pixel(pixels, 3 * kWidth / 4, kHeight / 2)};
    }
};

} // namespace

TEST(D3DXFvf, VertexSizesFollowTheFormatBits) {
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ), 12u);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1), 32u);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR), 24u);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZB4 | D3DFVF_LASTBETA_UBYTE4 | D3DFVF_NORMAL | D3DFVF_TEX1), 48u);
    // Second texture set with three floats (size code 1 in bits 18-19), then a one-float third set.
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ | 0x300 | (1u << 18) | (3u << 20)), 12u + 8u + 12u + 4u);
    EXPECT_EQ(D3DXGetFVFVertexSize(0), 0u) << "no position";
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_NORMAL), 0u);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ | 0x900), 0u) << "nine texture sets";
}

TEST_F(D3DXMesh, CreationChecksItsArgumentsAndWidensIndicesForBigMeshes) {
    ID3DXMesh* mesh = reinterpret_cast<ID3DXMesh*>(0x1);
    EXPECT_EQ(D3DXCreateMeshFVF(1, 3, 0, D3DFVF_XYZ, nullptr, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh, nullptr);
    EXPECT_EQ(D3DXCreateMeshFVF(0, 3, 0, D3DFVF_XYZ, m_device, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateMeshFVF(1, 0, 0, D3DFVF_XYZ, m_device, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateMeshFVF(1, 3, 0, D3DFVF_NORMAL, m_device, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateMeshFVF(1, 3, 0, D3DFVF_XYZ, m_device, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateMeshFVF(0xFFFFFFFF, 3, 0, D3DFVF_XYZ, m_device, &mesh), E_OUTOFMEMORY);
    EXPECT_EQ(D3DXCreateMeshFVF(1, 0xFFFFFFFF, 0, D3DFVF_XYZ, m_device, &mesh), E_OUTOFMEMORY);

    ASSERT_EQ(D3DXCreateMeshFVF(2, 65535, D3DXMESH_MANAGED, D3DFVF_XYZ | D3DFVF_NORMAL, m_device, &mesh),
              S_OK);
    EXPECT_EQ(mesh->GetOptions(), D3DXMESH_MANAGED);
    EXPECT_EQ(mesh->GetNumFaces(), 2u);
    EXPECT_EQ(mesh->GetNumVertices(), 65535u);
    EXPECT_EQ(mesh->GetNumBytesPerVertex(), 24u);
    IDirect3DDevice9* device = nullptr;
    EXPECT_EQ(mesh->GetDevice(&device), S_OK);
    EXPECT_EQ(device, m_device);
    device->Release();
    mesh->Release();

    ASSERT_EQ(D3DXCreateMeshFVF(2, 65536, D3DXMESH_MANAGED, D3DFVF_XYZ, m_device, &mesh), S_OK);
    EXPECT_EQ(mesh->GetOptions(), D3DXMESH_MANAGED | D3DXMESH_32BIT);
    mesh->Release();
}

TEST_F(D3DXMesh, DrawSubsetDrawsOnlyThatSubsetsFaces) {
    ID3DXMesh* mesh = TwoHalves(m_device);
    ASSERT_NE(mesh, nullptr);
    DWORD size = 99;
    EXPECT_EQ(mesh->GetAttributeTable(nullptr, &size), S_OK);
    EXPECT_EQ(size, 0u) << "a new mesh has no table";

    // Without a table the attribute buffer decides.
    EXPECT_EQ(DrawOnly(mesh, 0), std::make_pair(kRed, kBlack));
    EXPECT_EQ(DrawOnly(mesh, 1), std::make_pair(kBlack, kGreen));
    EXPECT_EQ(DrawOnly(mesh, 7), std::make_pair(kBlack, kBlack));

    // With a table its ranges decide, even where they disagree with the attribute buffer.
    const D3DXATTRIBUTERANGE table[] = {{0, 0, 2, 0, 4}, {1, 2, 2, 4, 4}};
    ASSERT_EQ(mesh->SetAttributeTable(table, 2), S_OK);
    D3DXATTRIBUTERANGE readBack[2] = {};
    EXPECT_EQ(mesh->GetAttributeTable(readBack, &size), S_OK);
    EXPECT_EQ(size, 2u);
    EXPECT_EQ(readBack[1].FaceStart, 2u);
    EXPECT_EQ(readBack[1].VertexCount, 4u);
    EXPECT_EQ(DrawOnly(mesh, 0), std::make_pair(kBlack, kGreen));
    EXPECT_EQ(DrawOnly(mesh, 1), std::make_pair(kRed, kBlack));
    EXPECT_EQ(DrawOnly(mesh, 2), std::make_pair(kBlack, kBlack));
    DWORD fvf = 0;
    m_device->GetFVF(&fvf);
    EXPECT_EQ(fvf, D3DFVF_XYZ | D3DFVF_DIFFUSE) << "the mesh sets its own vertex format";
    mesh->Release();
}

TEST_F(D3DXMesh, BadTablesAndStrayIndicesAreRefused) {
    ID3DXMesh* mesh = TwoHalves(m_device);
    ASSERT_NE(mesh, nullptr);
    const D3DXATTRIBUTERANGE tooManyFaces[] = {{0, 3, 2, 0, 4}};
    const D3DXATTRIBUTERANGE tooManyVertices[] = {{0, 0, 1, 6, 3}};
    const D3DXATTRIBUTERANGE wrapping[] = {{0, 1, 0xFFFFFFFF, 0, 1}};
    EXPECT_EQ(mesh->SetAttributeTable(tooManyFaces, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh->SetAttributeTable(tooManyVertices, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh->SetAttributeTable(wrapping, 1), D3DERR_INVALIDCALL);

    void* data = nullptr;
    mesh->LockIndexBuffer(0, &data);
    static_cast<WORD*>(data)[0] = 8; // one past the last vertex
    mesh->UnlockIndexBuffer();
    EXPECT_EQ(DrawOnly(mesh, 1, D3DERR_INVALIDCALL), std::make_pair(kBlack, kBlack));
    EXPECT_EQ(DrawOnly(mesh, 0), std::make_pair(kRed, kBlack)) << "other subsets still draw";
    mesh->Release();
}

TEST_F(D3DXMesh, CloneMeshFVFCopiesSharedElementsAndFillsNewOnes) {
    const std::vector<LitVertex> vertices = {
        {0, 0, 0, 0, 0, -1, 0.25f, 0.5f}, {1, 0, 0, 0, 1, 0, 1, 0}, {0, 1, 0, 1, 0, 0, 0, 1}};
    ID3DXMesh* mesh = MakeMesh(m_device, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, vertices, {0, 1, 2},
                               std::vector<DWORD>{3});
    ASSERT_NE(mesh, nullptr);
    const D3DXATTRIBUTERANGE table[] = {{3, 0, 1, 0, 3}};
    mesh->SetAttributeTable(table, 1);

    ID3DXMesh* clone = nullptr;
    ASSERT_EQ(mesh->CloneMeshFVF(D3DXMESH_MANAGED | D3DXMESH_32BIT,
                                 D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1, m_device, &clone),
              S_OK);
    struct Cloned {
        float x, y, z, nx, ny, nz;
        DWORD diffuse;
        float u, v;
    };
    ASSERT_EQ(clone->GetNumBytesPerVertex(), sizeof(Cloned));
    void* data = nullptr;
    clone->LockVertexBuffer(D3DLOCK_READONLY, &data);
    const auto* cloned = static_cast<const Cloned*>(data);
    EXPECT_EQ(cloned[1].x, 1.0f);
    EXPECT_EQ(cloned[1].ny, 1.0f);
    EXPECT_EQ(cloned[0].nz, -1.0f);
    EXPECT_EQ(cloned[0].u, 0.25f);
    EXPECT_EQ(cloned[0].v, 0.5f);
    EXPECT_EQ(cloned[2].diffuse, 0xFFFFFFFFu);
    clone->UnlockVertexBuffer();
    EXPECT_EQ(clone->Index(0, 2), 2u) << "16-bit indices widened";
    DWORD size = 0;
    clone->GetAttributeTable(nullptr, &size);
    EXPECT_EQ(size, 1u);
    clone->Release();

    // Dropping elements keeps the rest; a bad format or device gives no clone.
    ASSERT_EQ(mesh->CloneMeshFVF(0, D3DFVF_XYZ, m_device, &clone), S_OK);
    EXPECT_EQ(clone->GetNumBytesPerVertex(), 12u);
    EXPECT_EQ(clone->Position(2), D3DXVECTOR3(0, 1, 0));
    clone->Release();
    EXPECT_EQ(mesh->CloneMeshFVF(0, 0, m_device, &clone), D3DERR_INVALIDCALL);
    EXPECT_EQ(clone, nullptr);
    EXPECT_EQ(mesh->CloneMeshFVF(0, D3DFVF_XYZ, nullptr, &clone), D3DERR_INVALIDCALL);
    mesh->Release();
}

TEST_F(D3DXMesh, IntersectFindsTheNearestFaceHit) {
    // A far quad at z = 4 (faces 0, 1) before a near one at z = 2 (faces 2, 3), both over x, y in [-1, 1].
    const std::vector<ColorVertex> vertices = {
        {-1, -1, 4, 0}, {-1, 1, 4, 0}, {1, -1, 4, 0}, {1, 1, 4, 0},
        {-1, -1, 2, 0}, {-1, 1, 2, 0}, {1, -1, 2, 0}, {1, 1, 2, 0},
    };
    ID3DXMesh* mesh = MakeMesh(m_device, D3DFVF_XYZ | D3DFVF_DIFFUSE, vertices,
                               {0, 1, 2, 2, 1, 3, 4, 5, 6, 6, 5, 7}, {0, 0, 0, 0});
    ASSERT_NE(mesh, nullptr);
    const D3DXVECTOR3 origin(-0.5f, -0.5f, 0.0f);
    const D3DXVECTOR3 forward(0, 0, 2);
    BOOL hit = FALSE;
    DWORD face = 99, count = 0;
    float u = -1, v = -1, dist = -1;
    ID3DXBuffer* all = nullptr;
    ASSERT_EQ(D3DXIntersect(mesh, &origin, &forward, &hit, &face, &u, &v, &dist, &all, &count), S_OK);
    EXPECT_TRUE(hit);
    EXPECT_EQ(face, 2u);
    EXPECT_FLOAT_EQ(dist, 1.0f) << "in units of the direction's length";
    // Face 2 is (-1,-1), (-1,1), (1,-1): u weighs the second corner, v the third.
    EXPECT_FLOAT_EQ(u, 0.25f);
    EXPECT_FLOAT_EQ(v, 0.25f);
    ASSERT_NE(all, nullptr);
    ASSERT_EQ(count, 2u);
    const auto* hits = static_cast<const D3DXINTERSECTINFO*>(all->GetBufferPointer());
    EXPECT_EQ(hits[0].FaceIndex, 0u);
    EXPECT_FLOAT_EQ(hits[0].Dist, 2.0f);
    EXPECT_EQ(hits[1].FaceIndex, 2u);
    all->Release();

    // Only the flag asked for; the back of a face counts too.
    const D3DXVECTOR3 behind(0.5f, 0.5f, 9.0f);
    const D3DXVECTOR3 backward(0, 0, -1);
    EXPECT_EQ(
        D3DXIntersect(mesh, &behind, &backward, &hit, nullptr, nullptr, nullptr, &dist, nullptr, nullptr),
        S_OK);
    EXPECT_TRUE(hit);
    EXPECT_FLOAT_EQ(dist, 5.0f);

    // A miss clears the flag and the hit list and leaves the rest alone.
    const D3DXVECTOR3 aside(3, 0, 0);
    dist = 42;
    face = 42;
    EXPECT_EQ(D3DXIntersect(mesh, &aside, &forward, &hit, &face, &u, &v, &dist, &all, &count), S_OK);
    EXPECT_FALSE(hit);
    EXPECT_EQ(all, nullptr);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(dist, 42.0f);
    EXPECT_EQ(face, 42u);

    EXPECT_EQ(
        D3DXIntersect(nullptr, &origin, &forward, &hit, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
        D3DERR_INVALIDCALL);
    EXPECT_FALSE(hit);
    mesh->Release();
}
