// The library's vector-based transform and camera files. Text records are one token of parenthesised
// segments, e.g. p(0,1,0)r(0,90,0)s(1,1,1) for a transform and p(0,0,-10)r(32,-38,0) for a camera;
// binary records are the floats back to back (36 bytes a transform, 24 bytes a camera). Missing
// segments or fields leave the outputs as they were. The text readers need a writable file, though
// they write nothing.
#pragma once

#include "D3DZBinaryRecords.h"
#include "d3dx9math.h"

#include <vector>

// A camera pose: offset from the orbit centre (z negative in front of it) and orbit angles in degrees.
struct D3DZCAMERADATA {
    D3DXVECTOR3 vPos;
    D3DXVECTOR3 vRot;
};
static_assert(sizeof(D3DZCAMERADATA) == 24);

bool D3DZMatrixFileLoad(const char* _filename, D3DXVECTOR3* _vPos, D3DXVECTOR3* _vRot, D3DXVECTOR3* _vScale);
bool D3DZBinaryMatrixFileLoad(const char* _filename, D3DZORVFILE* _Contents);
bool D3DZMatrixListLoad(const char* _filename, std::vector<D3DZORVFILE>& _MapList);
// Appends one record per complete 36-byte block; a trailing partial block is ignored.
bool D3DZBinaryMatrixListLoad(const char* _filename, std::vector<D3DZORVFILE>& _MapList);
bool D3DZViewFileLoad(const char* _filename, D3DZCAMERADATA* _data);
bool D3DZBinaryViewFileLoad(const char* _filename, D3DZCAMERADATA* _data);

// View matrix of a camera pose: the inverse of T x Rx x Ry x Rz, so the camera orbits the origin.
void D3DZMakeCameraMatrix(D3DXMATRIX* _Out, const D3DZCAMERADATA* _Cam);
