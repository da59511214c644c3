// Reads a Wavefront OBJ file and the .mtl files it names into a ModelData: v, vt, vn, faces of any size
// (fanned from their first corner; the parser keeps up to 255 corners a face), negative indices,
// groups and objects (all placed together), usemtl with Kd, Ks, Ns, Ke, d and map_Kd. The parsing is
// tinyobjloader's; this class checks every index and builds the mesh.
#pragma once

#include "ModelData.h"

#include <string>

class ObjModelReader {
public:
    // False with a message naming the file and the fault; `out` is then unchanged.
    static bool Read(const std::string& path, ModelData& out, std::string& error);
    // The same from text, with .mtl text for every mtllib line (for tests and fuzzing).
    static bool ReadText(const std::string& objText, const std::string& mtlText, ModelData& out,
                         std::string& error);
};
