// Loading X files as one D3DX mesh: frames placing their meshes, polygons cut into fans, vertices split
// by normals, adjacency, materials and subsets, failures; and the real files of the corpus.
#include "HeadlessDevice.h"
#include "TempDir.h"
#include "d3dx9mesh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string kCorpus = FSMITH_SOURCE_DIR "/../shared/testdata/x-corpus";
constexpr DWORD kNone = D3DX_ADJACENCY_NONE;

std::string XFile(const std::string& body) {
    return "xof 0303txt 0032\n" + body;
}

// Everything one load hands out, released at the end of the test.
struct Loaded {
    HRESULT result = E_FAIL;
    ID3DXMesh* mesh = nullptr;
    ID3DXBuffer* adjacency = nullptr;
    ID3DXBuffer* materials = nullptr;
    ID3DXBuffer* effects = nullptr;
    DWORD materialCount = 0;

    Loaded() = default;
    Loaded(const Loaded&) = delete;
    Loaded& operator=(const Loaded&) = delete;
    ~Loaded() {
        for (IUnknown* object : std::initializer_list<IUnknown*>{mesh, adjacency, materials, effects})
            if (object)
                object->Release();
    }

    const D3DXMATERIAL& Material(DWORD i) const {
        return static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer())[i];
    }
    DWORD Neighbour(DWORD face, DWORD edge) const {
        return static_cast<const DWORD*>(adjacency->GetBufferPointer())[face * 3 + edge];
    }
    std::vector<DWORD> Faces() const {
        std::vector<DWORD> corners;
        for (DWORD face = 0; face < mesh->GetNumFaces(); ++face)
            for (DWORD corner = 0; corner < 3; ++corner)
                corners.push_back(mesh->Index(face, corner));
        return corners;
    }
    std::vector<D3DXATTRIBUTERANGE> Table() const {
        DWORD size = 0;
        mesh->GetAttributeTable(nullptr, &size);
        std::vector<D3DXATTRIBUTERANGE> table(size);
        mesh->GetAttributeTable(table.data(), &size);
        return table;
    }
    // The normal of a vertex, for meshes whose format carries one right after the position.
    D3DXVECTOR3 Normal(DWORD vertex) const {
        void* data = nullptr;
        mesh->LockVertexBuffer(D3DLOCK_READONLY, &data);
        D3DXVECTOR3 normal;
        std::memcpy(&normal.x, static_cast<const char*>(data) + vertex * mesh->GetNumBytesPerVertex() + 12,
                    12);
        mesh->UnlockVertexBuffer();
        return normal;
    }
};

void ExpectNear(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected, const char* what) {
    EXPECT_NEAR(actual.x, expected.x, 1e-5f) << what;
    EXPECT_NEAR(actual.y, expected.y, 1e-5f) << what;
    EXPECT_NEAR(actual.z, expected.z, 1e-5f) << what;
}

// What every loaded mesh must satisfy whatever the file: corners index vertices, the attribute table
// covers every face once with that face's attribute, subset ids name materials, neighbours are mutual.
void ExpectConsistent(const Loaded& loaded) {
    ASSERT_NE(loaded.mesh, nullptr);
    ID3DXMesh& mesh = *loaded.mesh;
    for (DWORD index : loaded.Faces())
        ASSERT_LT(index, mesh.GetNumVertices());
    DWORD* attributes = nullptr;
    mesh.LockAttributeBuffer(D3DLOCK_READONLY, &attributes);
    DWORD covered = 0;
    for (const D3DXATTRIBUTERANGE& range : loaded.Table()) {
        EXPECT_EQ(range.FaceStart, covered);
        EXPECT_LT(range.AttribId, loaded.materialCount);
        for (DWORD face = range.FaceStart; face < range.FaceStart + range.FaceCount; ++face) {
            EXPECT_EQ(attributes[face], range.AttribId);
            for (DWORD corner = 0; corner < 3; ++corner) {
                EXPECT_GE(mesh.Index(face, corner), range.VertexStart);
                EXPECT_LT(mesh.Index(face, corner), range.VertexStart + range.VertexCount);
            }
        }
        covered += range.FaceCount;
    }
    EXPECT_EQ(covered, mesh.GetNumFaces());
    ASSERT_EQ(loaded.adjacency->GetBufferSize(), mesh.GetNumFaces() * 3 * sizeof(DWORD));
    for (DWORD face = 0; face < mesh.GetNumFaces(); ++face) {
        for (DWORD edge = 0; edge < 3; ++edge) {
            const DWORD other = loaded.Neighbour(face, edge);
            if (other == kNone)
                continue;
            ASSERT_LT(other, mesh.GetNumFaces());
            const bool mutual = loaded.Neighbour(other, 0) == face || loaded.Neighbour(other, 1) == face ||
                                loaded.Neighbour(other, 2) == face;
            EXPECT_TRUE(mutual) << "face " << face << " edge " << edge;
        }
    }
}

