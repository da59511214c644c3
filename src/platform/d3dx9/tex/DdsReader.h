// Reads DDS files: DXT1, DXT3 and DXT5 (decoded to ARGB) and uncompressed 32-bit A8R8G8B8 and
// X8R8G8B8, with their mip levels. Every size the header gives is checked against the file before
// anything is read or allocated; cube maps, volumes and other pixel formats are refused.
#pragma once

#include "DecodedImage.h"

#include <span>

class DdsReader {
public:
    static bool IsDds(std::span<const BYTE> bytes);
    static HRESULT ReadInfo(std::span<const BYTE> bytes, D3DXIMAGE_INFO& info);
    static HRESULT Decode(std::span<const BYTE> bytes, DecodedImage& image);

private:
    static D3DFORMAT PixelFormat(std::span<const BYTE> bytes);
    static UINT LevelCount(std::span<const BYTE> bytes, UINT width, UINT height);
    static std::uint64_t LevelBytes(D3DFORMAT format, UINT width, UINT height);
    static ArgbImage DecodeLevel(D3DFORMAT format, std::span<const BYTE> data, UINT width, UINT height);
};
