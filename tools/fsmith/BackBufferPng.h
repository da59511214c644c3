// Writes what a device's back buffer holds as a PNG file, for the tool's picture commands.
#pragma once

#include "d3d9.h"

#include <string>

class BackBufferPng {
public:
    // False when the back buffer cannot be read or the file cannot be written.
    static bool Save(IDirect3DDevice9* device, const std::string& path);
};
