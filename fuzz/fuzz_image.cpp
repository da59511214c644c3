// Picture files: PNG, JPEG, BMP and TGA through the image decoder, DDS through our own reader, as
// texture loading dispatches them. A picture that decodes must match its header: the size and level
// count the header gives, each level half the one before.
#include "DdsReader.h"
#include "FuzzCheck.h"
#include "ImageDecoder.h"

#include <algorithm>
#include <cstdint>

namespace {

HRESULT Info(std::span<const BYTE> bytes, D3DXIMAGE_INFO& info) {
    return DdsReader::IsDds(bytes) ? DdsReader::ReadInfo(bytes, info)
                                   : ImageDecoder::ReadInfo(bytes, false, info);
}

HRESULT Decode(std::span<const BYTE> bytes, DecodedImage& image) {
    return DdsReader::IsDds(bytes) ? DdsReader::Decode(bytes, image)
                                   : ImageDecoder::Decode(bytes, false, image);
}

void CheckLevels(const DecodedImage& image, const D3DXIMAGE_INFO& header) {
    FuzzCheck(image.info.Width == header.Width && image.info.Height == header.Height,
              "decoding describes the picture as the header does");
    FuzzCheck(!image.levels.empty() && image.levels.size() == image.info.MipLevels,
              "one picture per level the header counts");
    UINT width = image.info.Width;
    UINT height = image.info.Height;
    for (const ArgbImage& level : image.levels) {
        FuzzCheck(level.Width() == width && level.Height() == height, "each level has its size");
        width = std::max(1u, width / 2);
        height = std::max(1u, height / 2);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const BYTE> bytes(data, size);
    D3DXIMAGE_INFO header{};
    const HRESULT described = Info(bytes, header);
    DecodedImage image;
    const HRESULT decoded = Decode(bytes, image);
    FuzzCheck(described == S_OK || described == D3DXERR_INVALIDDATA, "reading a header succeeds or refuses");
    FuzzCheck(decoded == S_OK || decoded == D3DXERR_INVALIDDATA, "decoding succeeds or refuses");
    if (decoded == S_OK) {
        FuzzCheck(described == S_OK, "a picture that decodes has a header");
        CheckLevels(image, header);
    }
    return 0;
}