class D3DXLoadMeshFromX : public HeadlessDevice {
protected:
    void Load(const std::string& path, Loaded& out, DWORD options = D3DXMESH_MANAGED) {
        out.result = D3DXLoadMeshFromXA(path.c_str(), options, m_device, &out.adjacency, &out.materials,
                                        &out.effects, &out.materialCount, &out.mesh);
    }
    void LoadText(const std::string& body, Loaded& out, DWORD options = D3DXMESH_MANAGED) {
        Load(m_dir.Write("model.x", XFile(body)), out, options);
        ASSERT_EQ(out.result, S_OK) << D3DXGetLastXFileError();
        ExpectConsistent(out);
    }

    TempDir m_dir;
};

} // namespace

TEST_F(D3DXLoadMeshFromX, MeshesInNestedFramesArePlacedByTheirCombinedMatrices) {
    Loaded loaded;
    LoadText(R"(
Frame Root {
  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 10,0,0,1;; }
  Mesh A { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }
  Frame Child {
    FrameTransformMatrix { 0,1,0,0, -1,0,0,0, 0,0,1,0, 0,5,0,1;; }
    Mesh B { 3; 1;0;0;, 0;0;0;, 0;0;1;; 1; 3;0,1,2;;
      MeshNormals { 1; 1;0;0;; 1; 3;0,0,0;; }
    }
  }
}
Frame Stretched {
  FrameTransformMatrix { 2,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }
  Mesh C { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;
    MeshNormals { 1; 0.70710678;0.70710678;0;; 1; 3;0,0,0;; }
  }
}
)",
             loaded);
    ID3DXMesh& mesh = *loaded.mesh;
    EXPECT_EQ(mesh.GetFVF(), D3DFVF_XYZ | D3DFVF_NORMAL) << "one mesh with normals gives all of them one";
    ASSERT_EQ(mesh.GetNumVertices(), 9u);
    ASSERT_EQ(mesh.GetNumFaces(), 3u);
    ExpectNear(mesh.Position(1), D3DXVECTOR3(11, 0, 0), "A: the root's translation");
    // B's (1,0,0) turns to (0,1,0), moves up 5 in the child, then 10 along x in the root.
    ExpectNear(mesh.Position(3), D3DXVECTOR3(10, 6, 0), "B: child matrix, then parent matrix");
    ExpectNear(mesh.Position(5), D3DXVECTOR3(10, 5, 1), "B");
    ExpectNear(loaded.Normal(3), D3DXVECTOR3(0, 1, 0), "B's normal turns with the frame");
    ExpectNear(loaded.Normal(0), D3DXVECTOR3(0, 0, 0), "A has no normals");
    ExpectNear(mesh.Position(7), D3DXVECTOR3(2, 0, 0), "C: stretched");
    // Normals go through the inverse transpose, (0.5, 1, 0) once renormalised, not through the stretch.
    ExpectNear(loaded.Normal(7), D3DXVECTOR3(0.4472136f, 0.8944272f, 0), "C's normal");

    // Each mesh without a material list brings one default material, so each is its own subset.
    ASSERT_EQ(loaded.materialCount, 3u);
    const D3DMATERIAL9& plain = loaded.Material(2).MatD3D;
    EXPECT_EQ(plain.Diffuse, D3DXCOLOR(1, 1, 1, 1));
    EXPECT_EQ(plain.Ambient, D3DXCOLOR(0, 0, 0, 0));
    EXPECT_EQ(loaded.Material(2).pTextureFilename, nullptr);
    const auto table = loaded.Table();
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[1].AttribId, 1u);
    EXPECT_EQ(table[1].FaceStart, 1u);
    EXPECT_EQ(table[1].VertexStart, 3u);
    EXPECT_EQ(table[1].VertexCount, 3u);
}

