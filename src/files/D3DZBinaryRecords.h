// The library's fixed-size binary scene records: raw little-endian float images with no header,
// read with one block read, and the functions that turn them into matrices.
#pragma once

#include "D3DZCMATRIX.h"
#include "d3dx9math.h"

#include <cstdint>

// Object transform, 36 bytes: position, rotation in degrees (x pitch, y yaw, z roll), scale.
struct D3DZORVFILE {
    D3DXVECTOR3 vPos;
    D3DXVECTOR3 vRot;
    D3DXVECTOR3 vScale;
};
static_assert(sizeof(D3DZORVFILE) == 36);

// Camera, 20 bytes: offset in its own frame, then the turns about X and Y in degrees.
struct D3DZORVCAMERAFILE {
    D3DXVECTOR3 vPos;
    float fRotX = 0.0f;
    float fRotY = 0.0f;
};
static_assert(sizeof(D3DZORVCAMERAFILE) == 20);

// Camera move, 40 bytes: start and end camera.
struct D3DZORVCAMANIME {
    D3DZORVCAMERAFILE Start;
    D3DZORVCAMERAFILE End;
};
static_assert(sizeof(D3DZORVCAMANIME) == 40);

// Animation block, 128 opaque bytes; whatever writes it defines its layout.
struct D3DZXFILEANIMATION {
    std::uint8_t bytes[128] = {};
};
static_assert(sizeof(D3DZXFILEANIMATION) == 128);

// Each reader opens the file for binary reading and reads one record with a single block read. A
// shorter file fills only the leading bytes (still true); an unopenable file gives false and leaves
// the record untouched.
bool D3DZorvFileLoad(const char* filename, D3DZORVFILE* _zorv);
bool D3DCameraLoadFile(const char* camerafilename, D3DZORVCAMERAFILE* _camera);
bool D3DCameraAnimLoad(const char* cameraAnimFile, D3DZORVCAMANIME* CamAnim);
bool D3DZorvLoadXAnimation(const char* xAnimfilename, D3DZXFILEANIMATION* vOut);

// mTrans, mRot and mScale of the record's position, rotation (degrees) and scale.
void D3DZorvMakeMatrix(const D3DZORVFILE* _zorv, D3DZCMATRIX* mTrans, D3DZCMATRIX* mRot, D3DZCMATRIX* mScale);

// View matrix of a camera record: inverse of (T x Rx x Ry).
void D3DCameraMakeMatrix(D3DXMATRIX* vOut, D3DZORVCAMERAFILE camera);

// View matrices of the start and end records of a camera move.
void D3DCamMakeAnimMatrix(D3DXMATRIX* mStartOut, D3DXMATRIX* mEndOut, const D3DZORVCAMANIME& CamAnimData);
