#include "Fieldsmith.h"
#include "TempDir.h"
#include "TestMatrices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

using Record = Fieldsmith::_TAG_MAPDATA;

std::vector<Record> LoadText(const TempDir& dir, const std::string& text) {
    std::vector<Record> records;
    EXPECT_TRUE(Fieldsmith::LoadMapFile(dir.Write("in.map", text), records));
    return records;
}

std::vector<std::string> FilesIn(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(MapFileWrite, WritesOneCrLfLinePerRecordByteForByte) {
    TempDir dir;
    D3DXMATRIX turned = Translation(10, 0, -2.5f);
    turned._11 = 0.333333343f;
    turned._12 = -0.0f;
    turned._13 = 1234567.0f;
    const std::string path = dir.File("scene.map");
    ASSERT_TRUE(Fieldsmith::SaveMapFile(
        path, {Record("tree.x", Translation(10, 0, -2.5f)), Record("モデル/岩.x", turned)}));
    EXPECT_EQ(TempDir::Read(path), "XFileName{tree.x},Matrix(1,0,0,0,0,1,0,0,0,0,1,0,10,0,-2.5,1);\r\n"
                                   "XFileName{モデル/岩.x},Matrix(0.333333,-0,1.23457e+06,0,0,1,0,0,0,0,1,0,"
                                   "10,0,-2.5,1);\r\n");
}

TEST(MapFileWrite, EmptyListGivesAnEmptyFile) {
    TempDir dir;
    const std::string path = dir.Write("scene.map", "old contents");
    ASSERT_TRUE(Fieldsmith::SaveMapFile(path, {}));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

TEST(MapFileWrite, RoundTripsNamesAndMatricesToSixDigits) {
    TempDir dir;
    D3DXMATRIX m;
    for (int i = 0; i < 16; ++i)
        (&m._11)[i] = 1.0f / static_cast<float>(i + 3) - 0.1f * static_cast<float>(i);
    const std::string path = dir.File("scene.map");
    ASSERT_TRUE(Fieldsmith::SaveMapFile(path, {Record("a.x", m), Record("dir/b.x", Identity())}));
    std::vector<Record> records;
    ASSERT_TRUE(Fieldsmith::LoadMapFile(path, records));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].name, "a.x");
    EXPECT_EQ(records[1].name, "dir/b.x");
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR((&records[0].world._11)[i], (&m._11)[i], 5e-6f * std::fabs((&m._11)[i])) << i;
    EXPECT_EQ(records[1].world, Identity());
}

TEST(MapFileWrite, FailedSaveKeepsTheOldFileAndLeavesNoTemporary) {
    TempDir dir;
    const std::string path = dir.Write("scene.map", "XFileName{keep.x},Matrix(1);\r\n");
    std::vector<Record> big(2000, Record("a-rather-long-model-name.x", Identity()));

    // A file-size limit makes the write fail part-way, as a full disk would.
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = previous;
    limited.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &limited);
    const bool saved = Fieldsmith::SaveMapFile(path, big);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved);
    EXPECT_EQ(TempDir::Read(path), "XFileName{keep.x},Matrix(1);\r\n");
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"scene.map"});
}

TEST(MapFileWrite, UnwritableTargetsFailWithoutSideEffects) {
    TempDir dir;
    EXPECT_FALSE(Fieldsmith::SaveMapFile(dir.File("missing/scene.map"), {Record()}));
    EXPECT_FALSE(Fieldsmith::SaveMapFile(dir.Path().string(), {Record()}));
    EXPECT_FALSE(Fieldsmith::SaveMapFile("", {Record()}));
    EXPECT_TRUE(FilesIn(dir).empty());
}

TEST(MapFileWrite, KeepsPermissionsAndSymbolicLinksOfTheTarget) {
    TempDir dir;
    const std::string real = dir.Write("real.map", "old");
    chmod(real.c_str(), 0640);
    const std::string link = dir.File("link.map");
    std::filesystem::create_symlink(real, link);
    ASSERT_TRUE(Fieldsmith::SaveMapFile(link, {Record("a.x", Identity())}));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(TempDir::Read(real).substr(0, 12), "XFileName{a.");
    struct stat info {};
    stat(real.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(MapFileRead, ReadsRecordsWithCrLfOrLfAndSeveralOnALine) {
    TempDir dir;
    const auto records = LoadText(dir, "XFileName{a.x},Matrix(1,0,0,0,0,1,0,0,0,0,1,0,5,6,7,1);\n"
                                       "XFileName{b.x},Matrix(2);  XFileName{c.x},Matrix(3);\r\n\r\n");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].name, "a.x");
    EXPECT_EQ(records[0].world, Translation(5, 6, 7));
    EXPECT_EQ(records[1].name, "b.x");
    EXPECT_EQ(records[1].world._11, 2.0f);
    EXPECT_EQ(records[2].world._11, 3.0f);
}

