#include "DxtDecoder.h"

#include <algorithm>

namespace {

UINT Word(const BYTE* p) {
    return p[0] | (UINT{p[1]} << 8);
}

// The five- and six-bit channels widened by repeating their top bits, so that 31 and 63 become 255.
std::array<UINT, 3> Expand565(UINT color) {
    const UINT r = (color >> 11) & 0x1F;
    const UINT g = (color >> 5) & 0x3F;
    const UINT b = color & 0x1F;
    return {(r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2)};
}

DWORD Rgb(const std::array<UINT, 3>& c) {
    return D3DCOLOR_ARGB(0xFF, c[0], c[1], c[2]);
}

// Two thirds of a and one of b, rounded to nearest.
std::array<UINT, 3> TwoThirds(const std::array<UINT, 3>& a, const std::array<UINT, 3>& b) {
    return {(2 * a[0] + b[0] + 1) / 3, (2 * a[1] + b[1] + 1) / 3, (2 * a[2] + b[2] + 1) / 3};
}

// The mean of a and b, rounded down.
std::array<UINT, 3> Half(const std::array<UINT, 3>& a, const std::array<UINT, 3>& b) {
    return {(a[0] + b[0]) / 2, (a[1] + b[1]) / 2, (a[2] + b[2]) / 2};
}

} // namespace

UINT DxtDecoder::BlockBytes(D3DFORMAT format) {
    if (format == D3DFMT_DXT1)
        return 8;
    return format == D3DFMT_DXT3 || format == D3DFMT_DXT5 ? 16 : 0;
}

std::uint64_t DxtDecoder::LevelBytes(D3DFORMAT format, UINT width, UINT height) {
    const std::uint64_t across = (std::uint64_t{width} + 3) / 4;
    const std::uint64_t down = (std::uint64_t{height} + 3) / 4;
    return across * down * BlockBytes(format);
}

DxtDecoder::Block DxtDecoder::ColorBlock(const BYTE* block, bool allowTransparent) {
    const UINT c0 = Word(block);
    const UINT c1 = Word(block + 2);
    const auto e0 = Expand565(c0);
    const auto e1 = Expand565(c1);
    std::array<DWORD, 4> palette{Rgb(e0), Rgb(e1), 0, 0};
    // Only DXT1 lets the order of the end points pick the three-colour mode with transparent black.
    if (c0 > c1 || !allowTransparent) {
        palette[2] = Rgb(TwoThirds(e0, e1));
        palette[3] = Rgb(TwoThirds(e1, e0));
    } else {
        palette[2] = Rgb(Half(e0, e1));
        palette[3] = 0x00000000;
    }
    const DWORD indices = Word(block + 4) | (Word(block + 6) << 16);
    Block texels{};
    for (int i = 0; i < 16; ++i)
        texels[i] = palette[(indices >> (2 * i)) & 3];
    return texels;
}

void DxtDecoder::ExplicitAlpha(const BYTE* block, Block& texels) {
    for (int i = 0; i < 16; ++i) {
        const UINT alpha = (block[i / 2] >> (4 * (i % 2))) & 0xF;
        texels[i] = (texels[i] & 0x00FFFFFFu) | ((alpha * 17) << 24);
    }
}

void DxtDecoder::InterpolatedAlpha(const BYTE* block, Block& texels) {
    const UINT a0 = block[0];
    const UINT a1 = block[1];
    std::array<UINT, 8> palette{a0, a1};
    if (a0 > a1) {
        for (UINT i = 1; i <= 6; ++i)
            palette[i + 1] = ((7 - i) * a0 + i * a1 + 3) / 7;
    } else {
        for (UINT i = 1; i <= 4; ++i)
            palette[i + 1] = ((5 - i) * a0 + i * a1 + 2) / 5;
        palette[6] = 0;
        palette[7] = 255;
    }
    std::uint64_t indices = 0;
    for (int i = 0; i < 6; ++i)
        indices |= std::uint64_t{block[2 + i]} << (8 * i);
    for (int i = 0; i < 16; ++i)
        texels[i] = (texels[i] & 0x00FFFFFFu) | (palette[(indices >> (3 * i)) & 7] << 24);
}

ArgbImage DxtDecoder::Decode(D3DFORMAT format, std::span<const BYTE> blocks, UINT width, UINT height) {
    ArgbImage image(width, height);
    const UINT blockBytes = BlockBytes(format);
    const BYTE* block = blocks.data();
    for (UINT by = 0; by < height; by += 4) {
        for (UINT bx = 0; bx < width; bx += 4, block += blockBytes) {
            const BYTE* color = format == D3DFMT_DXT1 ? block : block + 8;
            Block texels = ColorBlock(color, format == D3DFMT_DXT1);
            if (format == D3DFMT_DXT3)
                ExplicitAlpha(block, texels);
            else if (format == D3DFMT_DXT5)
                InterpolatedAlpha(block, texels);
            for (UINT y = by; y < std::min(by + 4, height); ++y)
                for (UINT x = bx; x < std::min(bx + 4, width); ++x)
                    image.At(x, y) = texels[(y - by) * 4 + (x - bx)];
        }
    }
    return image;
}
