// What the shader set needs of a placed object: where it is and which mesh it shows. The editor's
// placed objects implement it, so the shader set draws them without knowing the scene.
#pragma once

#include "D3DZCMATRIX.h"
#include "D3DZCXFILE.h"

class ShadedObject {
public:
    virtual ~ShadedObject() = default;
    virtual D3DZCMATRIX* GetWorld() = 0;
    virtual D3DZCXFILE* GetXData() = 0;
};
