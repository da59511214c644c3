// The file tool's graphics commands: what the headless device runs on, and a fixed test picture drawn
// through it, so anyone can see what the device draws.
#pragma once

#include <iosfwd>
#include <string>

class DeviceCommands {
public:
    // Prints the renderer, the GL version and the formats the device can create. 0 on success.
    static int Describe(std::ostream& out, std::ostream& err);
    // Draws grid lines, the three axes, a lit box and a line of Japanese text into a PNG file.
    static int DrawTest(const std::string& path, std::ostream& out, std::ostream& err);
};
