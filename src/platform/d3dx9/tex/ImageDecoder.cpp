#include "ImageDecoder.h"

#include "JpegDecoder.h"

#include <algorithm>
#include <cstring>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#define STBI_MAX_DIMENSIONS 16384
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wpedantic"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace {

constexpr UINT kMaxSide = 16384;
constexpr std::uint64_t kMaxTexels = std::uint64_t{1} << 26;
// Deflate and JPEG shrink flat pictures by up to about a thousand to one; a header asking for more
// than this many decoded bytes per file byte is not a real picture.
constexpr std::uint64_t kMaxExpansion = 2048;
constexpr std::uint64_t kAlwaysAllowedBytes = std::uint64_t{64} << 20;

// Feeds stb the file and notes whether it ever asked for bytes past the end: stb itself would read
// zeros there and call a truncated file good.
struct ByteSource {
    std::span<const BYTE> bytes;
    std::size_t position = 0;
    bool overran = false;

    static int Read(void* user, char* data, int size) {
        auto* self = static_cast<ByteSource*>(user);
        const std::size_t left = self->bytes.size() - self->position;
        if (size > 0 && left == 0)
            self->overran = true;
        const std::size_t count = std::min(left, static_cast<std::size_t>(std::max(size, 0)));
        if (count)
            std::memcpy(data, self->bytes.data() + self->position, count);
        self->position += count;
        return static_cast<int>(count);
    }
    static void Skip(void* user, int n) {
        auto* self = static_cast<ByteSource*>(user);
        if (n < 0) {
            self->position -= std::min(self->position, static_cast<std::size_t>(-static_cast<long>(n)));
            return;
        }
        const std::size_t left = self->bytes.size() - self->position;
        if (static_cast<std::size_t>(n) > left)
            self->overran = true;
        self->position += std::min(left, static_cast<std::size_t>(n));
    }
    static int Eof(void* user) {
        const auto* self = static_cast<ByteSource*>(user);
        return self->position >= self->bytes.size();
    }
};

constexpr stbi_io_callbacks kCallbacks{&ByteSource::Read, &ByteSource::Skip, &ByteSource::Eof};

bool StartsWith(std::span<const BYTE> bytes, std::initializer_list<BYTE> prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

D3DFORMAT FileFormat(D3DXIMAGE_FILEFORMAT fileFormat, int channels) {
    if (channels == 2 || channels == 4)
        return D3DFMT_A8R8G8B8;
    return fileFormat == D3DXIFF_JPG ? D3DFMT_X8R8G8B8 : D3DFMT_R8G8B8;
}

} // namespace

D3DXIMAGE_FILEFORMAT ImageDecoder::Identify(std::span<const BYTE> bytes, bool isDib) {
    if (StartsWith(bytes, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}))
        return D3DXIFF_PNG;
    // Any file opening with a marker byte is taken for JPEG; the JPEG reader refuses those that do not
    // start an image.
    if (StartsWith(bytes, {0xFF}))
        return D3DXIFF_JPG;
    if (StartsWith(bytes, {'B', 'M'}))
        return isDib ? D3DXIFF_DIB : D3DXIFF_BMP;
    return D3DXIFF_TGA;
}

bool ImageDecoder::Plausible(std::size_t fileSize, UINT width, UINT height) {
    const std::uint64_t texels = std::uint64_t{width} * height;
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide && texels <= kMaxTexels &&
           texels * 4 <= std::max(kAlwaysAllowedBytes, fileSize * kMaxExpansion);
}

std::uint64_t ImageDecoder::SmallestEncoding(std::span<const BYTE> bytes, D3DXIMAGE_FILEFORMAT format,
                                             UINT width, UINT height) {
    const std::uint64_t texels = std::uint64_t{width} * height;
    const auto at = [&](std::size_t offset) { return offset < bytes.size() ? bytes[offset] : BYTE{0}; };
    if (format == D3DXIFF_TGA) {
        constexpr BYTE kRunLengthTypes = 8; // types 9 to 11 are 1 to 3 run-length encoded
        constexpr std::uint64_t kLongestRun = 128;
        const std::uint64_t texelBytes = std::max<std::uint64_t>(1, (at(16) + 7u) / 8u);
        return at(2) > kRunLengthTypes ? (texels + kLongestRun - 1) / kLongestRun * (1 + texelBytes)
                                       : texels * texelBytes;
    }
    if (format == D3DXIFF_BMP || format == D3DXIFF_DIB) {
        constexpr BYTE kCoreHeaderSize = 12; // the old header, whose sizes are 16-bit
        const std::size_t bitsAt = at(14) == kCoreHeaderSize ? 24 : 28;
        const std::uint64_t bits = at(bitsAt) | (std::uint64_t{at(bitsAt + 1)} << 8);
        return texels * bits / 8;
    }
    return 0; // PNG and JPEG compress too well for a useful bound
}

