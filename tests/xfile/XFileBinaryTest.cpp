// Binary and MSZIP-compressed X files, written by our own test writer, read through the whole loader.
#include "XFileModel.h"
#include "XFileMszip.h"
#include "XFileParser.h"
#include "XFileTestFiles.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using W = XFileBinaryWriter;

XFileModel Load(std::span<const std::uint8_t> bytes) {
    XFileModel model;
    std::string error;
    EXPECT_TRUE(XFileModel::LoadFromMemory(bytes, model, error)) << error;
    return model;
}

std::string LoadError(std::span<const std::uint8_t> bytes) {
    XFileModel model;
    std::string error;
    EXPECT_FALSE(XFileModel::LoadFromMemory(bytes, model, error));
    return error;
}

// A template declared in binary, then a frame with a mesh whose values are split across lists the way
// writers merge them, strings with both terminator forms, and references.
W TexturedQuad(std::string_view header = "xof 0303bin 0032", bool doubles = false) {
    W w(header);
    w.Tok(W::kTemplate)
        .Name("Tagged")
        .Tok(W::kOBrace)
        .Guid(0x12345678, 0x9abc, 0xdef0, 0x0123456789abcdefULL);
    w.Tok(W::kDWord).Name("count").Tok(W::kSemicolon);
    w.Tok(W::kArray).Tok(W::kFloat).Name("values").Tok(W::kOBracket).Name("count").Tok(W::kCBracket);
    w.Tok(W::kSemicolon);
    w.Tok(W::kArray).Tok(W::kWord).Name("fixed").Tok(W::kOBracket).Integer(2).Tok(W::kCBracket);
    w.Tok(W::kSemicolon).Tok(W::kOBracket).Tok(W::kDot).Tok(W::kDot).Tok(W::kDot).Tok(W::kCBracket);
    w.Tok(W::kCBrace);
    w.Name("Tagged")
        .Tok(W::kOBrace)
        .Integers({2})
        .Floats({0.5, 1.5}, doubles)
        .Integers({7, 8})
        .Tok(W::kCBrace);

    w.Name("Material").Name("Skin").Tok(W::kOBrace).Floats({1, 0.5, 0.25, 1, 8, 0, 0, 0, 0, 0, 0}, doubles);
    w.Name("TextureFilename").Tok(W::kOBrace).String("skin.png", true).Tok(W::kCBrace).Tok(W::kCBrace);

    w.Name("Frame").Name("Root").Tok(W::kOBrace);
    w.Name("FrameTransformMatrix").Tok(W::kOBrace);
    w.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 6, 7, 1}, doubles).Tok(W::kCBrace);
    w.Name("Mesh").Name("Quad").Tok(W::kOBrace).Integers({4});
    w.Floats({0, 0, 0, 1, 0}, doubles).Floats({0, 1, 1, 0, 0, 1, 0}, doubles); // 12 floats over two lists
    w.Integers({1, 4, 0, 1, 2}).Integer(3);                                    // a lone integer ends the face
    w.Name("MeshTextureCoords").Tok(W::kOBrace).Integers({4}).Floats({0, 0, 1, 0, 1, 1, 0, 1}, doubles);
    w.Tok(W::kCBrace);
    w.Name("MeshMaterialList").Tok(W::kOBrace).Integers({1, 1, 0});
    w.Tok(W::kOBrace).Name("Skin").Tok(W::kCBrace).Tok(W::kCBrace);
    w.Name("SkinWeights").Tok(W::kOBrace).String("Root").Integers({2, 1, 3}).Floats({0.5, 0.5}, doubles);
    w.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, doubles).Tok(W::kCBrace);
    w.Tok(W::kCBrace).Tok(W::kCBrace);
    return w;
}

void ExpectTexturedQuad(const XFileModel& model) {
    ASSERT_EQ(model.frames.size(), 1u);
    const XFileFrame& root = model.frames[0];
    EXPECT_EQ(root.name, "Root");
    EXPECT_EQ(root.transform[12], 5.0f);
    EXPECT_EQ(root.transform[14], 7.0f);
    ASSERT_EQ(root.meshes.size(), 1u);
    const XFileMesh& quad = *root.meshes[0];
    EXPECT_EQ(quad.name, "Quad");
    ASSERT_EQ(quad.positions.size(), 4u);
    EXPECT_EQ(quad.positions[1], (std::array<float, 3>{1, 0, 0}));
    EXPECT_EQ(quad.positions[3], (std::array<float, 3>{0, 1, 0}));
    EXPECT_EQ(quad.faceSizes, std::vector<std::uint32_t>{4});
    EXPECT_EQ(quad.faceIndices, (std::vector<std::uint32_t>{0, 1, 2, 3}));
    EXPECT_EQ(quad.textureCoords[2], (std::array<float, 2>{1, 1}));
    ASSERT_EQ(quad.materials.size(), 1u);
    EXPECT_EQ(quad.materials[0].name, "Skin");
    EXPECT_EQ(quad.materials[0].faceColor, (std::array<float, 4>{1, 0.5f, 0.25f, 1}));
    EXPECT_EQ(quad.materials[0].power, 8.0f);
    EXPECT_EQ(quad.materials[0].textureFilename, "skin.png");
    ASSERT_EQ(quad.skinWeights.size(), 1u);
    EXPECT_EQ(quad.skinWeights[0].boneName, "Root");
    EXPECT_EQ(quad.skinWeights[0].vertexIndices, (std::vector<std::uint32_t>{1, 3}));
    EXPECT_EQ(quad.skinWeights[0].weights, (std::vector<float>{0.5f, 0.5f}));
}

