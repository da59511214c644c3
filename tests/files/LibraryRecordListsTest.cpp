#include "D3DZMapFileLoad.h"
#include "D3DZStringGetSplit.h"
#include "D3DZVectorRecordFiles.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

void ExpectVector(const D3DXVECTOR3& v, float x, float y, float z) {
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

std::string FloatBytes(std::initializer_list<float> values) {
    std::string bytes;
    for (float f : values)
        bytes.append(reinterpret_cast<const char*>(&f), sizeof f);
    return bytes;
}

} // namespace

TEST(StringSplit, DropsEmptyFieldsAndTreatsTheSeparatorAsAWholeString) {
    EXPECT_EQ(D3DZStringGetSplit(",1,,2,", ","), (Strings{"1", "2"}));
    EXPECT_EQ(D3DZStringGetSplit("1,2,3", ","), (Strings{"1", "2", "3"}));
    EXPECT_EQ(D3DZStringGetSplit("1,,2", ","), (Strings{"1", "2"}));
    EXPECT_EQ(D3DZStringGetSplit("", ","), Strings{});
    EXPECT_EQ(D3DZStringGetSplit("abc", ","), Strings{"abc"});
    EXPECT_EQ(D3DZStringGetSplit("a<>b<c>>d", "<>"), (Strings{"a", "b<c>>d"}));
    EXPECT_EQ(D3DZStringGetSplit("<><>", "<>"), Strings{});
    EXPECT_EQ(D3DZStringGetSplit("abc", ""), Strings{"abc"});
}

TEST(LibraryMapList, ReadsNameAndThreeVectorsPerToken) {
    TempDir dir;
    const std::string path = dir.Write(
        "list.txt", "obj(tree.x)p(1,2,3)r(0,90,0)s(2,2,2)\r\n  o(rock.x)p(,4,,5,6)r(1e1,-0,x)s(3)\n");
    std::vector<D3DZMAPDATA> list;
    ASSERT_TRUE(D3DZMapFileLoad(path.c_str(), list));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].name, "tree.x");
    ExpectVector(list[0].vPos, 1, 2, 3);
    ExpectVector(list[0].vRot, 0, 90, 0);
    ExpectVector(list[0].vScale, 2, 2, 2);
    EXPECT_EQ(list[1].name, "rock.x");
    ExpectVector(list[1].vPos, 4, 5, 6);
    ExpectVector(list[1].vRot, 10, -0.0f, 0);
    ExpectVector(list[1].vScale, 3, 1, 1);
}

TEST(LibraryMapList, ShortTokensKeepTheDefaults) {
    TempDir dir;
    std::vector<D3DZMAPDATA> list;
    ASSERT_TRUE(D3DZMapFileLoad(dir.Write("list.txt", "lonely obj(a.x) ((((").c_str(), list));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].name, "");
    EXPECT_EQ(list[1].name, "a.x");
    ExpectVector(list[1].vPos, 0, 0, 0);
    ExpectVector(list[1].vScale, 1, 1, 1);
    EXPECT_FALSE(D3DZMapFileLoad(dir.File("missing").c_str(), list));
    EXPECT_FALSE(D3DZMapFileLoad(nullptr, list));
    EXPECT_EQ(list.size(), 3u);
}

TEST(LibraryTransformFile, TextRecordSkipsNullOutputs) {
    TempDir dir;
    const std::string path = dir.Write("t.txt", "p(0,1,0)r(0,90,0)s(1,2,3) p(9,9,9)");
    D3DXVECTOR3 pos(7, 7, 7), rot(7, 7, 7);
    ASSERT_TRUE(D3DZMatrixFileLoad(path.c_str(), &pos, &rot, nullptr));
    ExpectVector(pos, 0, 1, 0);
    ExpectVector(rot, 0, 90, 0);
    D3DXVECTOR3 scale;
    ASSERT_TRUE(D3DZMatrixFileLoad(path.c_str(), nullptr, nullptr, &scale));
    ExpectVector(scale, 1, 2, 3);
    EXPECT_FALSE(D3DZMatrixFileLoad(dir.File("missing").c_str(), &pos, &rot, &scale));
}

