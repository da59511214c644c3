#include "SkinnedModels.h"
#include "TempDir.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <sstream>

namespace {

const std::string kCharacter = FSMITH_SOURCE_DIR "/../shared/testdata/x-corpus/Testwuson.X";

class FsmithPose : public ::testing::Test {
protected:
    // The picture of the model posed at a time, or an empty image when the tool failed.
    QImage Pose(const std::string& model, const std::string& anim, const std::string& time) {
        const std::string picture = m_dir.File("pose" + std::to_string(m_count++) + ".png");
        const Result result = RunTool({"render", model, "-o", picture, "--size", "160x120", "--anim", anim,
                                       "--time", time, "--yaw", "0", "--pitch", "0"});
        EXPECT_EQ(result.status, 0) << result.err;
        return QImage(QString::fromStdString(picture));
    }

    static int Lit(const QImage& image) {
        int lit = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                lit += (image.pixel(x, y) & 0xFFFFFF) != 0;
        return lit;
    }

    TempDir m_dir;
    int m_count = 0;
};

} // namespace

TEST_F(FsmithPose, TheCorpusCharacterTakesTwoPosesAtTwoTimesAndTheSameAtTheSameTime) {
    if (!std::filesystem::exists(kCharacter))
        GTEST_SKIP() << "no shared X-file corpus";
    const QImage early = Pose(kCharacter, "Wuson_Run", "0.1");
    const QImage late = Pose(kCharacter, "Wuson_Run", "0.5");
    const QImage again = Pose(kCharacter, "0", "0.5");
    ASSERT_FALSE(early.isNull());
    EXPECT_GT(Lit(early), 500);
    EXPECT_NE(early, late);
    EXPECT_EQ(late, again);
}

TEST_F(FsmithPose, AnInlineStripBendsWithItsAnimation) {
    const std::string model = m_dir.Write("strip.x", kSkinnedStrip);
    const Result result =
        RunTool({"render", model, "-o", m_dir.File("strip.png"), "--anim", "Bend", "--time", "0.5"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(Has(result.out, "'Bend' at 0.5 s")) << result.out;
    EXPECT_NE(Pose(model, "Bend", "0"), Pose(model, "Bend", "0.5"));
    // A whole loop later the pose comes back.
    EXPECT_EQ(Pose(model, "Bend", "0.25"), Pose(model, "Bend", "1.25"));
}

TEST_F(FsmithPose, RefusesPosesItCannotMake) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"render", "a.x", "-o", "a.png", "--anim", "Run", "--mode", "toon"},
          {"render", "a.x", "-o", "a.png", "--time", "soon"},
          {"render", "a.x", "-o", "a.png", "--anim", ""},
          {"render", "a.x", "-o", "a.png", "--time"}}) {
        const Result result = RunTool(args);
        EXPECT_EQ(result.status, 2) << args.back();
        EXPECT_TRUE(Has(result.err, "usage: fsmith")) << args.back();
    }

    const std::string strip = m_dir.Write("strip.x", kSkinnedStrip);
    const Result unknown = RunTool({"render", strip, "-o", m_dir.File("u.png"), "--anim", "Dance"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_TRUE(Has(unknown.err, "no animation set 'Dance'; it has 0 'Bend' 1 'Stay'")) << unknown.err;
    EXPECT_EQ(RunTool({"render", strip, "-o", m_dir.File("n.png"), "--anim", "2"}).status, 1);

    const std::string still = m_dir.Write(
        "still.x",
        "xof 0303txt 0032\nFrame Still { Mesh Tri { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;; } }\n");
    const Result unanimated = RunTool({"render", still, "-o", m_dir.File("s.png"), "--time", "1"});
    EXPECT_EQ(unanimated.status, 1);
    EXPECT_TRUE(Has(unanimated.err, "has no animation sets")) << unanimated.err;

    const std::string map =
        m_dir.Write("scene.map", "XFileName{strip.x},Matrix(1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1);\r\n");
    EXPECT_EQ(RunTool({"render", map, "-o", m_dir.File("m.png"), "--anim", "Bend"}).status, 1);
    for (const char* picture : {"u.png", "n.png", "s.png", "m.png"})
        EXPECT_FALSE(std::filesystem::exists(m_dir.File(picture))) << picture;
}
