#include "ModelData.h"

void ModelData::MakeFlatNormals(std::size_t firstFace) {
    for (std::size_t face = firstFace; face < faces.size(); ++face) {
        const std::array<DWORD, 3> corners = faces[face];
        const D3DXVECTOR3 a = positions[corners[0]], b = positions[corners[1]], c = positions[corners[2]];
        D3DXVECTOR3 normal, ab = b - a, ac = c - a;
        D3DXVec3Cross(&normal, &ab, &ac);
        D3DXVec3Normalize(&normal, &normal);
        for (std::size_t k = 0; k < 3; ++k) {
            faces[face][k] = static_cast<DWORD>(positions.size());
            positions.push_back(positions[corners[k]]);
            texCoords.push_back(texCoords[corners[k]]);
            normals.push_back(normal);
        }
    }
}

void ModelData::DropUnusedVertices() {
    constexpr DWORD kUnused = 0xFFFFFFFF;
    std::vector<DWORD> remap(positions.size(), kUnused);
    for (const auto& face : faces)
        for (const DWORD corner : face)
            remap[corner] = 0;
    DWORD kept = 0;
    for (std::size_t i = 0; i < remap.size(); ++i) {
        if (remap[i] == kUnused)
            continue;
        remap[i] = kept;
        positions[kept] = positions[i];
        normals[kept] = normals[i];
        texCoords[kept] = texCoords[i];
        ++kept;
    }
    positions.resize(kept);
    normals.resize(kept);
    texCoords.resize(kept);
    for (auto& face : faces)
        for (DWORD& corner : face)
            corner = remap[corner];
}
