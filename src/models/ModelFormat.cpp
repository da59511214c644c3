#include "ModelFormat.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

ModelFormat::Kind ModelFormat::Of(const std::string& fileName) {
    std::string extension = std::filesystem::path(fileName).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".gltf")
        return Gltf;
    if (extension == ".glb")
        return Glb;
    if (extension == ".obj")
        return Obj;
    return X;
}

const char* ModelFormat::Name(Kind kind) {
    switch (kind) {
    case Gltf:
        return "glTF 2.0 (JSON)";
    case Glb:
        return "glTF 2.0 (binary)";
    case Obj:
        return "Wavefront OBJ";
    default:
        return "DirectX X";
    }
}
