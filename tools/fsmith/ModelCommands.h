// The file tool's model commands: what an X file holds, and a picture of a model or of a whole map drawn
// headless with the look the editor has when it starts, so models can be checked from scripts.
#pragma once

#include <array>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

class ModelCommands {
public:
    struct RenderOptions {
        std::string input;
        std::string output;
        int width = 640;
        int height = 480;
        float yawDegrees = 30.0f;
        float pitchDegrees = 25.0f;
        std::optional<float> distance; // none: far enough to see the whole scene
        std::string mode = "fixed";    // fixed, base, toon, spemap or shadow
        // The shadow map's light box: width, height, near and far; none: the picture's width and
        // height in pixels, 0.1 and 2000, as the editor's view gives it.
        std::optional<std::array<float, 4>> shadowBox;
        // A skinned model posed at a time of one animation set, named or numbered from 0; either option
        // alone means set 0 or time 0.
        std::optional<std::string> anim;
        std::optional<float> animTime;
    };

    // Format, mesh, materials, frames, bones and animations of an X file; for glTF and OBJ the mesh,
    // materials and what a static mesh leaves out. 0 on success, 1 with the reader's message when the
    // file is missing or malformed.
    static int XInfo(const std::string& path, std::ostream& out, std::ostream& err);

    // A map file by its extension, or by holding map records and not starting as an X file does.
    static bool IsMapFile(const std::string& path);

    // Reads "FILE -o OUT.png [--size WxH] [--yaw D] [--pitch D] [--distance D] [--mode M]
    // [--shadow-box W,H,NEAR,FAR] [--anim NAME|INDEX] [--time SECONDS]"; false with the reason.
    static bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options,
                                   std::string& error);
    // Draws an X file at the origin, or every record of a map file at its matrix, into a PNG file, with
    // the fixed-function pipeline or one of the editor's shading modes.
    // 0 when the picture was written, 1 when the input cannot be read or the picture cannot be made.
    static int Render(const RenderOptions& options, std::ostream& out, std::ostream& err);
};