TEST(XFileBinary, ReadsTemplatesObjectsListsStringsAndReferences) {
    const W file = TexturedQuad();
    ExpectTexturedQuad(Load(file.Bytes()));

    const std::vector<XFileDataObject> all = XFileParser().Parse(file.Bytes());
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].type, "Tagged");
    EXPECT_EQ(all[0].floats, (std::vector<float>{0.5f, 1.5f}));
    EXPECT_EQ(all[0].integers, (std::vector<std::uint32_t>{2, 7, 8}));
}

TEST(XFileBinary, Reads64BitFloatsNarrowedToFloat) {
    ExpectTexturedQuad(Load(TexturedQuad("xof 0303bin 0064", true).Bytes()));
}

TEST(XFileBinary, ReadsNonFiniteFloatsAsZero) {
    W w;
    w.Name("Mesh").Tok(W::kOBrace).Integers({1});
    w.Floats({std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 2});
    w.Integers({0}).Tok(W::kCBrace);
    const XFileModel model = Load(w.Bytes());
    ASSERT_EQ(model.meshes.size(), 1u);
    EXPECT_EQ(model.meshes[0]->positions[0], (std::array<float, 3>{0, 0, 2}));
}

TEST(XFileBinary, SkipsUnknownObjectsTokenByToken) {
    W w;
    w.Name("Unknown").Tok(W::kOBrace).Integers({1, 2}).Floats({3}).String("}").Guid(1, 2, 3, 4);
    w.Name("Inner").Tok(W::kOBrace).Tok(W::kOBrace).Name("Ref").Tok(W::kCBrace).Tok(W::kCBrace);
    w.Tok(W::kCBrace);
    w.Name("Frame").Name("After").Tok(W::kOBrace).Tok(W::kCBrace);
    const XFileModel model = Load(w.Bytes());
    ASSERT_EQ(model.frames.size(), 1u);
    EXPECT_EQ(model.frames[0].name, "After");
}

TEST(XFileBinary, RejectsBadTokensAndOversizedRecordsWithTheByteOffset) {
    W unknown;
    unknown.Name("Frame").Tok(W::kOBrace).Tok(99);
    EXPECT_EQ(LoadError(unknown.Bytes()), "byte offset 29: unknown token 99");

    W hugeList;
    hugeList.Name("Mesh").Tok(W::kOBrace).Tok(W::kIntegerList).U32(0x40000000).U32(1);
    EXPECT_EQ(LoadError(hugeList.Bytes()),
              "byte offset 30: an integer list of 1073741824 items runs past the end of the file");

    W hugeCount;
    hugeCount.Name("Mesh").Tok(W::kOBrace).Integers({100000, 0, 0, 0});
    EXPECT_EQ(LoadError(hugeCount.Bytes()),
              "byte offset 38: 'vertices' declares 100000 elements, more than the rest of the file can hold");

    W floatsForInts;
    floatsForInts.Name("Mesh").Tok(W::kOBrace).Floats({1});
    EXPECT_EQ(LoadError(floatsForInts.Bytes()), "byte offset 34: expected an integer, found a float list");
}

TEST(XFileBinary, FailsCleanlyWhenCutAtAnyByte) {
    const W file = TexturedQuad();
    const std::vector<std::uint8_t>& whole = file.Bytes();
    // A cut may fall just after the template or an object before the frame, which leaves a shorter
    // valid file; every other cut fails, and none yields the frame.
    int loadedCount = 0;
    for (std::size_t length = 0; length < whole.size(); ++length) {
        XFileModel model;
        std::string error;
        const bool loaded = XFileModel::LoadFromMemory(std::span(whole).first(length), model, error);
        loadedCount += loaded;
        EXPECT_TRUE(model.frames.empty()) << "cut at " << length;
        EXPECT_EQ(loaded, error.empty()) << "cut at " << length;
    }
    EXPECT_EQ(loadedCount, 4); // the bare header, after the template, after Tagged, after the material
}

