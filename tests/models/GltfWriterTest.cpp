#include "GltfWriter.h"
#include "GltfModelReader.h"
#include "ModelFile.h"
#include "ModelTestFiles.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <tiny_gltf.h>

namespace {

// One textured triangle placed twice: the mesh must be written once and read back at both places.
GltfExportScene TwoPlacedTriangles() {
    GltfExportModel model;
    model.name = "triangle";
    ModelData& d = model.data;
    d.positions = {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}};
    d.normals.assign(3, D3DXVECTOR3(0, 0, -1));
    d.texCoords = {{0, 0}, {0, 1}, {1, 0}};
    d.faces = {{0, 1, 2}};
    d.attributes = {0};
    ModelMaterial paint;
    paint.textureBytes = {0x89, 'P', 'N', 'G', 1, 2, 3};
    d.materials = {paint};
    GltfExportScene scene;
    scene.models.push_back(model);
    D3DXMATRIX moved, turned;
    D3DXMatrixTranslation(&moved, 5, 0, 2);
    D3DXMatrixRotationY(&turned, 0.5f);
    scene.nodes = {{"a", moved, 0}, {"b", turned, 0}};
    return scene;
}

std::vector<D3DXVECTOR3> Placed(const GltfExportScene& scene) {
    std::vector<D3DXVECTOR3> out;
    for (const GltfExportNode& node : scene.nodes)
        for (const D3DXVECTOR3& p : scene.models[node.model].data.positions) {
            D3DXVECTOR3 placed;
            D3DXVec3TransformCoord(&placed, &p, &node.world);
            out.push_back(placed);
        }
    return out;
}

TEST(GltfWriter, RoundTripsVerticesAndMatricesAndSharesTheMesh) {
    TempDir dir;
    const GltfExportScene scene = TwoPlacedTriangles();
    for (const std::string name : {"scene.glb", "scene.gltf"}) {
        std::vector<std::string> warnings;
        std::string error;
        ASSERT_TRUE(GltfWriter::Write(scene, dir.File(name), warnings, error)) << error;
        EXPECT_TRUE(warnings.empty());
        ModelData back;
        ASSERT_TRUE(ModelFile::Read(dir.File(name), back, error)) << error;
        const std::vector<D3DXVECTOR3> expected = Placed(scene);
        ASSERT_EQ(back.positions.size(), expected.size()) << name;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_NEAR(back.positions[i].x, expected[i].x, 1e-5f) << name;
            EXPECT_NEAR(back.positions[i].y, expected[i].y, 1e-5f) << name;
            EXPECT_NEAR(back.positions[i].z, expected[i].z, 1e-5f) << name;
        }
        EXPECT_EQ(back.materials.at(0).textureBytes, scene.models[0].data.materials[0].textureBytes) << name;

        tinygltf::TinyGLTF loader;
        // The texture's bytes are a stand-in, not an image to decode.
        loader.SetImageLoader([](tinygltf::Image*, const int, std::string*, std::string*, int, int,
                                 const unsigned char*, int, void*) { return true; },
                              nullptr);
        tinygltf::Model written;
        std::string warn;
        ASSERT_TRUE(name == "scene.glb" ? loader.LoadBinaryFromFile(&written, &error, &warn, dir.File(name))
                                        : loader.LoadASCIIFromFile(&written, &error, &warn, dir.File(name)));
        EXPECT_EQ(written.meshes.size(), 1u);
        ASSERT_EQ(written.nodes.size(), 2u);
        EXPECT_EQ(written.nodes[1].name, "b");
        EXPECT_EQ(written.nodes[0].matrix[14], -2.0) << "translation z mirrored";
    }
    EXPECT_TRUE(std::filesystem::exists(dir.File("scene.bin")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("scene_0.png")));
}

TEST(GltfWriter, TexturesGlTFCannotCarryAreLeftOutWithAWarning) {
    TempDir dir;
    GltfExportScene scene = TwoPlacedTriangles();
    scene.models[0].data.materials[0].textureBytes.clear();
    scene.models[0].data.materials[0].textureFile = "missing.png";
    std::vector<std::string> warnings;
    std::string error;
    ASSERT_TRUE(GltfWriter::Write(scene, dir.File("out.glb"), warnings, error)) << error;
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("missing.png"), std::string::npos);
    const std::string verdict = ValidateGltf(dir.File("out.glb"));
    if (verdict.rfind("skip:", 0) == 0)
        GTEST_SKIP() << verdict;
    EXPECT_EQ(verdict, "");
}

} // namespace
