#include "Fieldsmith.h"
#include "TempDir.h"
#include "TestMatrices.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <filesystem>

namespace {

D3DXMATRIX Sequence(float start) {
    D3DXMATRIX m;
    for (int i = 0; i < 16; ++i)
        (&m._11)[i] = start + static_cast<float>(i) * 0.25f;
    return m;
}

bool SameBits(const D3DXMATRIX& a, const D3DXMATRIX& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

constexpr const char* kIdentityText = "Matrix(1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1);";

} // namespace

TEST(MatrixFile, IdentityAsTextAndAsBinary) {
    TempDir dir;
    const D3DXMATRIX identity = Identity();
    ASSERT_TRUE(Fieldsmith::SaveMatrixFile(dir.File("t.mat"), &identity, false));
    EXPECT_EQ(TempDir::Read(dir.File("t.mat")), kIdentityText);
    ASSERT_TRUE(Fieldsmith::SaveMatrixFile(dir.File("b.mat"), &identity, true));
    const std::string binary = TempDir::Read(dir.File("b.mat"));
    ASSERT_EQ(binary.size(), 64u);
    EXPECT_EQ(binary.substr(0, 4), std::string("\x00\x00\x80\x3f", 4));
    EXPECT_EQ(binary.substr(60, 4), std::string("\x00\x00\x80\x3f", 4));
}

TEST(MatrixFile, BinaryRoundTripIsBitExact) {
    TempDir dir;
    D3DXMATRIX odd = Sequence(-1);
    odd._12 = -0.0f;
    odd._13 = 1e-42f;
    odd._14 = std::bit_cast<float>(0x7fc01234u);
    odd._21 = 0.1f;
    ASSERT_TRUE(Fieldsmith::SaveMatrixFile(dir.File("b.mat"), &odd, true));
    D3DXMATRIX read = Identity();
    ASSERT_TRUE(Fieldsmith::LoadMatrixFile(dir.File("b.mat"), &read));
    EXPECT_TRUE(SameBits(read, odd));
}

TEST(MatrixFile, TextReadKeepsElementsTheFileDoesNotSupply) {
    TempDir dir;
    D3DXMATRIX m = Sequence(100);
    ASSERT_TRUE(Fieldsmith::LoadMatrixFile(dir.Write("short.mat", "Matrix(1,2,3);"), &m));
    EXPECT_EQ(m._11, 1.0f);
    EXPECT_EQ(m._13, 3.0f);
    EXPECT_EQ(m._14, Sequence(100)._14);
    EXPECT_EQ(m._44, Sequence(100)._44);
}

TEST(MatrixFile, TextReadTakesOnlyTheFirstToken) {
    TempDir dir;
    D3DXMATRIX m = Identity();
    ASSERT_TRUE(Fieldsmith::LoadMatrixFile(dir.Write("split.mat", "Matrix(5,6,\r\n7,8);\tMatrix(9);"), &m));
    D3DXMATRIX expected = Identity();
    expected._11 = 5;
    expected._12 = 6;
    EXPECT_TRUE(SameBits(m, Identity())) << "the first token has no closing parenthesis, so nothing is read";
    ASSERT_TRUE(Fieldsmith::LoadMatrixFile(dir.Write("split2.mat", "Matrix(5,6)\r\n7,8);"), &m));
    EXPECT_TRUE(SameBits(m, expected));
}

TEST(MatrixFile, ShortBinaryFillsOnlyTheLeadingElements) {
    TempDir dir;
    const float head[2] = {7.0f, 8.0f};
    D3DXMATRIX m = Sequence(0);
    ASSERT_TRUE(Fieldsmith::LoadMatrixFile(
        dir.Write("short.mat", std::string(reinterpret_cast<const char*>(head), 8)), &m));
    EXPECT_EQ(m._11, 7.0f);
    EXPECT_EQ(m._12, 8.0f);
    EXPECT_EQ(m._13, Sequence(0)._13);
}

TEST(MatrixFile, UnopenableFilesChangeNothing) {
    TempDir dir;
    D3DXMATRIX m = Sequence(3);
    EXPECT_FALSE(Fieldsmith::LoadMatrixFile(dir.File("missing.mat"), &m));
    EXPECT_FALSE(Fieldsmith::LoadMatrixFile(dir.Path().string(), &m));
    EXPECT_TRUE(SameBits(m, Sequence(3)));
    EXPECT_FALSE(Fieldsmith::SaveMatrixFile(dir.File("no/such/dir.mat"), &m, true));
    EXPECT_FALSE(Fieldsmith::SaveMatrixFile(dir.File("null.mat"), nullptr, false));
    EXPECT_FALSE(std::filesystem::exists(dir.File("null.mat")));
}

TEST(MatrixFile, BinaryIsToldFromTextByBytesZeroToEight) {
    TempDir dir;
    EXPECT_FALSE(Fieldsmith::isBinaryFile(dir.Write("text", "Matrix(1,\t2);\r\n\x0b\x0c")));
    EXPECT_FALSE(Fieldsmith::isBinaryFile(dir.Write("empty", "")));
    EXPECT_FALSE(Fieldsmith::isBinaryFile(dir.File("missing")));
    EXPECT_TRUE(Fieldsmith::isBinaryFile(dir.Write("eight", std::string(70000, 'a') + "\x08")));
    EXPECT_TRUE(Fieldsmith::isBinaryFile(dir.Write("zero", std::string("a\0b", 3))));

    // Binary bytes none of which is 0 to 8 read as text: no numbers, the matrix stays, still true.
    D3DXMATRIX m = Identity();
    EXPECT_TRUE(Fieldsmith::LoadMatrixFile(dir.Write("highbytes", "\xff\xfe\x80\x90\x10"), &m));
    EXPECT_TRUE(SameBits(m, Identity()));
}

TEST(MatrixListFile, TextListIsOneCrLfLinePerMatrix) {
    TempDir dir;
    const std::vector<D3DXMATRIX> list = {Identity(), Sequence(1), Identity()};
    ASSERT_TRUE(Fieldsmith::SaveMatrixListFile(dir.File("l.matList"), list, false));
    EXPECT_EQ(TempDir::Read(dir.File("l.matList")),
              std::string(kIdentityText) +
                  "\r\nMatrix(1,1.25,1.5,1.75,2,2.25,2.5,2.75,3,3.25,3.5,3.75,4,4.25,4.5,4.75);\r\n" +
                  kIdentityText + "\r\n");
    std::vector<D3DXMATRIX> read;
    ASSERT_TRUE(Fieldsmith::LoadMatrixListFile(dir.File("l.matList"), read));
    ASSERT_EQ(read.size(), 3u);
    EXPECT_TRUE(SameBits(read[1], Sequence(1)));
}

TEST(MatrixListFile, TextRecordsStartFromTheIdentityEachTime) {
    TempDir dir;
    std::vector<D3DXMATRIX> read;
    ASSERT_TRUE(Fieldsmith::LoadMatrixListFile(dir.Write("l.matList", "Matrix(5);\nMatrix(,,9);\n"), read));
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0]._11, 5.0f);
    EXPECT_EQ(read[1]._11, 9.0f) << "empty fields take no slot";
    EXPECT_EQ(read[1]._12, 0.0f);
    EXPECT_EQ(read[1]._22, 1.0f);
}

