#include "TempDir.h"
#include "TestMeshes.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>

namespace {

// A quad and a triangle in two materials: one textured with a file beside the model, one with a
// texture that is nowhere.
constexpr const char* kTwoMaterialModel = R"(xof 0303txt 0032
Frame Root {
  Frame Child {
    Mesh Panel {
      4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;;
      3; 3;0,1,2;, 3;0,2,3;, 3;0,1,3;;
      MeshMaterialList {
        2; 3; 0,0,1;;
        Material Red { 1;0;0;1;; 8; 0.5;0.5;0.5;; 0;0;0;; TextureFilename { "wood.png"; } }
        Material Blue { 0;0;1;0.5;; 2; 0;0;0;; 0.25;0;0;; TextureFilename { "maps\missing.png"; } }
      }
    }
  }
}
AnimTicksPerSecond { 30; }
)";

// A closed cube of half size `half` with outward normals; faces wind clockwise seen from outside, so
// the default culling keeps them.
std::string CubeModel(float red, float green, float blue, float half = 1.0f) {
    const float normals[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    std::string positions, faces, normalList, normalFaces;
    for (int f = 0; f < 6; ++f) {
        const float* n = normals[f];
        const float up[3] = {0, std::abs(n[1]) > 0.5f ? 0.0f : 1.0f, std::abs(n[1]) > 0.5f ? 1.0f : 0.0f};
        const float right[3] = {n[1] * up[2] - n[2] * up[1], n[2] * up[0] - n[0] * up[2],
                                n[0] * up[1] - n[1] * up[0]};
        for (const auto& [a, b] : {std::pair{-1, 1}, std::pair{1, 1}, std::pair{1, -1}, std::pair{-1, -1}}) {
            for (int k = 0; k < 3; ++k)
                positions += std::to_string(half * (n[k] + right[k] * a + up[k] * b)) + ";";
            positions += ",";
        }
        const int v = 4 * f;
        faces += "3;" + std::to_string(v) + "," + std::to_string(v + 1) + "," + std::to_string(v + 2) +
                 ";,3;" + std::to_string(v) + "," + std::to_string(v + 2) + "," + std::to_string(v + 3) +
                 ";,";
        normalList += std::to_string(n[0]) + ";" + std::to_string(n[1]) + ";" + std::to_string(n[2]) + ";,";
        normalFaces += "3;" + std::to_string(f) + "," + std::to_string(f) + "," + std::to_string(f) + ";,";
        normalFaces += "3;" + std::to_string(f) + "," + std::to_string(f) + "," + std::to_string(f) + ";,";
    }
    auto list = [](std::string items) { return items.substr(0, items.size() - 1) + ";"; };
    return "xof 0303txt 0032\nMesh Cube {\n24;" + list(positions) + "\n12;" + list(faces) +
           "\nMeshNormals { 6;" + list(normalList) + " 12;" + list(normalFaces) +
           " }\nMeshMaterialList { 1; 1; 0;; Material { " + std::to_string(red) + ";" +
           std::to_string(green) + ";" + std::to_string(blue) + ";1;; 0; 0;0;0;; 0;0;0;; } }\n}\n";
}

std::string Corpus(const std::string& name) {
    return FSMITH_SOURCE_DIR "/../shared/testdata/x-corpus/" + name;
}

// Every line but those that name the file, its encoding or the float values of materials, which
// differ in their last digits between text and binary.
std::string CountLines(const std::string& report) {
    std::istringstream lines(report);
    std::string kept;
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("file:", 0) != 0 && line.rfind("format:", 0) != 0 && line.rfind("  material", 0) != 0)
            kept += line + "\n";
    return kept;
}

// Runs the tool in another working directory, as the editor finds map models relative to it.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& path)
        : m_previous(std::filesystem::current_path()) {
        std::filesystem::current_path(path);
    }
    ~WorkingDirectory() { std::filesystem::current_path(m_previous); }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    std::filesystem::path m_previous;
};

bool IsBlack(const QImage& image, int x, int y) {
    const QColor c = image.pixelColor(x, y);
    return c.red() == 0 && c.green() == 0 && c.blue() == 0;
}

