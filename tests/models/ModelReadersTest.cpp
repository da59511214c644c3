#include "GltfModelReader.h"
#include "Handedness.h"
#include "ModelFile.h"
#include "ModelTestFiles.h"
#include "ObjModelReader.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Check = std::function<void(const ModelData&)>;

void ExpectUnitNormals(const ModelData& m) {
    ASSERT_EQ(m.normals.size(), m.positions.size());
    for (const D3DXVECTOR3& n : m.normals)
        EXPECT_NEAR(D3DXVec3Length(&n), 1.0f, 1e-5f);
}

const char* kSquare = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n";

struct ObjCase {
    const char* name;
    std::string obj, mtl;
    std::size_t faces;
    Check check;
};

TEST(ObjModelReader, ReadsEachConstruct) {
    const std::vector<ObjCase> cases = {
        {"a quad is fanned into two triangles", std::string(kSquare) + "f 1 2 3 4\n", "", 2, nullptr},
        {"negative indices count back from the last vertex",
         std::string(kSquare) + "v 0.5 2 0\nf -5 -4 -3 -2 -1\n", "", 3, nullptr},
        {"groups and objects are placed together",
         std::string(kSquare) + "o first\ng a\nf 1 2 3\no second\ng b\nf 1 3 4\n", "", 2, nullptr},
        {"usemtl takes Kd Ks Ns Ke d and map_Kd",
         std::string("mtllib m.mtl\n") + kSquare + "usemtl glass\nf 1 2 3\n",
         "newmtl glass\nKd 0.1 0.2 0.3\nKs 0.4 0.5 0.6\nNs 12\nKe 0.7 0.8 0.9\nd 0.5\nmap_Kd tex/glass.png\n",
         1,
         [](const ModelData& m) {
             const ModelMaterial& g = m.materials.at(m.attributes[0]);
             EXPECT_EQ(g.diffuse, (std::array<float, 4>{0.1f, 0.2f, 0.3f, 0.5f}));
             EXPECT_EQ(g.specular, (std::array<float, 3>{0.4f, 0.5f, 0.6f}));
             EXPECT_EQ(g.power, 12.0f);
             EXPECT_EQ(g.emissive, (std::array<float, 3>{0.7f, 0.8f, 0.9f}));
             EXPECT_EQ(g.alphaMode, ModelMaterial::AlphaMode::Blend);
             EXPECT_EQ(g.textureFile, "tex/glass.png");
         }},
        {"faces without normals are shaded flat, facing the editor's camera at -Z",
         std::string(kSquare) + "f 1 2 3\n", "", 1,
         [](const ModelData& m) {
             ExpectUnitNormals(m);
             EXPECT_NEAR(m.normals[0].z, -1.0f, 1e-6f);
         }},
        {"given normals are kept, mirrored", std::string(kSquare) + "vn 0 0.6 0.8\nf 1//1 2//1 3//1\n", "", 1,
         [](const ModelData& m) { EXPECT_NEAR(m.normals[0].z, -0.8f, 1e-6f); }},
        {"texture coordinates count v down from the top of the image",
         std::string(kSquare) + "vt 0.25 0.75\nf 1/1 2/1 3/1\n", "", 1,
         [](const ModelData& m) { EXPECT_FLOAT_EQ(m.texCoords[m.faces[0][0]].y, 0.25f); }},
    };
    for (const ObjCase& c : cases) {
        ModelData model;
        std::string error;
        ASSERT_TRUE(ObjModelReader::ReadText(c.obj, c.mtl, model, error)) << c.name << ": " << error;
        EXPECT_EQ(model.faces.size(), c.faces) << c.name;
        for (const auto& face : model.faces)
            for (const DWORD corner : face)
                ASSERT_LT(corner, model.positions.size()) << c.name;
        ExpectUnitNormals(model);
        if (c.check)
            c.check(model);
    }
}

struct GltfCase {
    const char* name;
    QuadGltf file;
    Check check;
};

TEST(GltfModelReader, ReadsEachConstruct) {
    QuadGltf moved, flat, painted, masked, animated;
    moved.node = R"(,"translation":[1,2,3],"scale":[2,2,2])";
    painted.material =
        R"(,"pbrMetallicRoughness":{"baseColorFactor":[0.1,0.2,0.3,0.4]},"emissiveFactor":[0.5,0.6,0.7],"alphaMode":"BLEND")";
    masked.material = R"(,"alphaMode":"MASK","alphaCutoff":0.3)";
    animated.top = R"("skins":[{"joints":[0]}],"animations":[{"channels":[],"samplers":[]}],)";
    const std::vector<GltfCase> cases = {
        {"node scale and translation place the vertices", moved,
         [](const ModelData& m) {
             // (1, 1, 0.5) scaled by 2 and moved by (1, 2, 3) is (3, 4, 4); Z mirrored: -4.
             EXPECT_TRUE(std::any_of(m.positions.begin(), m.positions.end(), [](const D3DXVECTOR3& p) {
                 return p.x == 3.0f && p.y == 4.0f && p.z == -4.0f;
             }));
         }},
        {"a primitive without normals is shaded flat", flat,
         [](const ModelData& m) { EXPECT_NEAR(m.normals[0].z, -1.0f, 1e-6f); }},
        {"base colour, emissive and blend", painted,
         [](const ModelData& m) {
             const ModelMaterial& p = m.materials.at(0);
             EXPECT_EQ(p.diffuse, (std::array<float, 4>{0.1f, 0.2f, 0.3f, 0.4f}));
             EXPECT_EQ(p.emissive, (std::array<float, 3>{0.5f, 0.6f, 0.7f}));
             EXPECT_EQ(p.alphaMode, ModelMaterial::AlphaMode::Blend);
         }},
        {"mask keeps its cutoff", masked,
         [](const ModelData& m) {
             EXPECT_EQ(m.materials.at(0).alphaMode, ModelMaterial::AlphaMode::Mask);
             EXPECT_FLOAT_EQ(m.materials.at(0).alphaCutoff, 0.3f);
         }},
        {"skins and animations are listed as left out", animated,
         [](const ModelData& m) {
             EXPECT_EQ(m.leftOut, (std::vector<std::string>{"1 skin", "1 animation"}));
         }},
    };
    for (const GltfCase& c : cases) {
        const std::string text = c.file.Text();
        ModelData model;
        std::string error;
        ASSERT_TRUE(GltfModelReader::ReadMemory(reinterpret_cast<const unsigned char*>(text.data()),
                                                text.size(), "", model, error))
            << c.name << ": " << error;
        EXPECT_EQ(model.faces.size(), 2u) << c.name;
        ExpectUnitNormals(model);
        c.check(model);
    }
}