TEST_F(D3DXLoadMeshFromX, PolygonsBecomeTriangleFans) {
    Loaded loaded;
    LoadText("Mesh { 6; 0;0;0;, 1;0;0;, 2;1;0;, 1;2;0;, 0;1;0;, 5;5;5;; 2; 5;0,1,2,3,4;, 4;0,1,2,3;; }",
             loaded);
    EXPECT_EQ(loaded.mesh->GetFVF(), D3DFVF_XYZ);
    EXPECT_EQ(loaded.mesh->GetNumVertices(), 6u) << "unused vertices stay";
    EXPECT_EQ(loaded.Faces(), (std::vector<DWORD>{0, 1, 2, 0, 2, 3, 0, 3, 4, 0, 1, 2, 0, 2, 3}));
}

TEST_F(D3DXLoadMeshFromX, VerticesSplitWhereCornersCarryDifferentNormals) {
    // Two triangles folded along the edge (1,2); texture coordinates and colours go with the position.
    const std::string mesh = R"(
Mesh {
  4; 0;0;0;, 1;0;0;, 0;1;0;, 1;1;1;;
  2; 3;0,1,2;, 3;2,1,3;;
  MeshNormals { 3; 0;0;-1;, 0;0;-1;, 0.57735;0.57735;-0.57735;; 2; 3;0,0,0;, 3;%s;; }
  MeshTextureCoords { 4; 0;0;, 1;0;, 0;1;, 1;1;; }
  MeshVertexColors { 1; 2; 1;0;0;1;;; }
})";
    const auto withNormals = [&](const char* corners) {
        std::string text = mesh;
        text.replace(text.find("%s"), 2, corners);
        return text;
    };
    struct Vertex {
        float x, y, z, nx, ny, nz;
        DWORD color;
        float u, v;
    };

    Loaded shared;
    LoadText(withNormals("1,1,1"), shared);
    EXPECT_EQ(shared.mesh->GetFVF(), D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    EXPECT_EQ(shared.mesh->GetNumVertices(), 4u) << "equal normals, even under different indices, share";

    Loaded split;
    LoadText(withNormals("2,2,2"), split);
    ASSERT_EQ(split.mesh->GetNumVertices(), 6u);
    // The file's vertices keep their places; the copies follow them in the order corners need them.
    EXPECT_EQ(split.Faces(), (std::vector<DWORD>{0, 1, 2, 4, 5, 3}));
    void* data = nullptr;
    split.mesh->LockVertexBuffer(D3DLOCK_READONLY, &data);
    const auto* vertices = static_cast<const Vertex*>(data);
    EXPECT_EQ(vertices[4].y, 1.0f);
    EXPECT_EQ(vertices[4].nz, vertices[3].nz);
    EXPECT_EQ(vertices[2].nz, -1.0f);
    EXPECT_EQ(vertices[4].u, 0.0f);
    EXPECT_EQ(vertices[4].v, 1.0f);
    EXPECT_EQ(vertices[4].color, 0xFFFF0000u) << "the copy keeps the vertex colour";
    EXPECT_EQ(vertices[5].color, 0xFFFFFFFFu) << "uncoloured vertices are white";
    EXPECT_EQ(vertices[5].u, 1.0f);
    split.mesh->UnlockVertexBuffer();

    // Split corners still join: the shared edge is found by position.
    for (const Loaded* loaded : {&shared, &split}) {
        EXPECT_EQ(loaded->Neighbour(0, 1), 1u);
        EXPECT_EQ(loaded->Neighbour(1, 0), 0u);
        for (DWORD edge : {0u, 2u}) {
            EXPECT_EQ(loaded->Neighbour(0, edge), kNone);
            EXPECT_EQ(loaded->Neighbour(1, edge + (edge == 0 ? 1 : 0)), kNone);
        }
    }
}