// Random damage of every kind must end in a clean answer: loaded, or refused with a message.
TEST(XFileBinary, SurvivesRandomDamageToBinaryCompressedAndTextFiles) {
    const W binary = TexturedQuad();
    const std::string text = "xof 0303txt 0032\ntemplate T { <01234567-89ab-cdef-0123-456789abcdef> DWORD n; "
                             "array FLOAT f[n]; }\nT { 2; 1.5, 2.5; }\nFrame F { Mesh { 3; 0;0;0;, 1;0;0;, "
                             "0;1;0;; 1; 3;0,1,2;; MeshMaterialList { 1; 1; 0;; { M } } } }\n";
    const std::vector<std::vector<std::uint8_t>> files = {
        binary.Bytes(), XFileMszipCompress(binary.Bytes(), 50),
        std::vector<std::uint8_t>(text.begin(), text.end())};
    std::mt19937 random(2024);
    for (const std::vector<std::uint8_t>& file : files) {
        for (int trial = 0; trial < 400; ++trial) {
            std::vector<std::uint8_t> damaged = file;
            for (int k = 0; k < 1 + trial % 4; ++k) {
                const std::size_t at = 16 + random() % (damaged.size() - 16);
                damaged[at] =
                    trial % 2 ? static_cast<std::uint8_t>(random()) : "{};,\"<>[]09.-#"[random() % 15];
            }
            XFileModel model;
            std::string error;
            const bool loaded = XFileModel::LoadFromMemory(damaged, model, error);
            EXPECT_NE(loaded, !error.empty() && error.find(": ") != std::string::npos) << error;
        }
    }
}

TEST(XFileMszip, InflatesBinaryAndTextFilesAcrossBlocksThatShareTheirHistory) {
    const std::vector<std::uint8_t> compressed = XFileMszipCompress(TexturedQuad().Bytes(), 64);
    ASSERT_EQ(std::string(compressed.begin(), compressed.begin() + 16), "xof 0303bzip0032");
    ExpectTexturedQuad(Load(compressed));

    // Repeated text compresses to back-references that reach into earlier blocks.
    std::string text = "xof 0303txt 0032\nFrame Root {\n";
    for (int i = 0; i < 400; ++i)
        text += "  Frame Child" + std::to_string(i % 3) +
                " { FrameTransformMatrix { 1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;; } }\n";
    text += "}\n";
    const std::vector<std::uint8_t> plain(text.begin(), text.end());
    const std::vector<std::uint8_t> tzip = XFileMszipCompress(plain, 1000);
    EXPECT_LT(tzip.size(), plain.size() / 10);
    const XFileModel model = Load(tzip);
    ASSERT_EQ(model.frames.size(), 1u);
    EXPECT_EQ(model.frames[0].children.size(), 400u);
    EXPECT_EQ(XFileMszip::Inflate(std::span(tzip).subspan(16)),
              std::vector<std::uint8_t>(plain.begin() + 16, plain.end()));
}

TEST(XFileMszip, CompressedTextNamesLinesOfTheInflatedTextAlsoAfterParsing) {
    // The mesh is checked once the parse is over; its place still counts lines in the inflated text.
    const std::string text = "xof 0303txt 0032\n\nMesh T { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,3;; }\n";
    const std::vector<std::uint8_t> plain(text.begin(), text.end());
    EXPECT_EQ(LoadError(XFileMszipCompress(plain)),
              "line 3 of the inflated text: Mesh 'T' face 0 uses vertex 3, but there are 3 vertices");
}

TEST(XFileMszip, RejectsBrokenBlocksNamingTheirOffset) {
    const std::vector<std::uint8_t> good = XFileMszipCompress(TexturedQuad().Bytes());
    auto broken = good;
    broken[24] = 'X';
    EXPECT_EQ(LoadError(broken), "byte offset 20: a compressed block lacks its \"CK\" signature");
    broken = good;
    broken[22] = 0xFF;
    broken[23] = 0xFF;
    EXPECT_EQ(LoadError(broken),
              "byte offset 20: a compressed block of 65535 bytes runs past the end of the file");
    broken = good;
    broken[20] += 1;
    EXPECT_NE(LoadError(broken).find("byte offset 20: a compressed block does not inflate to its declared"),
              std::string::npos);
    broken = good;
    broken[16] += 1;
    EXPECT_NE(LoadError(broken).find("not the declared"), std::string::npos);
    broken = good;
    broken.push_back(1);
    EXPECT_EQ(LoadError(broken), "byte offset " + std::to_string(good.size()) +
                                     ": the file ends inside a compressed block header");
    for (std::size_t length = 16; length < good.size(); ++length)
        EXPECT_FALSE(LoadError(std::span(good).first(length)).empty()) << "cut at " << length;
}

} // namespace
