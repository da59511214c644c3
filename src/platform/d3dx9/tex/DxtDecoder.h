// Decodes DXT1, DXT3 and DXT5 block-compressed pictures to ARGB in software: the device stores no
// compressed formats.
#pragma once

#include "ArgbImage.h"
#include "d3dx9tex.h"

#include <array>
#include <cstdint>
#include <span>

class DxtDecoder {
public:
    // Bytes per 4x4 block of the format, 0 for formats this decoder does not read.
    static UINT BlockBytes(D3DFORMAT format);
    // Bytes of one width x height level: whole blocks cover partial ones at the edges.
    static std::uint64_t LevelBytes(D3DFORMAT format, UINT width, UINT height);
    // blocks holds at least LevelBytes(format, width, height) bytes.
    static ArgbImage Decode(D3DFORMAT format, std::span<const BYTE> blocks, UINT width, UINT height);

private:
    // The 16 texels of one block, row by row.
    using Block = std::array<DWORD, 16>;

    static Block ColorBlock(const BYTE* block, bool allowTransparent);
    static void ExplicitAlpha(const BYTE* block, Block& texels);
    static void InterpolatedAlpha(const BYTE* block, Block& texels);
};