TEST_F(D3DXLoadMeshFromX, AdjacencyPairsOnlyFacesThatShareBothEndsOfAnEdge) {
    Loaded loaded;
    // A strip of two quads, a triangle touching it at one corner, and two slivers whose third corner
    // sits on another: one against the strip's edge (0,1), one alone.
    LoadText(R"(Mesh {
  12; 0;0;0;, 1;0;0;, 2;0;0;, 0;1;0;, 1;1;0;, 2;1;0;, 3;1;0;, 3;2;0;, 1;0;0;, 5;5;0;, 6;5;0;, 5;5;0;;
  5; 4;0,3,4,1;, 4;1,4,5,2;, 3;5,7,6;, 3;0,8,1;, 3;9,10,11;;
})",
             loaded);
    ASSERT_EQ(loaded.mesh->GetNumFaces(), 7u);
    // Faces: 0 (0,3,4), 1 (0,4,1), 2 (1,4,5), 3 (1,5,2), 4 (5,7,6), 5 (0,8,1), 6 (9,10,11).
    const std::vector<DWORD> expected = {
        kNone, kNone, 1,     // 0: (4,0) meets face 1
        0,     2,     5,     // 1: (0,4), (4,1), and (1,0) meets the sliver's (0,8)
        1,     kNone, 3,     // 2: (1,4), (5,1)
        2,     kNone, kNone, // 3: (1,5)
        kNone, kNone, kNone, // 4 touches face 3 only at a corner
        1,     kNone, kNone, // 5: (0,8) meets face 1, (8,1) is degenerate, (1,0) finds nobody left
        kNone, kNone, kNone, // 6 runs over (9,10) twice but is not its own neighbour
    };
    const auto* adjacency = static_cast<const DWORD*>(loaded.adjacency->GetBufferPointer());
    EXPECT_EQ(std::vector<DWORD>(adjacency, adjacency + 21), expected);
}

TEST_F(D3DXLoadMeshFromX, AdjacencyReadLateStillDescribesTheMeshAsLoaded) {
    Loaded loaded;
    Load(m_dir.Write("model.x", XFile("Mesh { 4; 0;0;0;, 0;1;0;, 1;1;0;, 1;0;0;; 2; 3;0,1,2;, 3;0,2,3;; }")),
         loaded);
    ASSERT_EQ(loaded.result, S_OK) << D3DXGetLastXFileError();
    EXPECT_EQ(loaded.adjacency->GetBufferSize(), 2 * 3 * sizeof(DWORD));
    // The caller rewrites the faces before anything reads the adjacency, which is worked out on demand.
    void* indices = nullptr;
    loaded.mesh->LockIndexBuffer(0, &indices);
    std::memset(indices, 0, 2 * 3 * sizeof(WORD));
    loaded.mesh->UnlockIndexBuffer();
    const auto* adjacency = static_cast<const DWORD*>(loaded.adjacency->GetBufferPointer());
    EXPECT_EQ(std::vector<DWORD>(adjacency, adjacency + 6),
              (std::vector<DWORD>{kNone, kNone, 1, 0, kNone, kNone}));
}

