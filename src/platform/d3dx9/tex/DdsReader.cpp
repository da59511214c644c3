#include "DdsReader.h"

#include "DxtDecoder.h"
#include "MipChain.h"

#include <algorithm>

namespace {

constexpr std::size_t kHeaderEnd = 128;
constexpr UINT kMaxSide = 16384;

// Offsets in the file, the four-byte magic included.
constexpr std::size_t kHeaderSize = 4;
constexpr std::size_t kFlags = 8;
constexpr std::size_t kHeight = 12;
constexpr std::size_t kWidth = 16;
constexpr std::size_t kMipMapCount = 28;
constexpr std::size_t kPixelFormatSize = 76;
constexpr std::size_t kPixelFormatFlags = 80;
constexpr std::size_t kFourCC = 84;
constexpr std::size_t kBitCount = 88;
constexpr std::size_t kRedMask = 92;
constexpr std::size_t kGreenMask = 96;
constexpr std::size_t kBlueMask = 100;
constexpr std::size_t kAlphaMask = 104;
constexpr std::size_t kCaps = 108;
constexpr std::size_t kCaps2 = 112;

constexpr DWORD kFlagMipMapCount = 0x20000;
constexpr DWORD kFlagDepth = 0x800000;
constexpr DWORD kPixelAlpha = 0x1;
constexpr DWORD kPixelFourCC = 0x4;
constexpr DWORD kPixelRgb = 0x40;
constexpr DWORD kCapsMipMap = 0x400000;
constexpr DWORD kCaps2CubeMap = 0x200;
constexpr DWORD kCaps2Volume = 0x200000;

DWORD Dword(std::span<const BYTE> bytes, std::size_t offset) {
    return bytes[offset] | (DWORD{bytes[offset + 1]} << 8) | (DWORD{bytes[offset + 2]} << 16) |
           (DWORD{bytes[offset + 3]} << 24);
}

} // namespace

bool DdsReader::IsDds(std::span<const BYTE> bytes) {
    return bytes.size() >= 4 && bytes[0] == 'D' && bytes[1] == 'D' && bytes[2] == 'S' && bytes[3] == ' ';
}

D3DFORMAT DdsReader::PixelFormat(std::span<const BYTE> bytes) {
    const DWORD flags = Dword(bytes, kPixelFormatFlags);
    if (flags & kPixelFourCC) {
        const auto fourCC = static_cast<D3DFORMAT>(Dword(bytes, kFourCC));
        return DxtDecoder::BlockBytes(fourCC) ? fourCC : D3DFMT_UNKNOWN;
    }
    const bool rgb32 = (flags & kPixelRgb) && Dword(bytes, kBitCount) == 32 &&
                       Dword(bytes, kRedMask) == 0x00FF0000u && Dword(bytes, kGreenMask) == 0x0000FF00u &&
                       Dword(bytes, kBlueMask) == 0x000000FFu;
    if (!rgb32)
        return D3DFMT_UNKNOWN;
    if ((flags & kPixelAlpha) && Dword(bytes, kAlphaMask) == 0xFF000000u)
        return D3DFMT_A8R8G8B8;
    return (flags & kPixelAlpha) ? D3DFMT_UNKNOWN : D3DFMT_X8R8G8B8;
}

UINT DdsReader::LevelCount(std::span<const BYTE> bytes, UINT width, UINT height) {
    const bool hasMips = (Dword(bytes, kFlags) & kFlagMipMapCount) || (Dword(bytes, kCaps) & kCapsMipMap);
    const DWORD count = hasMips ? Dword(bytes, kMipMapCount) : 1;
    // More levels than the chain has is a broken header, not something to guess about.
    if (count > FullChainLength(width, height))
        return 0;
    return std::max<DWORD>(count, 1);
}

std::uint64_t DdsReader::LevelBytes(D3DFORMAT format, UINT width, UINT height) {
    if (DxtDecoder::BlockBytes(format))
        return DxtDecoder::LevelBytes(format, width, height);
    return std::uint64_t{width} * height * 4;
}

HRESULT DdsReader::ReadInfo(std::span<const BYTE> bytes, D3DXIMAGE_INFO& info) {
    if (!IsDds(bytes) || bytes.size() < kHeaderEnd || Dword(bytes, kHeaderSize) != 124 ||
        Dword(bytes, kPixelFormatSize) != 32)
        return D3DXERR_INVALIDDATA;
    const UINT width = Dword(bytes, kWidth);
    const UINT height = Dword(bytes, kHeight);
    const D3DFORMAT format = PixelFormat(bytes);
    const bool flat =
        !(Dword(bytes, kCaps2) & (kCaps2CubeMap | kCaps2Volume)) && !(Dword(bytes, kFlags) & kFlagDepth);
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide || format == D3DFMT_UNKNOWN ||
        !flat)
        return D3DXERR_INVALIDDATA;
    const UINT levels = LevelCount(bytes, width, height);
    if (levels == 0)
        return D3DXERR_INVALIDDATA;
    std::uint64_t total = 0;
    for (UINT level = 0; level < levels; ++level)
        total += LevelBytes(format, std::max(1u, width >> level), std::max(1u, height >> level));
    if (total > bytes.size() - kHeaderEnd)
        return D3DXERR_INVALIDDATA;
    info.Width = width;
    info.Height = height;
    info.Depth = 1;
    info.MipLevels = levels;
    info.Format = format;
    info.ResourceType = D3DRTYPE_TEXTURE;
    info.ImageFileFormat = D3DXIFF_DDS;
    return S_OK;
}

ArgbImage DdsReader::DecodeLevel(D3DFORMAT format, std::span<const BYTE> data, UINT width, UINT height) {
    if (DxtDecoder::BlockBytes(format))
        return DxtDecoder::Decode(format, data, width, height);
    ArgbImage image(width, height);
    const DWORD opaque = format == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0;
    for (UINT y = 0; y < height; ++y)
        for (UINT x = 0; x < width; ++x)
            image.At(x, y) = Dword(data, (static_cast<std::size_t>(y) * width + x) * 4) | opaque;
    return image;
}

HRESULT DdsReader::Decode(std::span<const BYTE> bytes, DecodedImage& image) {
    const HRESULT described = ReadInfo(bytes, image.info);
    if (FAILED(described))
        return described;
    const D3DXIMAGE_INFO& info = image.info;
    image.levels.clear();
    std::size_t offset = kHeaderEnd;
    for (UINT level = 0; level < info.MipLevels; ++level) {
        const UINT width = std::max(1u, info.Width >> level);
        const UINT height = std::max(1u, info.Height >> level);
        const auto size = static_cast<std::size_t>(LevelBytes(info.Format, width, height));
        image.levels.push_back(DecodeLevel(info.Format, bytes.subspan(offset, size), width, height));
        offset += size;
    }
    return S_OK;
}
