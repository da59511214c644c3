// What an image file reader hands back: the file's description and its pictures, level 0 first.
// Only DDS files bring more than one level.
#pragma once

#include "ArgbImage.h"
#include "d3dx9tex.h"

#include <vector>

struct DecodedImage {
    D3DXIMAGE_INFO info;
    std::vector<ArgbImage> levels;
};