TEST_F(D3DXLoadMeshFromX, MaterialsMakeSubsetsInFileOrder) {
    Loaded loaded;
    LoadText(R"(
Mesh Halves {
  8; 0;1;0.5;, 1;1;0.5;, 0;-1;0.5;, 1;-1;0.5;, -1;1;0.5;, 0;1;0.5;, -1;-1;0.5;, 0;-1;0.5;;
  3; 3;0,1,2;, 4;4,5,7,6;, 3;2,1,3;;
  MeshMaterialList {
    2; 3; 1, 0, 1;;
    Material Red { 1;0;0;0.5;; 12.5; 0.25;0.5;0.75;; 0;0;0.125;; TextureFilename { "maps\wood.png"; } }
    Material Green { 0;1;0;1;; 0; 0;0;0;; 0;0;0;; }
  }
}
Mesh Extra {
  3; 0;0;9;, 1;0;9;, 0;1;9;; 1; 3;0,1,2;;
  MeshMaterialList { 1; 1; 0;; Material { 0;0;1;1;; 1; 1;1;1;; 0;0;0;; EffectInstance { "glow.fx"; EffectParamDWord { "Passes"; 2; } } } }
}
)",
             loaded);
    ASSERT_EQ(loaded.materialCount, 3u);
    const D3DXMATERIAL& red = loaded.Material(0);
    EXPECT_EQ(red.MatD3D.Diffuse, D3DXCOLOR(1, 0, 0, 0.5f));
    EXPECT_EQ(red.MatD3D.Ambient, D3DXCOLOR(0, 0, 0, 0)) << "X files have no ambient colour";
    EXPECT_EQ(red.MatD3D.Specular, D3DXCOLOR(0.25f, 0.5f, 0.75f, 1));
    EXPECT_EQ(red.MatD3D.Emissive, D3DXCOLOR(0, 0, 0.125f, 1));
    EXPECT_EQ(red.MatD3D.Power, 12.5f);
    ASSERT_NE(red.pTextureFilename, nullptr);
    EXPECT_STREQ(red.pTextureFilename, "maps/wood.png");
    const auto* begin = static_cast<const char*>(loaded.materials->GetBufferPointer());
    EXPECT_TRUE(red.pTextureFilename > begin &&
                red.pTextureFilename < begin + loaded.materials->GetBufferSize())
        << "the name lives in the material buffer";
    EXPECT_EQ(loaded.Material(1).pTextureFilename, nullptr);
    EXPECT_EQ(loaded.Material(2).MatD3D.Diffuse, D3DXCOLOR(0, 0, 1, 1));

    // Faces are grouped by subset, in file order within each: the quad (material 0), then the triangles.
    EXPECT_EQ(loaded.Faces(), (std::vector<DWORD>{4, 5, 7, 4, 7, 6, 0, 1, 2, 2, 1, 3, 8, 9, 10}));
    const auto table = loaded.Table();
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0].FaceCount, 2u);
    EXPECT_EQ(table[1].FaceStart, 2u);
    EXPECT_EQ(table[1].VertexStart, 0u);
    EXPECT_EQ(table[1].VertexCount, 4u);
    EXPECT_EQ(table[2].AttribId, 2u);

    const auto* effects = static_cast<const D3DXEFFECTINSTANCE*>(loaded.effects->GetBufferPointer());
    EXPECT_EQ(effects[0].pEffectFilename, nullptr);
    ASSERT_EQ(effects[0].NumDefaults, 5u) << "the colours, the power and the texture";
    EXPECT_STREQ(static_cast<const char*>(effects[0].pDefaults[4].pValue), "maps/wood.png");
    ASSERT_EQ(effects[2].NumDefaults, 1u);
    EXPECT_STREQ(effects[2].pEffectFilename, "glow.fx");
    EXPECT_EQ(*static_cast<const DWORD*>(effects[2].pDefaults[0].pValue), 2u);

    // Drawn in clip space, the quad covers the left half and the triangles the right half.
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    for (D3DTRANSFORMSTATETYPE state : {D3DTS_WORLD, D3DTS_VIEW, D3DTS_PROJECTION})
        m_device->SetTransform(state, &identity);
    m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    for (DWORD subset = 0; subset < 3; ++subset) {
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        ASSERT_EQ(loaded.mesh->DrawSubset(subset), S_OK);
        const auto pixels = BackBufferPixels();
        SCOPED_TRACE(subset);
        EXPECT_EQ(Pixel(pixels, kWidth / 4, kHeight / 2), subset == 0 ? 0xFFFFFFFFu : 0xFF000000u);
        EXPECT_EQ(Pixel(pixels, 3 * kWidth / 4, kHeight / 2), subset == 1 ? 0xFFFFFFFFu : 0xFF000000u);
    }
}

