// Compiling and linking GLSL programs for the device's own drawing (fixed function, text, sprites,
// effects). Needs the device's context current.
#pragma once

#include <string>

class GLProgram {
public:
    // The linked program, or 0 with the compiler's or linker's log (naming the stage) in log.
    static unsigned Build(const char* vertexSource, const char* fragmentSource, std::string& log);
};
