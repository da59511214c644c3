#include "ModelTestFiles.h"
#include "TempDir.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <QImage>

namespace {

const std::string kSample = FSMITH_SOURCE_DIR "/Data/Sample/";

struct Lit {
    int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
};

// The box of the pixels that are not black.
Lit LitBox(const QImage& image) {
    Lit box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) > 20) {
                box = {std::min(box.left, x), std::max(box.right, x), std::min(box.top, y),
                       std::max(box.bottom, y)};
            }
    return box;
}

// Mean column of the lit pixels in rows [from, to).
double MeanLitColumn(const QImage& image, int from, int to) {
    double sum = 0;
    int count = 0;
    for (int y = from; y < to; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) > 20) {
                sum += x;
                ++count;
            }
    return count == 0 ? -1 : sum / count;
}

// Seen from the front (the editor's camera at -Z), F's lowest third is its bar alone and L's top
// third too: both stand left of the letter's middle. A mirrored model puts them right.
TEST(ModelFormats, LettersAreDrawnUnmirroredFromTheFront) {
    TempDir dir;
    for (const auto& [file, topThird] :
         {std::pair{"letter_F.gltf", false}, std::pair{"letter_L.obj", true}}) {
        const Result result = RunTool({"render", kSample + file, "-o", dir.File("letter.png"), "--size",
                                       "120x120", "--yaw", "0", "--pitch", "0"});
        ASSERT_EQ(result.status, 0) << result.err;
        const QImage image(QString::fromStdString(dir.File("letter.png")));
        const Lit box = LitBox(image);
        ASSERT_GT(box.right - box.left, 10) << file << ": nothing drawn (faces culled?)";
        const int third = (box.bottom - box.top) / 3;
        const double column = topThird ? MeanLitColumn(image, box.top, box.top + third)
                                       : MeanLitColumn(image, box.bottom - third, box.bottom + 1);
        EXPECT_LT(column, (box.left + box.right) / 2.0) << file;
    }
}

TEST(ModelFormats, XInfoReportsGltfAndObjModels) {
    for (const auto& [file, format] :
         {std::pair{"letter_F.gltf", "glTF 2.0 (JSON)"}, std::pair{"letter_L.obj", "Wavefront OBJ"}}) {
        const Result result = RunTool({"xinfo", kSample + file});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_TRUE(Has(result.out, std::string("format: ") + format)) << result.out;
        EXPECT_TRUE(Has(result.out, "left out: nothing")) << result.out;
    }
}

TEST(ModelFormats, BadModelsFailWithTheFileAndTheFault) {
    TempDir dir;
    QuadGltf lines;
    lines.primitive = R"(,"mode":1)";
    const std::string file = dir.Write("lines.gltf", lines.Text());
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"render", file, "-o", dir.File("x.png")},
          {"xinfo", file},
          {"export", file, "-o", dir.File("x.glb")}}) {
        const Result result = RunTool(args);
        EXPECT_EQ(result.status, 1) << args[0];
        EXPECT_TRUE(Has(result.err, "lines.gltf") && Has(result.err, "only triangles")) << result.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.glb")));
}

// The sample map mixes X, glTF and OBJ models.
TEST(ModelFormats, ExportedSampleMapAndModelPassTheValidator) {
    TempDir dir;
    const std::vector<std::pair<std::string, std::string>> exports = {
        {"Data/Sample/Sample.map", dir.File("sample.glb")},
        {"Data/Sample/Sample.map", dir.File("sample.gltf")},
        {"Data/Sample/crate.x", dir.File("crate.glb")}};
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(FSMITH_SOURCE_DIR);
    std::vector<Result> results;
    for (const auto& [input, output] : exports)
        results.push_back(RunTool({"export", input, "-o", output}));
    std::filesystem::current_path(previous);
    EXPECT_TRUE(Has(results[0].out, "12 nodes, 6 meshes")) << results[0].out << results[0].err;
    for (std::size_t i = 0; i < exports.size(); ++i) {
        ASSERT_EQ(results[i].status, 0) << results[i].err;
        const std::string verdict = ValidateGltf(exports[i].second);
        if (verdict.rfind("skip:", 0) == 0)
            GTEST_SKIP() << verdict;
        EXPECT_EQ(verdict, "") << exports[i].second;
    }
}

} // namespace
