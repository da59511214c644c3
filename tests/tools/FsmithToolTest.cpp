#include "TempDir.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <sys/wait.h>

namespace {

std::string FloatBytes(std::initializer_list<float> values) {
    std::string bytes;
    for (float f : values)
        bytes.append(reinterpret_cast<const char*>(&f), sizeof f);
    return bytes;
}

constexpr const char* kIdentity = "1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1";

} // namespace

TEST(FsmithMap, ShowsRecordsWithNineDigitsAndSavesThemNormalised) {
    TempDir dir;
    const std::string in =
        dir.Write("in.map", "XFileName{my tree.x},Matrix(0.1,,0,0,0,0,1,0,0,0,0,1,0,10,0,-2.5);\n");
    const Result shown = RunTool({"map", "show", in});
    EXPECT_EQ(shown.status, 0);
    EXPECT_EQ(shown.out, "my tree.x\t0.100000001 0 0 0 0 1 0 0 0 0 1 0 10 0 -2.5 1\n");

    EXPECT_EQ(RunTool({"map", "save", in, dir.File("out.map")}).status, 0);
    EXPECT_EQ(TempDir::Read(dir.File("out.map")),
              "XFileName{my tree.x},Matrix(0.1,0,0,0,0,1,0,0,0,0,1,0,10,0,-2.5,1);\r\n");
}

TEST(FsmithMat, ShowsAndConvertsBetweenTextAndBinary) {
    TempDir dir;
    const std::string text = dir.Write("m.mat", "Matrix(2,0,0,0,0,2,0,0,0,0,2,0,1,2,3,1);");
    EXPECT_EQ(RunTool({"mat", "show", text}).out, "2 0 0 0 0 2 0 0 0 0 2 0 1 2 3 1\n");
    ASSERT_EQ(RunTool({"mat", "convert", text, dir.File("b.mat"), "--binary"}).status, 0);
    EXPECT_EQ(TempDir::Read(dir.File("b.mat")).size(), 64u);
    ASSERT_EQ(RunTool({"mat", "convert", dir.File("b.mat"), dir.File("t.mat"), "--text"}).status, 0);
    EXPECT_EQ(TempDir::Read(dir.File("t.mat")), TempDir::Read(text));
    EXPECT_EQ(RunTool({"mat", "show", dir.Write("empty.mat", "")}).out, std::string(kIdentity) + "\n");
}

TEST(FsmithMatList, ConvertsBothWays) {
    TempDir dir;
    const std::string text = dir.Write("l.matList", "Matrix(1);\r\nMatrix(,,3);\r\n");
    ASSERT_EQ(RunTool({"matlist", "convert", text, dir.File("b.matList"), "--binary"}).status, 0);
    EXPECT_EQ(TempDir::Read(dir.File("b.matList")).size(), 128u);
    const Result shown = RunTool({"matlist", "show", dir.File("b.matList")});
    EXPECT_EQ(shown.out, std::string(kIdentity) + "\n3 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1\n");
}

TEST(FsmithLibraryRecords, ShowsEveryRecordKind) {
    TempDir dir;
    EXPECT_EQ(RunTool({"transform", "show", dir.Write("t.txt", "p(1,2,3)r(0,90,0)s(2,2,2)")}).out,
              "pos 1 2 3\trot 0 90 0\tscale 2 2 2\n");
    EXPECT_EQ(RunTool({"transform", "show", dir.Write("t.bin", FloatBytes({1, 2, 3, 4, 5, 6, 7, 8, 9}))}).out,
              "pos 1 2 3\trot 4 5 6\tscale 7 8 9\n");
    EXPECT_EQ(RunTool({"transforms", "show", dir.Write("l.txt", "p(1,0,0)r(0,0,0)s(1,1,1) p(2,0,0)")}).out,
              "pos 1 0 0\trot 0 0 0\tscale 1 1 1\npos 2 0 0\trot 0 0 0\tscale 1 1 1\n");
    EXPECT_EQ(RunTool({"maplist", "show", dir.Write("m.txt", "obj(tree.x)p(1,2,3)r(0,90,0)s(2,2,2)")}).out,
              "tree.x\tpos 1 2 3\trot 0 90 0\tscale 2 2 2\n");

    const Result pose = RunTool({"pose", "show", dir.Write("p.txt", "p(0,0,-10)r(0,0,0)")});
    EXPECT_EQ(pose.out.substr(0, 27), "pos 0 0 -10\nrot 0 0 0\nview ");
    EXPECT_EQ(pose.out.substr(pose.out.size() - 10), " 0 0 10 1\n");
    const Result camera = RunTool({"camera", "show", dir.Write("c.bin", FloatBytes({0, 0, -10, 0, 0}))});
    EXPECT_EQ(camera.out.substr(0, 31), "pos 0 0 -10\nrotx 0\nroty 0\nview ");
    EXPECT_EQ(camera.out.substr(camera.out.size() - 10), " 0 0 10 1\n");
    const Result move =
        RunTool({"cammove", "show", dir.Write("m.bin", FloatBytes({0, 0, -10, 0, 0, 0, 0, -5, 0, 0}))});
    EXPECT_NE(move.out.find("[end]\npos 0 0 -5\n"), std::string::npos) << move.out;
    const Result anim = RunTool({"anim", "show", dir.Write("a.bin", FloatBytes({1.5f, -2}))});
    EXPECT_EQ(anim.out.substr(0, 11), "1.5 -2 0 0\n");
    EXPECT_EQ(std::count(anim.out.begin(), anim.out.end(), '\n'), 8);
}

TEST(FsmithErrors, BadCommandLinesAndFilesFailClearly) {
    TempDir dir;
    const Result unknown = RunTool({"frobnicate"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("unknown command 'frobnicate'"), std::string::npos);
    EXPECT_EQ(RunTool({}).status, 2);
    EXPECT_EQ(RunTool({"mat", "convert", "a", "b"}).status, 2);
    EXPECT_EQ(RunTool({"mat", "convert", "a", "b", "--octal"}).status, 2);
    EXPECT_EQ(RunTool({"transform", "show"}).status, 2);

    const Result missing = RunTool({"map", "show", dir.File("missing.map")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.out.empty());
    EXPECT_NE(missing.err.find("cannot read"), std::string::npos);
    EXPECT_NE(missing.err.find("No such file"), std::string::npos);

    const std::string in = dir.Write("in.map", "XFileName{a.x},Matrix(1);");
    const Result unwritable = RunTool({"map", "save", in, dir.File("no/dir/out.map")});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.err.find("cannot write"), std::string::npos);
}

TEST(FsmithProgram, HelpListsEveryCommandAndExitsZero) {
    const Result help = RunTool({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* command : {"map show", "map save", "mat show", "mat convert", "matlist show",
                                "matlist convert", "transform show", "transforms show", "pose show",
                                "camera show", "cammove show", "maplist show", "anim show"})
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
    const int status = std::system(FSMITH_TOOL " --help > /dev/null");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const int failed = std::system(FSMITH_TOOL " map show /nonexistent/x.map 2> /dev/null");
    EXPECT_TRUE(WIFEXITED(failed) && WEXITSTATUS(failed) == 1);
}