TEST_F(D3DXLoadMeshFromX, IndicesWidenForOptionsOrSize) {
    Loaded asked;
    LoadText("Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }", asked, D3DXMESH_MANAGED | D3DXMESH_32BIT);
    EXPECT_EQ(asked.mesh->GetOptions(), D3DXMESH_MANAGED | D3DXMESH_32BIT);
    EXPECT_EQ(asked.Faces(), (std::vector<DWORD>{0, 1, 2}));

    std::string big = "Mesh { 70000;";
    for (int i = 0; i < 70000; ++i)
        big += std::to_string(i) + ";0;0;" + (i + 1 < 70000 ? "," : ";");
    big += " 1; 3;0,69999,1;; }";
    Loaded wide;
    const std::string text = XFile(big);
    wide.result = D3DXLoadMeshFromXInMemory(text.data(), static_cast<DWORD>(text.size()), D3DXMESH_MANAGED,
                                            m_device, nullptr, nullptr, nullptr, nullptr, &wide.mesh);
    ASSERT_EQ(wide.result, S_OK) << D3DXGetLastXFileError();
    EXPECT_EQ(wide.mesh->GetOptions(), D3DXMESH_MANAGED | D3DXMESH_32BIT);
    EXPECT_EQ(wide.mesh->Index(0, 1), 69999u);
}

TEST_F(D3DXLoadMeshFromX, FailuresLeaveEveryOutputEmptyAndSayWhy) {
    const auto expectFailure = [&](const std::string& path, HRESULT expected, const char* message) {
        SCOPED_TRACE(path);
        auto* junk = reinterpret_cast<ID3DXBuffer*>(0x10);
        ID3DXBuffer *adjacency = junk, *materials = junk, *effects = junk;
        auto* mesh = reinterpret_cast<ID3DXMesh*>(0x10);
        DWORD count = 77;
        EXPECT_EQ(D3DXLoadMeshFromXA(path.c_str(), D3DXMESH_MANAGED, m_device, &adjacency, &materials,
                                     &effects, &count, &mesh),
                  expected);
        EXPECT_EQ(adjacency, nullptr);
        EXPECT_EQ(materials, nullptr);
        EXPECT_EQ(effects, nullptr);
        EXPECT_EQ(mesh, nullptr);
        EXPECT_EQ(count, 0u);
        EXPECT_NE(std::string(D3DXGetLastXFileError()).find(message), std::string::npos)
            << D3DXGetLastXFileError();
    };
    expectFailure(m_dir.File("absent.x"), E_FAIL, "absent.x");
    expectFailure(m_dir.Write("bad.x", XFile("Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,7;; }")),
                  D3DXERR_INVALIDDATA, "vertex 7");
    expectFailure(m_dir.Write("frames.x", XFile("Frame Empty { Frame Inner { } }")),
                  D3DXERR_LOADEDMESHASNODATA, "no mesh");
    expectFailure(m_dir.Write("lines.x", XFile("Mesh { 2; 0;0;0;, 1;0;0;; 1; 2;0,1;; }")),
                  D3DXERR_LOADEDMESHASNODATA, "no mesh");

    Loaded fine;
    LoadText("Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }", fine);
    EXPECT_STREQ(D3DXGetLastXFileError(), "") << "a good load clears the message";

    ID3DXMesh* mesh = nullptr;
    EXPECT_EQ(D3DXLoadMeshFromXA(nullptr, 0, m_device, nullptr, nullptr, nullptr, nullptr, &mesh),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXLoadMeshFromXA(m_dir.File("model.x").c_str(), 0, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, &mesh),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh, nullptr);
}

class D3DXLoadMeshFromXCorpus : public D3DXLoadMeshFromX {
protected:
    void SetUp() override {
        if (!std::filesystem::is_directory(kCorpus))
            GTEST_SKIP() << "no X file corpus at " << kCorpus;
        D3DXLoadMeshFromX::SetUp();
    }
    void LoadCorpus(const std::string& name, Loaded& out) {
        Load(kCorpus + "/" + name, out);
        ASSERT_EQ(out.result, S_OK) << name << ": " << D3DXGetLastXFileError();
        ExpectConsistent(out);
    }
};