TEST(GltfModelReader, ExternalBufferEmbeddedBufferAndGlbGiveTheSameMesh) {
    TempDir dir;
    QuadGltf external, binary;
    external.uri = "quad.bin";
    dir.Write("quad.bin", QuadBuffer());
    binary.uri = "";
    std::string glbJson = binary.Text();
    ReplaceAll(glbJson, R"(,"uri":"")", "");
    const std::vector<std::string> files = {dir.Write("embedded.gltf", QuadGltf().Text()),
                                            dir.Write("external.gltf", external.Text()),
                                            dir.Write("binary.glb", Glb(glbJson, QuadBuffer()))};
    std::vector<std::vector<D3DXVECTOR3>> positions;
    for (const std::string& file : files) {
        ModelData model;
        std::string error;
        ASSERT_TRUE(ModelFile::Read(file, model, error)) << error;
        positions.push_back(model.positions);
    }
    EXPECT_EQ(positions[0], positions[1]);
    EXPECT_EQ(positions[0], positions[2]);
}

// The picture test (tools) shows the letter unmirrored; this pins the rule itself.
TEST(Handedness, MirrorsZFlipsTheWindingAndConvertsMatricesBothWays) {
    ModelData model;
    model.positions = {{0, 0, 1}, {1, 0, 1}, {0, 1, 1}};
    model.normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    model.faces = {{0, 1, 2}};
    Handedness::Mirror(model);
    EXPECT_EQ(model.positions[1], D3DXVECTOR3(1, 0, -1));
    EXPECT_EQ(model.normals[0], D3DXVECTOR3(0, 0, -1));
    EXPECT_EQ(model.faces[0], (std::array<DWORD, 3>{0, 2, 1}));

    D3DXMATRIX world, rotation;
    D3DXMatrixRotationYawPitchRoll(&rotation, 0.3f, 0.2f, 0.1f);
    D3DXMatrixTranslation(&world, 1, 2, 3);
    D3DXMatrixMultiply(&world, &rotation, &world);
    const std::array<float, 16> gltf = Handedness::ToGltfMatrix(world);
    EXPECT_EQ((std::array<float, 3>{gltf[12], gltf[13], gltf[14]}), (std::array<float, 3>{1, 2, -3}));
    EXPECT_EQ(Handedness::FromGltfMatrix(gltf), world);
}

struct BadFile {
    const char* name;
    std::string file, bytes, expected;
};

TEST(ModelFile, BadFilesFailWithTheFileAndTheFault) {
    QuadGltf missing, outOfRange, extension, lines, pastEnd;
    missing.uri = "nowhere.bin";
    outOfRange.count = "6";
    std::string badIndices = QuadBuffer();
    badIndices[48 + 4] = 9; // index 2 becomes 9 of 4 vertices
    outOfRange.uri = "data:application/octet-stream;base64," + Base64(badIndices);
    extension.top =
        R"("extensionsUsed":["KHR_draco_mesh_compression"],"extensionsRequired":["KHR_draco_mesh_compression"],)";
    lines.primitive = R"(,"mode":1)";
    pastEnd.count = "60";
    const std::string glb = Glb(R"({"asset":{"version":"2.0"},"buffers":[{"byteLength":60}]})", QuadBuffer());
    const std::vector<BadFile> cases = {
        {"missing buffer", "a.gltf", missing.Text(), "nowhere.bin"},
        {"index out of range", "b.gltf", outOfRange.Text(), "index 9 is out of range"},
        {"truncated glb", "c.glb", glb.substr(0, 40), "c.glb"},
        {"required extension", "d.gltf", extension.Text(), "KHR_draco_mesh_compression"},
        {"lines", "e.gltf", lines.Text(), "only triangles"},
        {"accessor past its buffer", "f.gltf", pastEnd.Text(), "past the end"},
        {"not json", "g.gltf", "{", "g.gltf"},
        {"obj face past its vertices", "h.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 7\n", "vertex 7 of 3"},
        {"obj without faces", "i.obj", "v 0 0 0\n", "no faces"},
    };
    TempDir dir;
    for (const BadFile& c : cases) {
        ModelData model;
        std::string error;
        EXPECT_FALSE(ModelFile::Read(dir.Write(c.file, c.bytes), model, error)) << c.name;
        EXPECT_NE(error.find(c.file), std::string::npos) << c.name << ": " << error;
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.name << ": " << error;
        EXPECT_TRUE(model.positions.empty()) << c.name;
    }
}

} // namespace
