// Which reader a model file name calls for, judged by its extension as the open dialog's filter does.
// Anything that is not glTF or OBJ is taken as an X file, as every model was before.
#pragma once

#include <string>

class ModelFormat {
public:
    enum Kind { X, Gltf, Glb, Obj };

    static Kind Of(const std::string& fileName);
    // glTF and OBJ: read by this library rather than by the X-file loader.
    static bool IsForeign(const std::string& fileName) { return Of(fileName) != X; }
    static const char* Name(Kind kind);
};