TEST_F(D3DXLoadMeshFromXCorpus, TheCubeLoadsAlikeAsTextBinaryAndCompressed) {
    Loaded text;
    LoadCorpus("test_cube_text.x", text);
    EXPECT_EQ(text.mesh->GetFVF(), D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
    EXPECT_EQ(text.mesh->GetNumFaces(), 12u);
    EXPECT_GE(text.mesh->GetNumVertices(), 24u);
    ASSERT_EQ(text.materialCount, 1u);
    EXPECT_NEAR(text.Material(0).MatD3D.Diffuse.r, 0.639216f, 1e-6);
    for (const char* name : {"test_cube_binary.x", "test_cube_compressed.x"}) {
        SCOPED_TRACE(name);
        Loaded other;
        LoadCorpus(name, other);
        EXPECT_EQ(other.mesh->GetFVF(), text.mesh->GetFVF());
        ASSERT_EQ(other.mesh->GetNumVertices(), text.mesh->GetNumVertices());
        EXPECT_EQ(other.Faces(), text.Faces());
        for (DWORD vertex = 0; vertex < text.mesh->GetNumVertices(); ++vertex)
            ExpectNear(other.mesh->Position(vertex), text.mesh->Position(vertex), "position");
        ASSERT_EQ(other.Table().size(), 1u);
        EXPECT_EQ(other.Table()[0].FaceCount, 12u);
        ASSERT_EQ(other.materialCount, 1u);
        const D3DMATERIAL9& a = other.Material(0).MatD3D;
        const D3DMATERIAL9& b = text.Material(0).MatD3D;
        EXPECT_NEAR(a.Diffuse.r, b.Diffuse.r, 1e-6); // the text gives six decimals, the binary whole floats
        EXPECT_NEAR(a.Specular.g, b.Specular.g, 1e-6);
        EXPECT_EQ(a.Power, b.Power);
        EXPECT_EQ(other.adjacency->GetBufferSize(), text.adjacency->GetBufferSize());
        EXPECT_EQ(std::memcmp(other.adjacency->GetBufferPointer(), text.adjacency->GetBufferPointer(),
                              text.adjacency->GetBufferSize()),
                  0);
    }
}

TEST_F(D3DXLoadMeshFromXCorpus, EveryWellFormedFileLoads) {
    for (const char* name : {"test.x", "fromtruespace_bin32.x", "kwxport_test_cubewithvcolors.x",
                             "anim_test.x", "Testwuson.X", "BCN_Epileptic.X", "TestFormatDetection"}) {
        SCOPED_TRACE(name);
        Loaded loaded;
        LoadCorpus(name, loaded);
        EXPECT_GT(loaded.mesh->GetNumFaces(), 0u);
        EXPECT_GE(loaded.materialCount, 1u);
    }
    Loaded coloured;
    LoadCorpus("kwxport_test_cubewithvcolors.x", coloured);
    EXPECT_TRUE(coloured.mesh->GetFVF() & D3DFVF_DIFFUSE);
    for (DWORD i = 0; i < coloured.materialCount; ++i)
        if (const char* texture = coloured.Material(i).pTextureFilename) {
            EXPECT_EQ(std::string(texture).find('\\'), std::string::npos) << texture;
        }
}

TEST_F(D3DXLoadMeshFromXCorpus, MalformedFilesFailWithTheReadersMessage) {
    for (const char* name : {"malformed_skinweights_oob.x", "OV_GetNextToken"}) {
        SCOPED_TRACE(name);
        Loaded loaded;
        Load(kCorpus + "/" + name, loaded);
        EXPECT_EQ(loaded.result, D3DXERR_INVALIDDATA);
        EXPECT_EQ(loaded.mesh, nullptr);
        EXPECT_STRNE(D3DXGetLastXFileError(), "");
    }
}