bool ImageDecoder::PngChunksFit(std::span<const BYTE> bytes) {
    constexpr std::size_t kSignature = 8;
    constexpr std::size_t kChunkFrame = 12;   // length, type and checksum
    constexpr std::size_t kLengthAndType = 8; // all stb_image needs to allocate for the chunk
    for (std::size_t at = kSignature; at + kLengthAndType <= bytes.size();) {
        const std::size_t length = (std::size_t{bytes[at]} << 24) | (std::size_t{bytes[at + 1]} << 16) |
                                   (std::size_t{bytes[at + 2]} << 8) | bytes[at + 3];
        if (bytes.size() - at < kChunkFrame || length > bytes.size() - at - kChunkFrame)
            return false;
        if (std::equal(bytes.begin() + at + 4, bytes.begin() + at + 8, "IEND"))
            return true;
        at += kChunkFrame + length;
    }
    return true; // a file cut inside a chunk's length or type fails in the decoder
}

std::vector<BYTE> ImageDecoder::WithoutEmptyPngData(std::span<const BYTE> bytes) {
    constexpr std::size_t kSignature = 8;
    constexpr std::size_t kChunkFrame = 12; // length, type and checksum
    std::vector<BYTE> kept;
    std::size_t copied = 0;
    for (std::size_t at = kSignature; at + kChunkFrame <= bytes.size();) {
        const std::size_t length = (std::size_t{bytes[at]} << 24) | (std::size_t{bytes[at + 1]} << 16) |
                                   (std::size_t{bytes[at + 2]} << 8) | bytes[at + 3];
        const bool emptyData =
            length == 0 && std::equal(bytes.begin() + at + 4, bytes.begin() + at + 8, "IDAT");
        if (emptyData) {
            kept.insert(kept.end(), bytes.begin() + copied, bytes.begin() + at);
            copied = at + kChunkFrame;
        }
        if (length > bytes.size() - at - kChunkFrame)
            break;
        at += kChunkFrame + length;
    }
    if (copied != 0)
        kept.insert(kept.end(), bytes.begin() + copied, bytes.end());
    return kept;
}

HRESULT ImageDecoder::ReadInfo(std::span<const BYTE> bytes, bool isDib, D3DXIMAGE_INFO& info) {
    ByteSource source{bytes};
    int width = 0;
    int height = 0;
    int channels = 0;
    if (Identify(bytes, isDib) == D3DXIFF_JPG) {
        JpegDecoder::Header header;
        if (!JpegDecoder::ReadHeader(bytes, header))
            return D3DXERR_INVALIDDATA;
        width = static_cast<int>(header.width);
        height = static_cast<int>(header.height);
        channels = header.components;
    } else if (!stbi_info_from_callbacks(&kCallbacks, &source, &width, &height, &channels) ||
               source.overran) {
        return D3DXERR_INVALIDDATA;
    }
    if (Identify(bytes, isDib) == D3DXIFF_PNG && !PngChunksFit(bytes))
        return D3DXERR_INVALIDDATA;
    if (!Plausible(bytes.size(), static_cast<UINT>(width), static_cast<UINT>(height)) ||
        bytes.size() < SmallestEncoding(bytes, Identify(bytes, isDib), static_cast<UINT>(width),
                                        static_cast<UINT>(height)))
        return D3DXERR_INVALIDDATA;
    info.Width = static_cast<UINT>(width);
    info.Height = static_cast<UINT>(height);
    info.Depth = 1;
    info.MipLevels = 1;
    info.ImageFileFormat = Identify(bytes, isDib);
    info.Format = FileFormat(info.ImageFileFormat, channels);
    info.ResourceType = D3DRTYPE_TEXTURE;
    return S_OK;
}

HRESULT ImageDecoder::Decode(std::span<const BYTE> file, bool isDib, DecodedImage& image) {
    const HRESULT described = ReadInfo(file, isDib, image.info);
    if (FAILED(described))
        return described;
    if (image.info.ImageFileFormat == D3DXIFF_JPG)
        return DecodeJpeg(file, image);
    const std::vector<BYTE> rewritten =
        image.info.ImageFileFormat == D3DXIFF_PNG ? WithoutEmptyPngData(file) : std::vector<BYTE>();
    const std::span<const BYTE> bytes = rewritten.empty() ? file : std::span<const BYTE>(rewritten);
    ByteSource source{bytes};
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* rgba = stbi_load_from_callbacks(&kCallbacks, &source, &width, &height, &channels, 4);
    const bool good = rgba && !source.overran && static_cast<UINT>(width) == image.info.Width &&
                      static_cast<UINT>(height) == image.info.Height;
    if (!good) {
        stbi_image_free(rgba);
        return D3DXERR_INVALIDDATA;
    }
    ArgbImage picture(image.info.Width, image.info.Height);
    const stbi_uc* texel = rgba;
    for (UINT y = 0; y < picture.Height(); ++y)
        for (UINT x = 0; x < picture.Width(); ++x, texel += 4)
            picture.At(x, y) = D3DCOLOR_ARGB(texel[3], texel[0], texel[1], texel[2]);
    stbi_image_free(rgba);
    image.levels.assign(1, std::move(picture));
    return S_OK;
}

HRESULT ImageDecoder::DecodeJpeg(std::span<const BYTE> file, DecodedImage& image) {
    ArgbImage picture;
    if (!JpegDecoder::Decode(file, picture) || picture.Width() != image.info.Width ||
        picture.Height() != image.info.Height)
        return D3DXERR_INVALIDDATA;
    image.levels.assign(1, std::move(picture));
    return S_OK;
}