TEST(MatrixListFile, BinaryListIsRecordsBackToBack) {
    TempDir dir;
    const std::vector<D3DXMATRIX> list = {Sequence(0), Sequence(10), Sequence(20)};
    ASSERT_TRUE(Fieldsmith::SaveMatrixListFile(dir.File("b.matList"), list, true));
    EXPECT_EQ(std::filesystem::file_size(dir.File("b.matList")), 192u);
    std::string bytes = TempDir::Read(dir.File("b.matList")) + std::string(63, '\0');
    std::vector<D3DXMATRIX> read;
    ASSERT_TRUE(Fieldsmith::LoadMatrixListFile(dir.Write("partial.matList", bytes), read));
    ASSERT_EQ(read.size(), 3u) << "a trailing partial record is ignored";
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(SameBits(read[i], list[i]));
}

TEST(MatrixListFile, EmptyListsGiveEmptyFiles) {
    TempDir dir;
    ASSERT_TRUE(Fieldsmith::SaveMatrixListFile(dir.File("t"), {}, false));
    ASSERT_TRUE(Fieldsmith::SaveMatrixListFile(dir.File("b"), {}, true));
    EXPECT_EQ(std::filesystem::file_size(dir.File("t")), 0u);
    EXPECT_EQ(std::filesystem::file_size(dir.File("b")), 0u);
    std::vector<D3DXMATRIX> read;
    EXPECT_TRUE(Fieldsmith::LoadMatrixListFile(dir.File("t"), read));
    EXPECT_TRUE(read.empty());
    EXPECT_FALSE(Fieldsmith::LoadMatrixListFile(dir.File("missing"), read));
}
