// The library's vector-based record list: one token per record of the form
// word(name)word(x,y,z)word(x,y,z)word(x,y,z), the three vectors being position, rotation in degrees
// and scale, for example obj(tree.x)p(0,0,0)r(0,90,0)s(1,1,1).
#pragma once

#include "d3dx9math.h"

#include <string>
#include <vector>

struct D3DZMAPDATA {
    std::string name;
    D3DXVECTOR3 vPos;
    D3DXVECTOR3 vRot;
    // A record that gives no scale keeps the object at its own size.
    D3DXVECTOR3 vScale{1.0f, 1.0f, 1.0f};
};

// Appends one record per token. The file must exist and be writable, although nothing is written.
// Missing segments or fields leave the defaults: position and rotation 0, scale 1.
bool D3DZMapFileLoad(const char* _filename, std::vector<D3DZMAPDATA>& _MapList);
