// Any model file the editor places (X, glTF or OBJ) as a ModelData in the editor's space, without a
// graphics device: for the exporter and for reports. X files come through the X reader's own
// flattening, so they match what the mesh cache draws.
#pragma once

#include "ModelData.h"

#include <string>

class ModelFile {
public:
    // False with a message naming the file and the fault.
    static bool Read(const std::string& path, ModelData& out, std::string& error);

private:
    static bool ReadX(const std::string& path, ModelData& out, std::string& error);
};
