// The file tool's export: a map's placed models, or one model, as a glTF file for other tools, read
// without a graphics device.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

class ExportCommand {
public:
    // Reads "IN -o OUT.glb|OUT.gltf"; false with the reason.
    static bool ParseArgs(const std::vector<std::string>& args, std::string& input, std::string& output,
                          std::string& error);
    // A map (one node per record, models found from the working directory) or a single X, glTF or OBJ
    // model at the origin. 0 when written; 1 when a model or the map cannot be read or the output
    // cannot be written, with nothing written for an unreadable model.
    static int Run(const std::string& input, const std::string& output, std::ostream& out, std::ostream& err);
};