// The mean column of the pixels in row y where `pick` holds, or -1 when there are none.
template <typename Pick> int MeanColumn(const QImage& image, int y, Pick pick) {
    int sum = 0, count = 0;
    for (int x = 0; x < image.width(); ++x)
        if (pick(image.pixelColor(x, y))) {
            sum += x;
            ++count;
        }
    return count ? sum / count : -1;
}

bool Reddish(const QColor& c) {
    return c.red() > 60 && c.blue() < 20;
}
bool Bluish(const QColor& c) {
    return c.blue() > 60 && c.red() < 20;
}

} // namespace

TEST(FsmithXInfo, ReportsMeshSubsetsMaterialsTexturesFramesAndTicks) {
    TempDir dir;
    const std::string model = dir.Write("panel.x", kTwoMaterialModel);
    dir.Write("wood.png", "not decoded, only looked for");
    const Result result = RunTool({"xinfo", model});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string& out = result.out;
    EXPECT_TRUE(Has(out, "format: text, 32-bit floats\nmeshes: 1\nvertices: 4\nfaces: 3\nsubsets: 2\n"
                         "  subset 0: 2 faces\n  subset 1: 1 faces\nmaterials: 2\n"))
        << out;
    EXPECT_TRUE(Has(out, "material 0 'Red': diffuse 1 0 0 1, power 8, specular 0.5 0.5 0.5, emissive 0 0 0\n"
                         "    texture 'wood.png' found at '" +
                             dir.File("wood.png") + "'\n"))
        << out;
    EXPECT_TRUE(Has(out, "material 1 'Blue': diffuse 0 0 1 0.5, power 2, specular 0 0 0, emissive 0.25 0 0\n"
                         "    texture 'maps\\missing.png' not found, looked for '" +
                             dir.File("missing.png") + "'\n"))
        << out;
    EXPECT_TRUE(Has(out, "frames: 2\n  'Root'\n    'Child' [1 mesh]\nbones: none\n")) << out;
    EXPECT_TRUE(Has(out, "ticks per second: 30\nanimation sets: 0\n")) << out;
}

TEST(FsmithXInfo, TextBinaryAndCompressedCubesReportTheSameCounts) {
    if (!std::filesystem::exists(Corpus("test_cube_text.x")))
        GTEST_SKIP() << "no shared X-file corpus";
    const Result text = RunTool({"xinfo", Corpus("test_cube_text.x")});
    const Result binary = RunTool({"xinfo", Corpus("test_cube_binary.x")});
    const Result compressed = RunTool({"xinfo", Corpus("test_cube_compressed.x")});
    ASSERT_EQ(text.status + binary.status + compressed.status, 0) << text.err << binary.err << compressed.err;
    EXPECT_TRUE(Has(text.out, "format: text, 32-bit floats\n"));
    EXPECT_TRUE(Has(binary.out, "format: binary, 32-bit floats\n"));
    EXPECT_TRUE(Has(compressed.out, "format: compressed binary, 32-bit floats\n"));
    EXPECT_TRUE(Has(text.out, "vertices: 24\nfaces: 12\nsubsets: 1\n  subset 0: 12 faces\nmaterials: 1\n"));
    EXPECT_EQ(CountLines(binary.out), CountLines(text.out));
    EXPECT_EQ(CountLines(compressed.out), CountLines(text.out));
}

