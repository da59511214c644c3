#include "FvfLayout.h"

#include "d3d9types.h"

namespace {

constexpr DWORD kFvfXyzw = 0x4002;

// The two bits per set after bit 16 give its float count: 0 means 2, 1 means 3, 2 means 4, 3 means 1.
UINT TexCoordFloatCount(DWORD fvf, UINT set) {
    static constexpr UINT kFloats[4] = {2, 3, 4, 1};
    return kFloats[(fvf >> (16 + 2 * set)) & 3];
}

bool ParsePosition(DWORD position, bool& hasW, UINT& blendSlots) {
    switch (position) {
    case D3DFVF_XYZ:
        return true;
    case D3DFVF_XYZRHW:
    case kFvfXyzw:
        hasW = true;
        return true;
    case D3DFVF_XYZB1:
    case D3DFVF_XYZB2:
    case D3DFVF_XYZB3:
    case D3DFVF_XYZB4:
    case D3DFVF_XYZB5:
        blendSlots = (position - D3DFVF_XYZRHW) / 2;
        return true;
    default:
        return false;
    }
}

int Take(int& offset, int bytes) {
    const int at = offset;
    offset += bytes;
    return at;
}

} // namespace

bool FvfLayout::Parse(DWORD fvf, FvfLayout& layout) {
    FvfLayout parsed;
    if (!ParsePosition(fvf & D3DFVF_POSITION_MASK, parsed.m_hasW, parsed.m_blendSlots))
        return false;
    const UINT texSets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    if (texSets > kMaxTexCoordSets)
        return false;
    int offset = 12 + (parsed.m_hasW ? 4 : 0) + 4 * static_cast<int>(parsed.m_blendSlots);
    if (fvf & D3DFVF_NORMAL)
        parsed.m_normal = Take(offset, 12);
    if (fvf & D3DFVF_PSIZE)
        parsed.m_pointSize = Take(offset, 4);
    if (fvf & D3DFVF_DIFFUSE)
        parsed.m_diffuse = Take(offset, 4);
    if (fvf & D3DFVF_SPECULAR)
        parsed.m_specular = Take(offset, 4);
    parsed.m_texSets = texSets;
    for (UINT set = 0; set < texSets; ++set) {
        parsed.m_texFloats[set] = TexCoordFloatCount(fvf, set);
        parsed.m_texOffset[set] = Take(offset, 4 * static_cast<int>(parsed.m_texFloats[set]));
    }
    parsed.m_size = static_cast<UINT>(offset);
    layout = parsed;
    return true;
}

UINT D3DXGetFVFVertexSize(DWORD fvf) {
    FvfLayout layout;
    return FvfLayout::Parse(fvf, layout) ? layout.Size() : 0;
}
