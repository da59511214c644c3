// Small inputs that once made loading quadratic: one mesh named by reference thousands of times, and
// thousands of faces meeting at one edge. Each runs under a CTest time-out far below what the old code
// took (tests/CMakeLists.txt); the limits a file may expand to are checked here too.
#include "FaceAdjacency.h"
#include "HeadlessDevice.h"
#include "XFileModel.h"
#include "XFileModelBudget.h"
#include "d3dx9mesh.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// A top-level mesh "M" with `vertices` vertices on a line and `triangles` faces, `materials` references
// to one material, then a frame naming the mesh `references` times.
std::string ReferencedMesh(std::uint32_t vertices, std::uint32_t triangles, std::uint32_t references,
                           std::uint32_t materials = 1) {
    std::string text = "xof 0303txt 0032\nMaterial Red { 1;0;0;1;; 0; 0;0;0;; 0;0;0;; }\nMesh M {\n" +
                       std::to_string(vertices) + ";\n";
    for (std::uint32_t v = 0; v < vertices; ++v)
        text += std::to_string(v) + ";" + std::to_string(v % 2) + ";0;" + (v + 1 < vertices ? "," : ";\n");
    text += std::to_string(triangles) + ";\n";
    for (std::uint32_t f = 0; f < triangles; ++f)
        text += "3;0,1,2;" + std::string(f + 1 < triangles ? "," : ";\n");
    text += "MeshMaterialList { " + std::to_string(materials) + "; 1; 0;;";
    for (std::uint32_t m = 0; m < materials; ++m)
        text += " {Red}";
    text += " }\n}\nFrame Copies {\n";
    for (std::uint32_t r = 0; r < references; ++r)
        text += "{M}";
    return text + "\n}\n";
}

class XFileExpansion : public HeadlessDevice {
protected:
    HRESULT Load(const std::string& text, ID3DXBuffer** adjacency = nullptr) {
        if (m_mesh)
            m_mesh->Release();
        m_mesh = nullptr;
        return D3DXLoadMeshFromXInMemory(text.data(), static_cast<DWORD>(text.size()), D3DXMESH_MANAGED,
                                         m_device, adjacency, nullptr, nullptr, nullptr, &m_mesh);
    }
    void TearDown() override {
        if (m_mesh)
            m_mesh->Release();
        HeadlessDevice::TearDown();
    }
    ID3DXMesh* m_mesh = nullptr;
};

TEST_F(XFileExpansion, ReferencesShareOneMeshAndCombineInLinearTime) {
    // The old reader copied the mesh at every reference and the combined mesh grew by exact reserves:
    // minutes here.
    constexpr std::uint32_t kReferences = 10000;
    const std::string text = ReferencedMesh(100, 50, kReferences);
    XFileModel model;
    std::string error;
    ASSERT_TRUE(XFileModel::LoadFromMemory({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()},
                                           model, error))
        << error;
    ASSERT_EQ(model.frames.at(0).meshes.size(), kReferences);
    EXPECT_EQ(model.frames[0].meshes.back(), model.meshes.at(0)) << "every reference shares the one mesh";

    ASSERT_EQ(Load(text), S_OK) << D3DXGetLastXFileError();
    EXPECT_EQ(m_mesh->GetNumVertices(), (kReferences + 1) * 100);
    EXPECT_EQ(m_mesh->GetNumFaces(), (kReferences + 1) * 50);
}

TEST(XFileExpansionAdjacency, FacesSharingOneEdgeTheSameWayPairInFileOrder) {
    // Every face runs over the edge (0,1) the same way round; the old pairing tried all pairs of them.
    constexpr DWORD kFaces = 200000;
    std::vector<D3DXVECTOR3> positions = {{0, 0, 0}, {1, 0, 0}};
    std::vector<std::array<DWORD, 3>> faces;
    for (DWORD face = 0; face < kFaces; ++face) {
        positions.emplace_back(0.0f, static_cast<float>(face + 1), 1.0f);
        faces.push_back({0, 1, face + 2});
    }
    const std::vector<DWORD> adjacency = ComputeFaceAdjacency(positions, faces);
    std::size_t wrong = 0;
    for (DWORD face = 0; face < kFaces; ++face)
        wrong += adjacency[face * 3] != (face ^ 1u) || adjacency[face * 3 + 1] != D3DX_ADJACENCY_NONE ||
                 adjacency[face * 3 + 2] != D3DX_ADJACENCY_NONE;
    EXPECT_EQ(wrong, 0u) << "faces pair as they come: 0 with 1, 2 with 3, ...";
}

TEST_F(XFileExpansion, FilesThatWouldExpandPastALimitFailNamingIt) {
    using Budget = XFileModelBudget;
    const struct {
        std::string file;
        std::string named;
    } cases[] = {
        // Placed 2049 times (once where it is defined): one placement more than the limit allows.
        {ReferencedMesh(4096, 1, 2048), "more than " + std::to_string(Budget::kMaxVertices) + " vertices"},
        {ReferencedMesh(3, 4096, 2048), "more than " + std::to_string(Budget::kMaxFaces) + " faces"},
        {ReferencedMesh(3, 1, 2048, 32), "more than " + std::to_string(Budget::kMaxMaterials) + " materials"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Load(c.file), D3DXERR_INVALIDDATA) << c.named;
        EXPECT_EQ(m_mesh, nullptr);
        EXPECT_NE(std::string(D3DXGetLastXFileError()).find(c.named), std::string::npos)
            << D3DXGetLastXFileError();
    }
}

} // namespace
