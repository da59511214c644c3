// One mesh of an X file with everything attached to it, as the file states it. Faces are polygons of any
// size, stored flat: face i has faceSizes[i] vertex indices, following those of the faces before it.
// Every index has been checked against the count it refers to.
#pragma once

#include "XFileMaterial.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct XFileSkinWeights {
    std::string boneName; // the frame that moves these vertices
    std::vector<std::uint32_t> vertexIndices;
    std::vector<float> weights; // one per vertex index
    std::array<float, 16> offsetMatrix{};
};

struct XFileVertexElement {
    std::uint32_t type = 0; // D3DDECLTYPE
    std::uint32_t method = 0;
    std::uint32_t usage = 0; // D3DDECLUSAGE
    std::uint32_t usageIndex = 0;
};

struct XFileMesh {
    std::string name;
    std::vector<std::array<float, 3>> positions;
    std::vector<std::uint32_t> faceSizes;
    std::vector<std::uint32_t> faceIndices;

    // Normals have faces of their own that index the normal list, parallel to the mesh faces.
    bool hasNormals = false;
    std::vector<std::array<float, 3>> normals;
    std::vector<std::uint32_t> normalFaceSizes;
    std::vector<std::uint32_t> normalFaceIndices;

    std::vector<std::array<float, 2>> textureCoords; // per vertex, when present

    // Per vertex RGBA; vertices the file gives no colour stay opaque white.
    bool hasVertexColors = false;
    std::vector<std::array<float, 4>> vertexColors;

    // The material of each face, indexing `materials`. Files that list fewer indices than faces (one
    // index for the whole mesh is common) have the last index repeated over the remaining faces.
    bool hasMaterialList = false;
    std::vector<std::uint32_t> faceMaterials;
    std::vector<XFileMaterial> materials;

    bool hasSkinHeader = false;
    std::uint32_t maxSkinWeightsPerVertex = 0;
    std::uint32_t maxSkinWeightsPerFace = 0;
    std::uint32_t boneCount = 0;
    std::vector<XFileSkinWeights> skinWeights;

    // For each vertex, the original vertex it was split from.
    bool hasDuplicationIndices = false;
    std::uint32_t originalVertexCount = 0;
    std::vector<std::uint32_t> duplicationIndices;

    // Extra per-vertex data (tangents, more texture sets) as declared elements over raw DWORDs.
    std::vector<XFileVertexElement> declElements;
    std::vector<std::uint32_t> declData;

    std::size_t FaceCount() const { return faceSizes.size(); }
};
