#include "ArgbImage.h"

#include <algorithm>
#include <cmath>

namespace {

UINT Channel(DWORD argb, int shift) {
    return (argb >> shift) & 0xFFu;
}

// Where a destination texel centre falls in the source, as the lower texel and the weight of the next.
struct Sample {
    UINT lower;
    UINT upper;
    float weight;
};

std::vector<Sample> Samples(UINT from, UINT to) {
    std::vector<Sample> samples(to);
    const double scale = static_cast<double>(from) / to;
    for (UINT i = 0; i < to; ++i) {
        const double position = std::clamp((i + 0.5) * scale - 0.5, 0.0, static_cast<double>(from - 1));
        const auto lower = static_cast<UINT>(position);
        samples[i] = {lower, std::min(lower + 1, from - 1), static_cast<float>(position - lower)};
    }
    return samples;
}

DWORD Blend(DWORD a, DWORD b, DWORD c, DWORD d, float wx, float wy) {
    DWORD out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const float top =
            Channel(a, shift) + (static_cast<float>(Channel(b, shift)) - Channel(a, shift)) * wx;
        const float bottom =
            Channel(c, shift) + (static_cast<float>(Channel(d, shift)) - Channel(c, shift)) * wx;
        const float value = top + (bottom - top) * wy;
        out |= static_cast<DWORD>(std::lround(std::clamp(value, 0.0f, 255.0f))) << shift;
    }
    return out;
}

DWORD Mean(DWORD a, DWORD b, DWORD c, DWORD d) {
    DWORD out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const UINT sum = Channel(a, shift) + Channel(b, shift) + Channel(c, shift) + Channel(d, shift);
        out |= ((sum + 2) / 4) << shift;
    }
    return out;
}

} // namespace

ArgbImage::ArgbImage(UINT width, UINT height, DWORD fill)
    : m_width(width), m_height(height), m_texels(static_cast<std::size_t>(width) * height, fill) {}

void ArgbImage::ApplyColorKey(DWORD key) {
    std::replace(m_texels.begin(), m_texels.end(), key, DWORD{0});
}

void ArgbImage::MakeOpaque() {
    for (DWORD& texel : m_texels)
        texel |= 0xFF000000u;
}

ArgbImage ArgbImage::Resized(UINT width, UINT height) const {
    if (width == m_width && height == m_height)
        return *this;
    ArgbImage out(width, height);
    const std::vector<Sample> columns = Samples(m_width, width);
    const std::vector<Sample> rows = Samples(m_height, height);
    for (UINT y = 0; y < height; ++y) {
        const Sample& row = rows[y];
        for (UINT x = 0; x < width; ++x) {
            const Sample& column = columns[x];
            out.At(x, y) =
                Blend(At(column.lower, row.lower), At(column.upper, row.lower), At(column.lower, row.upper),
                      At(column.upper, row.upper), column.weight, row.weight);
        }
    }
    return out;
}

ArgbImage ArgbImage::Halved() const {
    ArgbImage out(std::max(1u, m_width / 2), std::max(1u, m_height / 2));
    for (UINT y = 0; y < out.m_height; ++y) {
        const UINT y0 = std::min(2 * y, m_height - 1);
        const UINT y1 = std::min(2 * y + 1, m_height - 1);
        for (UINT x = 0; x < out.m_width; ++x) {
            const UINT x0 = std::min(2 * x, m_width - 1);
            const UINT x1 = std::min(2 * x + 1, m_width - 1);
            out.At(x, y) = Mean(At(x0, y0), At(x1, y0), At(x0, y1), At(x1, y1));
        }
    }
    return out;
}
