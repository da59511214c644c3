// Reads a glTF 2.0 file (.gltf with external or embedded buffers and images, or .glb) into a
// ModelData: every triangle primitive of the default scene under its node's transform, positions,
// normals (flat where a primitive has none), the first texture coordinates, and materials from the base
// colour factor and texture, the emissive factor and the alpha mode. Skins, morph targets and
// animations are left out (the rest pose loads) and listed in ModelData::leftOut. Parsing, buffer and
// data-URI decoding are tinygltf's; this class checks every accessor against its buffer and every
// index against its vertices before using it.
#pragma once

#include "ModelData.h"

#include <string>

class GltfModelReader {
public:
    // False with a message naming the file and the fault; `out` is then unchanged.
    static bool Read(const std::string& path, ModelData& out, std::string& error);
    // A .glb or a .gltf held in memory; external files are looked for in baseDir.
    static bool ReadMemory(const unsigned char* bytes, std::size_t size, const std::string& baseDir,
                           ModelData& out, std::string& error);
};
