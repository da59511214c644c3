// A model read from a glTF or OBJ file (or flattened from an X file) as one triangle mesh with one
// material per attribute, before it becomes an ID3DXMesh or is written out again. The readers hand it
// over in the editor's left-handed space; see Handedness.h.
#pragma once

#include "d3dx9math.h"

#include <array>
#include <string>
#include <vector>

struct ModelMaterial {
    enum class AlphaMode { Opaque, Mask, Blend };

    std::string name;
    std::array<float, 4> diffuse{1.0f, 1.0f, 1.0f, 1.0f}; // RGBA
    std::array<float, 3> specular{};
    float power = 0.0f;
    std::array<float, 3> emissive{};
    AlphaMode alphaMode = AlphaMode::Opaque;
    float alphaCutoff = 0.5f; // AlphaMode::Mask only
    // A texture is either a file named relative to the model's folder, or image bytes carried by the
    // model itself (a glTF buffer or data URI, or an image file the glTF reader has already read).
    std::string textureFile;
    std::vector<unsigned char> textureBytes;
    std::string textureMimeType; // with textureBytes: image/png or image/jpeg where known

    bool HasTexture() const { return !textureFile.empty() || !textureBytes.empty(); }
};

struct ModelData {
    std::vector<D3DXVECTOR3> positions;
    std::vector<D3DXVECTOR3> normals;   // one per position, unit length
    std::vector<D3DXVECTOR2> texCoords; // one per position; zero where the file gives none
    std::vector<std::array<DWORD, 3>> faces;
    std::vector<DWORD> attributes; // one per face: the index of its material
    std::vector<ModelMaterial> materials;
    // What the file holds that a static mesh leaves out (skins, morph targets, animations), for
    // reports; the mesh is the rest pose.
    std::vector<std::string> leftOut;

    // Gives faces from firstFace on vertices of their own carrying the face's normal, for files that
    // bring no normals. The faces must be wound counter-clockwise seen from the front (right-handed).
    void MakeFlatNormals(std::size_t firstFace);
    // Removes vertices no face uses (those MakeFlatNormals left behind), keeping the others' order.
    void DropUnusedVertices();
};
