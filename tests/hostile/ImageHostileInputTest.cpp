#include "ImageDecoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StbImageWrite.h"

namespace {

// An 8x8 colour JPEG: frame header FF C0 with three components, one scan FF DA.
std::string Jpeg() {
    std::vector<unsigned char> rgb(8 * 8 * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<unsigned char>(i * 7);
    std::string out;
    stbi_write_jpg_to_func(
        [](void* context, void* data, int size) {
            static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                                       static_cast<std::size_t>(size));
        },
        &out, 8, 8, 3, rgb.data(), 90);
    return out;
}

HRESULT Decode(const std::string& bytes) {
    DecodedImage image;
    return ImageDecoder::Decode({reinterpret_cast<const BYTE*>(bytes.data()), bytes.size()}, false, image);
}

struct Damage {
    const char* what;
    const char* marker; // the segment changed
    std::size_t offset; // from the marker's first byte
    unsigned char value;
};

// Tables a file uses but never defines were read from uninitialised memory; each is refused now.
class JpegTables : public testing::TestWithParam<Damage> {};

TEST_P(JpegTables, UndefinedTablesAreRefused) {
    std::string jpeg = Jpeg();
    ASSERT_EQ(Decode(jpeg), S_OK);
    const std::size_t at = jpeg.find(GetParam().marker);
    ASSERT_NE(at, std::string::npos);
    jpeg[at + GetParam().offset] = static_cast<char>(GetParam().value);
    EXPECT_EQ(Decode(jpeg), D3DXERR_INVALIDDATA);
}

// Frame: marker 2, length 2, precision 1, height 2, width 2, count 1, then id, sampling, table.
// Scan: marker 2, length 2, count 1, then id and table selectors (DC high, AC low).
INSTANTIATE_TEST_SUITE_P(Hostile, JpegTables,
                         testing::Values(Damage{"quantisation table 3", "\xFF\xC0", 12, 3},
                                         Damage{"Huffman tables 3", "\xFF\xDA", 6, 0x33},
                                         Damage{"AC Huffman table 2", "\xFF\xDA", 8, 0x02}),
                         [](const testing::TestParamInfo<Damage>& info) {
                             return std::to_string(info.index);
                         });

TEST(ImageHostileInput, TruncatedJpegIsRefused) {
    const std::string jpeg = Jpeg();
    EXPECT_EQ(Decode(jpeg.substr(0, jpeg.size() - 40)), D3DXERR_INVALIDDATA);
}

// A 23-byte run-length TGA declaring 1026 by 4866 texels was decoded from nothing for seconds before
// being refused as truncated; files too short for their picture are refused at once.
TEST(ImageHostileInput, PicturesLargerThanTheFileCanHoldAreRefused) {
    std::string tga("\0\0\x0a\0\0\0\0\0\0\0\0\0\x02\x04\x02\x13\x20\x08\x0a\x83\x14\x1e\xff", 23);
    EXPECT_EQ(Decode(tga), D3DXERR_INVALIDDATA);
    tga[2] = 2; // the same size uncompressed
    EXPECT_EQ(Decode(tga), D3DXERR_INVALIDDATA);
    std::string bmp(54, '\0');
    bmp.replace(0, 2, "BM");
    bmp[14] = 40;          // header size
    bmp[19] = bmp[23] = 8; // 2048 by 2048
    bmp[26] = 1;           // planes
    bmp[28] = 24;          // bits per pixel
    EXPECT_EQ(Decode(bmp), D3DXERR_INVALIDDATA);
}

// stb_image allocated what an image-data chunk claims before reading it: 2 GB for a 60-byte file.
TEST(ImageHostileInput, PngChunksLongerThanTheFileAreRefused) {
    std::string png("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x01\0\0\0\x01\x08\x02\0\0\0\x90\x77\x53\xde"
                    "\x7f\xff\xff\xffIDAT\x78\x9c\x63\x60\0\0\0\x02\0\x01",
                    51);
    EXPECT_EQ(Decode(png), D3DXERR_INVALIDDATA);
    png.resize(41); // only the length and type of the image-data chunk, as stb_image needs them
    EXPECT_EQ(Decode(png), D3DXERR_INVALIDDATA);
}

} // namespace