TEST(FsmithXInfo, ReportsBonesAndAnimationKeysOfASkinnedModel) {
    if (!std::filesystem::exists(Corpus("anim_test.x")))
        GTEST_SKIP() << "no shared X-file corpus";
    const Result result = RunTool({"xinfo", Corpus("anim_test.x")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(
        Has(result.out, "mesh 'pCylinderShape1': 4 skin weights: 'joint1' 'joint2' 'joint3' 'joint4'\n"));
    EXPECT_TRUE(Has(result.out,
                    "ticks per second: 24\nanimation sets: 1\n"
                    "  set 'cylinder_test': 4 animations, 288 keys\n"
                    "    frame 'pCylinder1': 24 rotation, 24 scale, 24 position, 0 matrix keys\n"));
}

TEST(FsmithXInfo, MalformedAndMissingFilesFailWithTheReadersMessage) {
    TempDir dir;
    const Result truncated =
        RunTool({"xinfo", dir.Write("bad.x", "xof 0303txt 0032\nMesh {\n 3;\n 0;0;0;,\n")});
    EXPECT_EQ(truncated.status, 1);
    EXPECT_EQ(truncated.out, "");
    EXPECT_TRUE(Has(truncated.err, dir.File("bad.x") + ": line ")) << truncated.err;

    const Result missing = RunTool({"xinfo", dir.File("none.x")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(Has(missing.err, "none.x: cannot open the file")) << missing.err;

    EXPECT_EQ(RunTool({"xinfo"}).status, 2);
}

TEST(FsmithRender, RejectsBadCommandLines) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"render", "a.x"},
          {"render", "-o", "a.png"},
          {"render", "a.x", "-o"},
          {"render", "a.x", "-o", "a.png", "--size", "0x10"},
          {"render", "a.x", "-o", "a.png", "--size", "64"},
          {"render", "a.x", "-o", "a.png", "--yaw", "ten"},
          {"render", "a.x", "-o", "a.png", "--distance", "-1"},
          {"render", "a.x", "b.x", "-o", "a.png"},
          {"render", "a.x", "-o", "a.png", "--zoom", "2"},
          {"render", "a.x", "-o", "a.png", "--mode", "cel"},
          {"render", "a.x", "-o", "a.png", "--shadow-box", "1,1,1"},
          {"render", "a.x", "-o", "a.png", "--shadow-box", "1,1,5,2"}}) {
        const Result result = RunTool(args);
        EXPECT_EQ(result.status, 2) << args.back();
        EXPECT_TRUE(Has(result.err, "usage: fsmith")) << args.back();
    }
}

TEST(FsmithRender, DrawsAModelInTheMiddleOnBlack) {
    TempDir dir;
    const std::string model = dir.Write("cube.x", CubeModel(1, 1, 1));
    const Result result = RunTool(
        {"render", model, "-o", dir.File("cube.png"), "--size", "160x120", "--yaw", "0", "--pitch", "0"});
    ASSERT_EQ(result.status, 0) << result.err;
    const QImage image(QString::fromStdString(dir.File("cube.png")));
    ASSERT_EQ(image.size(), QSize(160, 120));
    // The face towards the camera gets no direct light, only the ambient half of its white.
    const QColor centre = image.pixelColor(80, 60);
    EXPECT_GT(centre.lightness(), 60);
    EXPECT_TRUE(IsBlack(image, 2, 2));
    EXPECT_TRUE(IsBlack(image, 157, 117));
}

TEST(FsmithRender, MapRecordsStandWhereTheirMatricesPutThem) {
    TempDir dir;
    dir.Write("red.x", CubeModel(1, 0, 0, 0.5f));
    dir.Write("blue.x", CubeModel(0, 0, 1, 0.5f));
    dir.Write("scene.map", "XFileName{red.x},Matrix(1,0,0,0,0,1,0,0,0,0,1,0,-3,0,0,1);\r\n"
                           "XFileName{blue.x},Matrix(1,0,0,0,0,1,0,0,0,0,1,0,3,0,0,1);\r\n");
    const WorkingDirectory inside(dir.Path());
    for (const auto& [yaw, redLeft] : {std::pair{"0", true}, std::pair{"180", false}}) {
        const Result result = RunTool({"render", "scene.map", "-o", "scene.png", "--size", "160x120", "--yaw",
                                       yaw, "--pitch", "0", "--distance", "10"});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "");
        const QImage image("scene.png");
        // 3 units aside at 9.5 in front of the camera: 46 pixels from the middle.
        const int red = MeanColumn(image, 60, Reddish), blue = MeanColumn(image, 60, Bluish);
        EXPECT_NEAR(red, redLeft ? 34 : 126, 4) << "yaw " << yaw;
        EXPECT_NEAR(blue, redLeft ? 126 : 34, 4) << "yaw " << yaw;
        EXPECT_TRUE(IsBlack(image, 80, 60));
    }
}

