// A decoded picture in memory: 32-bit ARGB texels (as D3DCOLOR), rows top first, no padding.
#pragma once

#include "Win32Types.h"

#include <vector>

class ArgbImage {
public:
    ArgbImage() = default;
    ArgbImage(UINT width, UINT height, DWORD fill = 0);

    UINT Width() const { return m_width; }
    UINT Height() const { return m_height; }
    DWORD At(UINT x, UINT y) const { return m_texels[static_cast<std::size_t>(y) * m_width + x]; }
    DWORD& At(UINT x, UINT y) { return m_texels[static_cast<std::size_t>(y) * m_width + x]; }
    const std::vector<DWORD>& Texels() const { return m_texels; }

    // Every texel equal to key, alpha included, becomes transparent black.
    void ApplyColorKey(DWORD key);
    // Sets every alpha to opaque.
    void MakeOpaque();
    // Bilinear resampling to another size, texel centres mapped onto texel centres.
    ArgbImage Resized(UINT width, UINT height) const;
    // The next mip level: half the size (at least 1), each texel the rounded mean of the 2x2 (or 2x1)
    // texels it covers.
    ArgbImage Halved() const;

private:
    UINT m_width = 0;
    UINT m_height = 0;
    std::vector<DWORD> m_texels;
};
