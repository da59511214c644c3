#include "D3DZBinaryRecords.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string BytesOf(const std::vector<float>& values) {
    std::string bytes(values.size() * sizeof(float), '\0');
    std::memcpy(bytes.data(), values.data(), bytes.size());
    return bytes;
}

void ExpectRow(const D3DXMATRIX& m, int row, float a, float b, float c, float d) {
    SCOPED_TRACE("row " + std::to_string(row + 1));
    EXPECT_NEAR(m.m[row][0], a, 1e-5f);
    EXPECT_NEAR(m.m[row][1], b, 1e-5f);
    EXPECT_NEAR(m.m[row][2], c, 1e-5f);
    EXPECT_NEAR(m.m[row][3], d, 1e-5f);
}

// Where a world point lands in view space.
void ExpectViewed(const D3DXMATRIX& view, D3DXVECTOR3 world, float x, float y, float z) {
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &world, &view);
    EXPECT_NEAR(out.x, x, 1e-5f);
    EXPECT_NEAR(out.y, y, 1e-5f);
    EXPECT_NEAR(out.z, z, 1e-5f);
}

D3DZORVCAMERAFILE Camera(float x, float y, float z, float rotX, float rotY) {
    D3DZORVCAMERAFILE camera;
    camera.vPos = D3DXVECTOR3(x, y, z);
    camera.fRotX = rotX;
    camera.fRotY = rotY;
    return camera;
}

} // namespace

TEST(BinaryRecordFiles, EachReaderTakesOneRecordFromTheFront) {
    TempDir dir;
    D3DZORVFILE zorv;
    ASSERT_TRUE(D3DZorvFileLoad(dir.Write("z", BytesOf({1, 2, 3, 0, 90, 0, 2, 2, 2, 99})).c_str(), &zorv));
    EXPECT_EQ(zorv.vPos, D3DXVECTOR3(1, 2, 3));
    EXPECT_EQ(zorv.vRot, D3DXVECTOR3(0, 90, 0));
    EXPECT_EQ(zorv.vScale, D3DXVECTOR3(2, 2, 2));

    D3DZORVCAMANIME anim;
    ASSERT_TRUE(
        D3DCameraAnimLoad(dir.Write("a", BytesOf({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11})).c_str(), &anim));
    EXPECT_EQ(anim.Start.vPos, D3DXVECTOR3(1, 2, 3));
    EXPECT_EQ(anim.Start.fRotY, 5.0f);
    EXPECT_EQ(anim.End.vPos, D3DXVECTOR3(6, 7, 8));
    EXPECT_EQ(anim.End.fRotY, 10.0f);

    std::string bytes(200, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i);
    }
    D3DZXFILEANIMATION x;
    ASSERT_TRUE(D3DZorvLoadXAnimation(dir.Write("x", bytes).c_str(), &x));
    EXPECT_EQ(std::memcmp(x.bytes, bytes.data(), sizeof x.bytes), 0);
}

TEST(BinaryRecordFiles, ShortFileFillsOnlyTheLeadingBytes) {
    TempDir dir;
    const std::string full = BytesOf({1.5f, -2.25f, 3.75f});
    D3DZORVCAMERAFILE camera = Camera(7, 8, 9, 10, 11);
    ASSERT_TRUE(D3DCameraLoadFile(dir.Write("c", full.substr(0, 10)).c_str(), &camera));
    EXPECT_EQ(camera.vPos.x, 1.5f);
    EXPECT_EQ(camera.vPos.y, -2.25f);
    float halfZ = 9.0f;
    std::memcpy(&halfZ, full.data() + 8, 2);
    EXPECT_EQ(std::memcmp(&camera.vPos.z, &halfZ, sizeof halfZ), 0);
    EXPECT_EQ(camera.fRotX, 10.0f);
    EXPECT_EQ(camera.fRotY, 11.0f);
    EXPECT_TRUE(D3DCameraLoadFile(dir.Write("empty", "").c_str(), &camera));
    EXPECT_EQ(camera.vPos.x, 1.5f);
}