TEST(LibraryTransformFile, TextListReadsEveryToken) {
    TempDir dir;
    std::vector<D3DZORVFILE> list;
    ASSERT_TRUE(D3DZMatrixListLoad(
        dir.Write("l.txt", "p(1,0,0)r(0,0,0)s(1,1,1)\np(2,0,0)r(0,45,0)s(2,2,2)\n").c_str(), list));
    ASSERT_EQ(list.size(), 2u);
    ExpectVector(list[1].vPos, 2, 0, 0);
    ExpectVector(list[1].vRot, 0, 45, 0);
    ExpectVector(list[1].vScale, 2, 2, 2);
}

TEST(LibraryTransformFile, BinaryRecordsAreThirtySixBytes) {
    TempDir dir;
    const std::string one = FloatBytes({1, 2, 3, 0, 90, 0, 2, 2, 2});
    D3DZORVFILE record;
    ASSERT_TRUE(D3DZBinaryMatrixFileLoad(dir.Write("one.bin", one).c_str(), &record));
    ExpectVector(record.vRot, 0, 90, 0);
    ExpectVector(record.vScale, 2, 2, 2);

    std::vector<D3DZORVFILE> list;
    ASSERT_TRUE(D3DZBinaryMatrixListLoad(dir.Write("72.bin", one + one).c_str(), list));
    EXPECT_EQ(list.size(), 2u);
    list.clear();
    ASSERT_TRUE(D3DZBinaryMatrixListLoad(dir.Write("80.bin", one + one + "abcdefgh").c_str(), list));
    EXPECT_EQ(list.size(), 2u);
    ExpectVector(list[1].vPos, 1, 2, 3);
}

TEST(LibraryViewFile, TextAndBinaryCameraRecords) {
    TempDir dir;
    D3DZCAMERADATA camera;
    ASSERT_TRUE(D3DZViewFileLoad(dir.Write("v.txt", "p(0,0,-10)r(32,-38,0)").c_str(), &camera));
    ExpectVector(camera.vPos, 0, 0, -10);
    ExpectVector(camera.vRot, 32, -38, 0);

    D3DZCAMERADATA binary;
    binary.vRot = D3DXVECTOR3(5, 5, 5);
    ASSERT_TRUE(D3DZBinaryViewFileLoad(dir.Write("v.bin", FloatBytes({1, 2, 3, 4})).c_str(), &binary));
    ExpectVector(binary.vPos, 1, 2, 3);
    ExpectVector(binary.vRot, 4, 5, 5);
    EXPECT_FALSE(D3DZBinaryViewFileLoad(dir.File("missing").c_str(), &binary));
    EXPECT_FALSE(D3DZViewFileLoad(dir.File("v.txt").c_str(), nullptr));
}

TEST(LibraryViewFile, CameraMatrixOrbitsTheOrigin) {
    D3DZCAMERADATA camera;
    camera.vPos = D3DXVECTOR3(0, 0, -10);
    D3DXMATRIX view;
    D3DZMakeCameraMatrix(&view, &camera);
    EXPECT_NEAR(view._41, 0.0f, 1e-6f);
    EXPECT_NEAR(view._42, 0.0f, 1e-6f);
    EXPECT_NEAR(view._43, 10.0f, 1e-6f);
    EXPECT_EQ(view._44, 1.0f);

    // Turned 90 degrees about Y, the camera sits on -X looking towards +X: the origin is 10 ahead.
    camera.vRot = D3DXVECTOR3(0, 90, 0);
    D3DZMakeCameraMatrix(&view, &camera);
    D3DXVECTOR3 origin(0, 0, 0), onPlusX(5, 0, 0), seen;
    D3DXVec3TransformCoord(&seen, &origin, &view);
    EXPECT_NEAR(seen.z, 10.0f, 1e-5f);
    D3DXVec3TransformCoord(&seen, &onPlusX, &view);
    EXPECT_NEAR(seen.z, 15.0f, 1e-5f);
    EXPECT_NEAR(seen.x, 0.0f, 1e-5f);
}
