// What the camera needs of the object list to orbit the selected object: whether there is any object
// and where the selected one stands. The object list implements it; the camera knows no more of it.
#pragma once

#include "d3dx9math.h"

class FollowTarget {
public:
    virtual ~FollowTarget() = default;
    virtual int GetFollowCount() = 0;
    // The selected object's world matrix; null when nothing is selected.
    virtual const D3DXMATRIX* GetFollowWorld() = 0;
};