TEST(BinaryRecordFiles, UnreadableFileOrNullArgumentLeavesTheRecordUntouched) {
    TempDir dir;
    const std::string missing = dir.File("missing");
    D3DZORVFILE zorv;
    zorv.vPos = D3DXVECTOR3(4, 5, 6);
    EXPECT_FALSE(D3DZorvFileLoad(missing.c_str(), &zorv));
    // A directory opens for reading on Linux but cannot be read.
    EXPECT_FALSE(D3DZorvFileLoad(dir.Path().c_str(), &zorv));
    EXPECT_FALSE(D3DZorvFileLoad(nullptr, &zorv));
    EXPECT_EQ(zorv.vPos, D3DXVECTOR3(4, 5, 6));
    EXPECT_FALSE(D3DZorvFileLoad(dir.Write("z", BytesOf({1})).c_str(), nullptr));

    D3DZORVCAMERAFILE camera = Camera(1, 1, 1, 1, 1);
    EXPECT_FALSE(D3DCameraLoadFile(missing.c_str(), &camera));
    EXPECT_EQ(camera.vPos, D3DXVECTOR3(1, 1, 1));
    D3DZORVCAMANIME anim;
    anim.End.fRotY = 3;
    EXPECT_FALSE(D3DCameraAnimLoad(missing.c_str(), &anim));
    EXPECT_EQ(anim.End.fRotY, 3.0f);
    EXPECT_FALSE(D3DZorvLoadXAnimation(missing.c_str(), nullptr));
}

TEST(BinaryRecordMatrices, TransformRecordGivesTranslationRotationAndScaling) {
    D3DZORVFILE zorv;
    zorv.vPos = D3DXVECTOR3(1, 2, 3);
    zorv.vRot = D3DXVECTOR3(0, 90, 0);
    zorv.vScale = D3DXVECTOR3(2, 2, 2);
    D3DZCMATRIX trans, rot, scale;
    D3DZorvMakeMatrix(&zorv, &trans, &rot, &scale);
    ExpectRow(trans, 3, 1, 2, 3, 1);
    ExpectRow(trans, 0, 1, 0, 0, 0);
    // A quarter turn about Y takes +X to -Z and +Z to +X.
    ExpectRow(rot, 0, 0, 0, -1, 0);
    ExpectRow(rot, 1, 0, 1, 0, 0);
    ExpectRow(rot, 2, 1, 0, 0, 0);
    ExpectRow(scale, 0, 2, 0, 0, 0);
    ExpectRow(scale, 2, 0, 0, 2, 0);
    ExpectRow(scale, 3, 0, 0, 0, 1);

    // Missing outputs are skipped; a missing record writes nothing.
    zorv.vPos = D3DXVECTOR3(4, 5, 6);
    D3DZorvMakeMatrix(&zorv, &trans, nullptr, nullptr);
    ExpectRow(trans, 3, 4, 5, 6, 1);
    D3DZorvMakeMatrix(nullptr, &trans, &rot, &scale);
    ExpectRow(trans, 3, 4, 5, 6, 1);
}

TEST(BinaryRecordMatrices, CameraViewLooksAtTheCentreFromItsOffset) {
    D3DXMATRIX view;
    D3DCameraMakeMatrix(&view, Camera(0, 0, -10, 0, 0));
    ExpectRow(view, 0, 1, 0, 0, 0);
    ExpectRow(view, 1, 0, 1, 0, 0);
    ExpectRow(view, 2, 0, 0, 1, 0);
    ExpectRow(view, 3, 0, 0, 10, 1);

    // Tilted up 45 degrees about X first, then swung a quarter turn about Y to the -X side.
    D3DCameraMakeMatrix(&view, Camera(0, 0, -10, 45, 90));
    const float h = 10.0f * 0.70710678f;
    ExpectViewed(view, D3DXVECTOR3(-h, h, 0), 0, 0, 0);
    ExpectViewed(view, D3DXVECTOR3(0, 0, 0), 0, 0, 10);

    // The offset lies in the camera's own frame.
    D3DCameraMakeMatrix(&view, Camera(2, -1, -5, 0, 90));
    ExpectViewed(view, D3DXVECTOR3(0, 0, 0), -2, 1, 5);
    D3DCameraMakeMatrix(nullptr, Camera(0, 0, -10, 0, 0));
}

TEST(BinaryRecordMatrices, CameraMoveGivesTheViewsOfItsStartAndEnd) {
    D3DZORVCAMANIME anim;
    anim.Start = Camera(0, 0, -10, 0, 0);
    anim.End = Camera(1, 2, -3, 20, -30);
    D3DXMATRIX start, end, expectedEnd;
    D3DCamMakeAnimMatrix(&start, &end, anim);
    D3DCameraMakeMatrix(&expectedEnd, anim.End);
    ExpectRow(start, 3, 0, 0, 10, 1);
    EXPECT_EQ(end, expectedEnd);
    D3DCamMakeAnimMatrix(nullptr, nullptr, anim);
}