TEST(MapFileRead, NamesWithWhiteSpaceStayOneRecord) {
    TempDir dir;
    const std::string path = dir.File("scene.map");
    ASSERT_TRUE(Fieldsmith::SaveMapFile(path, {Record("My Models/big\ttree.x", Translation(1, 2, 3))}));
    std::vector<Record> records;
    ASSERT_TRUE(Fieldsmith::LoadMapFile(path, records));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].name, "My Models/big\ttree.x");
    EXPECT_EQ(records[0].world, Translation(1, 2, 3));
}

TEST(MapFileRead, ALineEndAlwaysEndsARecord) {
    TempDir dir;
    const auto records = LoadText(dir, "XFileName{a\nb},Matrix(1,0,0,0,0,1,0,0,0,0,1,0,4,0,0,1);\r\n");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].name, "a");
    EXPECT_EQ(records[0].world, Identity());
    EXPECT_EQ(records[1].name, "b");
    EXPECT_EQ(records[1].world, Translation(4, 0, 0));
}

TEST(MapFileRead, NamesAreCutOnlyAtTheFirstClosingBrace) {
    TempDir dir;
    const auto records =
        LoadText(dir, "XFileName{a}b.x},Matrix(2);\nXFileName{x{(y)}.x},Matrix(3);\nplain\n");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].name, "a");
    EXPECT_EQ(records[1].name, "x{(y)");
    EXPECT_EQ(records[1].world._11, 3.0f);
    EXPECT_EQ(records[2].name, "plain");
    EXPECT_EQ(records[2].world, Identity());
}

TEST(MapFileRead, FieldsFillSlotsInOrder) {
    TempDir dir;
    const auto records =
        LoadText(dir, "XFileName{a.x},Matrix(1,,2);\n"
                      "XFileName{b.x},Matrix(1,2,3\n"
                      "XFileName{c.x},Matrix(1e+006,1e+06,-1E-3,0x10);\n"
                      "XFileName{d.x},Matrix(1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18);\n");
    ASSERT_EQ(records.size(), 4u);
    D3DXMATRIX expected = Identity();
    expected._11 = 1;
    expected._12 = 2;
    EXPECT_EQ(records[0].world, expected);
    EXPECT_EQ(records[1].world, Identity());
    EXPECT_EQ(records[2].world._11, 1000000.0f);
    EXPECT_EQ(records[2].world._12, 1000000.0f);
    EXPECT_EQ(records[2].world._13, -0.001f);
    EXPECT_EQ(records[2].world._14, 16.0f);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ((&records[3].world._11)[i], static_cast<float>(i + 1));
}

TEST(MapFileRead, AFieldThatIsNotANumberKeepsItsElementAndItsSlot) {
    TempDir dir;
    const auto records = LoadText(dir, "XFileName{a.x},Matrix(5,abc,1e999,inf,-nan,6);\n");
    ASSERT_EQ(records.size(), 1u);
    const D3DXMATRIX& m = records[0].world;
    EXPECT_EQ(m._11, 5.0f);
    EXPECT_EQ(m._12, 0.0f);
    EXPECT_EQ(m._13, 0.0f);
    EXPECT_EQ(m._14, INFINITY);
    EXPECT_TRUE(std::isnan(m._21));
    EXPECT_EQ(m._22, 6.0f);
}

TEST(MapFileRead, StrayParenthesesNeverHang) {
    TempDir dir;
    const auto records =
        LoadText(dir, "XFileName{a.x},Matrix((1\nXFileName{b.x},Matrix(7,(8\n(((\n)))\n,,,)");
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0].world, Identity());
    D3DXMATRIX expected = Identity();
    expected._11 = 7;
    EXPECT_EQ(records[1].world, expected);
}

TEST(MapFileRead, EmptyAndMissingFiles) {
    TempDir dir;
    EXPECT_TRUE(LoadText(dir, "").empty());
    EXPECT_TRUE(LoadText(dir, " \r\n\t\n").empty());
    std::vector<Record> records(1);
    EXPECT_FALSE(Fieldsmith::LoadMapFile(dir.File("missing.map"), records));
    EXPECT_FALSE(Fieldsmith::LoadMapFile(dir.Path().string(), records));
    EXPECT_EQ(records.size(), 1u);
}