TEST(FsmithRender, AMissingModelIsListedAndTheRestIsDrawn) {
    TempDir dir;
    dir.Write("red.x", CubeModel(1, 0, 0, 0.5f));
    // Told from its contents, not its name.
    dir.Write("scene.txt", "XFileName{red.x},Matrix(1,0,0,0,0,1,0,0,0,0,1,0,-3,0,0,1);\r\n"
                           "XFileName{gone.x},Matrix(1,0,0,0,0,1,0,0,0,0,1,0,3,0,0,1);\r\n");
    const WorkingDirectory inside(dir.Path());
    const Result result = RunTool({"render", "scene.txt", "-o", "scene.png", "--size", "160x120", "--yaw",
                                   "0", "--pitch", "0", "--distance", "10"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(Has(result.err, "cannot load model 'gone.x' (record 2)")) << result.err;
    const QImage image("scene.png");
    EXPECT_NEAR(MeanColumn(image, 60, Reddish), 34, 4);
    EXPECT_TRUE(IsBlack(image, 126, 60));
}

TEST(FsmithRender, UnreadableInputsFailWithoutAPicture) {
    TempDir dir;
    const Result missing = RunTool({"render", dir.File("none.map"), "-o", dir.File("a.png")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(Has(missing.err, "cannot read")) << missing.err;

    const Result malformed =
        RunTool({"render", dir.Write("bad.x", "xof 0303txt 0032\nMesh {\n 3;\n"), "-o", dir.File("b.png")});
    EXPECT_EQ(malformed.status, 1);
    EXPECT_TRUE(Has(malformed.err, dir.File("bad.x") + ": line ")) << malformed.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("a.png")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("b.png")));
}

TEST(FsmithRender, EveryShadingModeDrawsTheModelWithEffectsFoundAboveTheTool) {
    TempDir dir;
    dir.Write("ball.x", TestMeshes::Sphere(1.0f, 24, 12, {0.9f, 0.5f, 0.2f}, {0.5f, 0.5f, 0.5f}));
    // No Data folder here: the effects are found above the tool itself.
    const WorkingDirectory inside(dir.Path());
    std::map<std::string, QRgb> centres;
    for (const char* mode : {"fixed", "base", "toon", "spemap", "shadow"}) {
        const Result result =
            RunTool({"render", "ball.x", "-o", "ball.png", "--size", "96x96", "--mode", mode});
        ASSERT_EQ(result.status, 0) << mode << ": " << result.err;
        const QImage image(QString::fromStdString(dir.File("ball.png")));
        ASSERT_EQ(image.size(), QSize(96, 96));
        EXPECT_FALSE(IsBlack(image, 48, 48)) << mode;
        EXPECT_TRUE(IsBlack(image, 1, 1)) << mode;
        centres[mode] = image.pixel(48, 48);
    }
    EXPECT_NE(centres["spemap"], centres["base"]) << "the reflection shows";
}

TEST(FsmithRender, ShadowModeDarkensTheFloorWhereTheLightIsBlocked) {
    TempDir dir;
    dir.Write("floor.x", TestMeshes::Floor(6.0f, 0.0f, {0.8f, 0.8f, 0.8f}));
    dir.Write("box.x", TestMeshes::Box(-0.75f, 2.0f, -0.75f, 0.75f, 3.0f, 0.75f, {0.9f, 0.3f, 0.3f}));
    dir.Write("scene.map", "XFileName{floor.x},Matrix(1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1);\r\n"
                           "XFileName{box.x},Matrix(1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1);\r\n");
    const WorkingDirectory inside(dir.Path());
    // From straight above: x runs to the right and z up the picture, 6.2 units from the middle to the top.
    const Result result =
        RunTool({"render", "scene.map", "-o", "scene.png", "--size", "120x120", "--mode", "shadow", "--yaw",
                 "0", "--pitch", "90", "--distance", "15", "--shadow-box", "20,20,0.1,100"});
    ASSERT_EQ(result.status, 0) << result.err;
    const QImage image(QString::fromStdString(dir.File("scene.png")));
    const auto pixelAt = [&](float x, float z) {
        const float scale = 60.0f / (15.0f * std::tan(22.5f * 3.14159265f / 180.0f));
        return QColor(image.pixel(static_cast<int>(60 + x * scale), static_cast<int>(60 - z * scale)));
    };
    // The light runs along (1, -1, 0): the box 2 to 3 units up throws its shadow 2 to 3 units along +x.
    const int shadow = pixelAt(2.5f, 0.0f).lightness();
    for (const auto& [x, z] : {std::pair{-2.5f, 0.0f}, std::pair{0.0f, -3.0f}, std::pair{2.5f, 3.0f}})
        EXPECT_GT(pixelAt(x, z).lightness(), shadow + 50) << x << ", " << z;
}
