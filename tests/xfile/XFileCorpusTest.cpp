// Real X files written by other programs: they load, agree across their text, binary and compressed
// forms, and the malformed ones fail with a message.
#include "XFileModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

namespace {

const std::string kCorpus = FSMITH_SOURCE_DIR "/../shared/testdata/x-corpus";

class XFileCorpus : public testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::is_directory(kCorpus))
            GTEST_SKIP() << "no X file corpus at " << kCorpus;
    }

    static XFileModel Load(const std::string& name) {
        XFileModel model;
        std::string error;
        EXPECT_TRUE(XFileModel::Load(kCorpus + "/" + name, model, error)) << error;
        return model;
    }

    static std::string LoadError(const std::string& name) {
        XFileModel model;
        std::string error;
        EXPECT_FALSE(XFileModel::Load(kCorpus + "/" + name, model, error));
        return error;
    }
};

const XFileMesh& CubeMesh(const XFileModel& model) {
    static const XFileMesh none;
    if (model.frames.size() != 1 || model.frames[0].children.size() != 1 ||
        model.frames[0].children[0].meshes.size() != 1) {
        ADD_FAILURE() << "the cube is not Root > Cube > mesh";
        return none;
    }
    return *model.frames[0].children[0].meshes[0];
}

template <class A> void ExpectNear(const A& a, const A& b, const char* what) {
    ASSERT_EQ(a.size(), b.size()) << what;
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t k = 0; k < a[i].size(); ++k)
            ASSERT_NEAR(a[i][k], b[i][k], 1e-5) << what << " " << i;
}

TEST_F(XFileCorpus, TheCubeReadsAlikeAsTextBinaryAndCompressed) {
    const XFileModel text = Load("test_cube_text.x");
    const XFileMesh& cube = CubeMesh(text);
    ASSERT_EQ(cube.positions.size(), 24u);
    EXPECT_EQ(cube.positions[0], (std::array<float, 3>{-1, -1, 1}));
    EXPECT_EQ(cube.FaceCount(), 12u);
    EXPECT_EQ(cube.normals.size(), 24u);
    EXPECT_EQ(cube.textureCoords.size(), 24u);
    ASSERT_EQ(cube.materials.size(), 1u);
    EXPECT_EQ(cube.materials[0].name, "Material");
    EXPECT_NEAR(cube.materials[0].faceColor[0], 0.639216f, 1e-6);
    EXPECT_NEAR(cube.materials[0].power, 96.07843f, 1e-4);
    EXPECT_EQ(cube.faceMaterials, std::vector<std::uint32_t>(12, 0));
    ASSERT_EQ(cube.skinWeights.size(), 1u);
    EXPECT_EQ(cube.skinWeights[0].boneName, "Cube");
    EXPECT_EQ(cube.skinWeights[0].vertexIndices.size(), 24u);
    EXPECT_EQ(text.ticksPerSecond, 24u);
    EXPECT_EQ(text.frames[0].transform[6], 1.0f);

    for (const char* name : {"test_cube_binary.x", "test_cube_compressed.x"}) {
        SCOPED_TRACE(name);
        const XFileModel other = Load(name);
        const XFileMesh& same = CubeMesh(other);
        ExpectNear(same.positions, cube.positions, "positions");
        ExpectNear(same.normals, cube.normals, "normals");
        ExpectNear(same.textureCoords, cube.textureCoords, "texture coordinates");
        EXPECT_EQ(same.faceSizes, cube.faceSizes);
        EXPECT_EQ(same.faceIndices, cube.faceIndices);
        EXPECT_EQ(same.normalFaceIndices, cube.normalFaceIndices);
        EXPECT_EQ(same.faceMaterials, cube.faceMaterials);
        EXPECT_EQ(same.duplicationIndices, cube.duplicationIndices);
        ASSERT_EQ(same.materials.size(), 1u);
        EXPECT_NEAR(same.materials[0].faceColor[0], cube.materials[0].faceColor[0], 1e-6);
        ASSERT_EQ(same.skinWeights.size(), 1u);
        EXPECT_EQ(same.skinWeights[0].boneName, "Cube");
        EXPECT_EQ(same.skinWeights[0].vertexIndices, cube.skinWeights[0].vertexIndices);
        EXPECT_EQ(other.ticksPerSecond, 24u);
        EXPECT_EQ(other.frames[0].transform, text.frames[0].transform);
    }
}

TEST_F(XFileCorpus, ExportedModelsLoadWithTheirParts) {
    const XFileModel anim = Load("anim_test.x");
    ASSERT_EQ(anim.frames.size(), 3u);
    const XFileMesh& cylinder = *anim.frames[0].meshes.at(0);
    EXPECT_EQ(cylinder.positions.size(), 1720u);
    EXPECT_EQ(cylinder.skinWeights.size(), 4u) << "four bones, though only two frames exist";
    EXPECT_EQ(cylinder.declElements.size(), 2u);
    EXPECT_EQ(anim.ticksPerSecond, 24u);
    ASSERT_EQ(anim.animationSets.size(), 1u);
    EXPECT_EQ(anim.animationSets[0].animations.size(), 4u);

    const XFileModel bcn = Load("BCN_Epileptic.X");
    EXPECT_EQ(bcn.frames.size(), 4u);
    ASSERT_EQ(bcn.animationSets.size(), 1u);
    EXPECT_EQ(bcn.animationSets[0].animations.size(), 57u);
    EXPECT_TRUE(bcn.animationSets[0].animations[0].hasOptions);

    const XFileModel wuson = Load("Testwuson.X");
    ASSERT_EQ(wuson.animationSets.size(), 3u);
    EXPECT_EQ(wuson.animationSets[1].name, "Wuson_Walk");
    EXPECT_EQ(wuson.ticksPerSecond, 4800u);
    EXPECT_EQ(wuson.frames.at(0).meshes.at(0)->skinWeights.size(), 37u);

    const XFileModel truespace = Load("fromtruespace_bin32.x");
    const XFileMesh& dino = *truespace.frames.at(0).meshes.at(0);
    EXPECT_EQ(dino.positions.size(), 4132u);
    EXPECT_EQ(dino.FaceCount(), 6656u);

    const XFileModel colours = Load("kwxport_test_cubewithvcolors.x");
    const XFileMesh& box = *colours.frames.at(0).meshes.at(0);
    EXPECT_TRUE(box.hasVertexColors);
    ASSERT_EQ(box.materials.size(), 3u);
    EXPECT_EQ(box.materials[1].textureFilename,
              "C:\\\\code\\\\sourceforge\\\\kwxport\\\\trunkMerged\\\\test\\\\data\\\\top.tga");

    const XFileModel maya = Load("test.x");
    EXPECT_EQ(maya.frames.at(0).meshes.at(0)->materials.at(0).textureFilename, ".\\\\test.png");
    EXPECT_EQ(Load("TestFormatDetection").frames.at(0).meshes.at(0)->positions,
              maya.frames[0].meshes[0]->positions);
}

TEST_F(XFileCorpus, MalformedFilesFailWithAClearMessage) {
    const std::string skin = LoadError("malformed_skinweights_oob.x");
    EXPECT_NE(
        skin.find(
            "line 218: SkinWeights for bone 'Cube' weights vertex 1000000, but the mesh has 24 vertices"),
        std::string::npos)
        << skin;
    const std::string truncated = LoadError("OV_GetNextToken");
    EXPECT_NE(truncated.find("byte offset 20: a compressed block does not inflate"), std::string::npos)
        << truncated;
    EXPECT_NE(LoadError("no such file.x").find("cannot open the file"), std::string::npos);
}

} // namespace
