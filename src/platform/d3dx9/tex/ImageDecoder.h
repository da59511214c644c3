// Reads PNG, BMP/DIB and TGA files from memory with stb_image, and JPEG files with libjpeg-turbo.
//
// A file that ends before the decoder has what it needs fails, rather than coming out padded, and a
// header that promises far more texels than the file could plausibly hold fails before anything is
// allocated for them.
#pragma once

#include "DecodedImage.h"

#include <cstdint>
#include <span>
#include <vector>

class ImageDecoder {
public:
    // The file format the bytes announce; files without a signature are taken as TGA. isDib picks
    // D3DXIFF_DIB over D3DXIFF_BMP for bitmap files.
    static D3DXIMAGE_FILEFORMAT Identify(std::span<const BYTE> bytes, bool isDib);

    static HRESULT ReadInfo(std::span<const BYTE> bytes, bool isDib, D3DXIMAGE_INFO& info);
    static HRESULT Decode(std::span<const BYTE> bytes, bool isDib, DecodedImage& image);

private:
    static bool Plausible(std::size_t fileSize, UINT width, UINT height);
    static HRESULT DecodeJpeg(std::span<const BYTE> file, DecodedImage& image);
    // The fewest bytes that can hold a BMP or TGA picture of this size, so that a file far too short
    // for the picture it declares fails before megabytes of texels are decoded from nothing.
    static std::uint64_t SmallestEncoding(std::span<const BYTE> bytes, D3DXIMAGE_FILEFORMAT format,
                                          UINT width, UINT height);
    // False when a PNG chunk before the end claims more bytes than the file has left: stb_image 2.27
    // allocates an image-data chunk's claimed length before reading it, gigabytes for a few bytes.
    static bool PngChunksFit(std::span<const BYTE> bytes);
    // The PNG without its empty image-data chunks, which carry nothing; stb_image 2.27 copies into a
    // null buffer when the first of them is empty. Empty when there are none to drop.
    static std::vector<BYTE> WithoutEmptyPngData(std::span<const BYTE> bytes);
};
