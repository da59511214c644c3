// Writes placed models as one glTF 2.0 file: one node per placed object, named after it, with its world
// matrix; each model's mesh and materials written once and shared by every node that places it. A .glb
// carries everything, textures included; a .gltf gets its buffer as a .bin file and its textures as
// image files beside it. Models come in the editor's space and go out right-handed (Handedness.h).
#pragma once

#include "ModelData.h"

#include <string>
#include <vector>

struct GltfExportModel {
    std::string name;
    std::string folder; // where the model's texture files are looked for
    ModelData data;
};

struct GltfExportNode {
    std::string name;
    D3DXMATRIX world;
    std::size_t model; // index into the scene's models
};

struct GltfExportScene {
    std::vector<GltfExportModel> models;
    std::vector<GltfExportNode> nodes;
};

class GltfWriter {
public:
    // Binary when the path ends in .glb. False with the reason; `warnings` lists textures left out
    // (missing files, or formats glTF does not carry: only PNG and JPEG).
    static bool Write(const GltfExportScene& scene, const std::string& path,
                      std::vector<std::string>& warnings, std::string& error);
};
