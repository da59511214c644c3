// Where each element of a flexible-vertex-format vertex sits, for code that reads or converts vertices
// whatever their format: mesh cloning, ray tests, loaders.
#pragma once

#include "Win32Types.h"

#include <array>

class FvfLayout {
public:
    static constexpr int kAbsent = -1;
    static constexpr UINT kMaxTexCoordSets = 8;

    // False for formats Direct3D rejects: no or an unknown position type, or more than eight texture sets.
    static bool Parse(DWORD fvf, FvfLayout& layout);

    UINT Size() const { return m_size; }
    // Position is always three floats at offset 0; transformed and XYZW positions add a fourth.
    bool HasW() const { return m_hasW; }
    UINT BlendSlots() const { return m_blendSlots; } // 4-byte weights and packed indices after xyz
    int Normal() const { return m_normal; }
    int PointSize() const { return m_pointSize; }
    int Diffuse() const { return m_diffuse; }
    int Specular() const { return m_specular; }
    UINT TexCoordSets() const { return m_texSets; }
    int TexCoord(UINT set) const { return set < m_texSets ? m_texOffset[set] : kAbsent; }
    UINT TexCoordFloats(UINT set) const { return set < m_texSets ? m_texFloats[set] : 0; }

private:
    UINT m_size = 0;
    bool m_hasW = false;
    UINT m_blendSlots = 0;
    int m_normal = kAbsent;
    int m_pointSize = kAbsent;
    int m_diffuse = kAbsent;
    int m_specular = kAbsent;
    UINT m_texSets = 0;
    std::array<int, kMaxTexCoordSets> m_texOffset{};
    std::array<UINT, kMaxTexCoordSets> m_texFloats{};
};

// Bytes per vertex of the format, 0 for an invalid one.
UINT D3DXGetFVFVertexSize(DWORD fvf);
