#include "D3DZBinaryRecords.h"

#include <bit>
#include <cstddef>
#include <cstdio>
#include <type_traits>

// The records are the raw memory images of little-endian floats; reading them straight into memory is
// only right on a little-endian machine.
static_assert(std::endian::native == std::endian::little, "binary records are little-endian images");

namespace {

template <typename Record> bool ReadRecord(const char* filename, Record* record) {
    static_assert(std::is_trivially_copyable_v<Record>, "a record is read as its memory image");
    if (filename == nullptr || record == nullptr) {
        return false;
    }
    std::FILE* fp = std::fopen(filename, "rb");
    if (fp == nullptr) {
        return false;
    }
    // A short file fills only the leading bytes; the rest of the record keeps what it held. The read
    // goes to a copy so that a stream that opens but cannot be read (a directory, an I/O error) leaves
    // the record as it was, like a file that does not open.
    Record read = *record;
    std::fread(&read, 1, sizeof(Record), fp);
    const bool failed = std::ferror(fp) != 0;
    std::fclose(fp);
    if (failed) {
        return false;
    }
    *record = read;
    return true;
}

// Built with yaw-pitch-roll like every other rotation of the library; with the other angles zero it is
// the single-axis turn.
D3DXMATRIX RotationAboutX(float degrees) {
    D3DXMATRIX m;
    D3DXMatrixRotationYawPitchRoll(&m, 0.0f, degrees * D3DZ_DEGREE_TO_RADIAN, 0.0f);
    return m;
}

D3DXMATRIX RotationAboutY(float degrees) {
    D3DXMATRIX m;
    D3DXMatrixRotationYawPitchRoll(&m, degrees * D3DZ_DEGREE_TO_RADIAN, 0.0f, 0.0f);
    return m;
}

} // namespace

bool D3DZorvFileLoad(const char* filename, D3DZORVFILE* _zorv) {
    return ReadRecord(filename, _zorv);
}

bool D3DCameraLoadFile(const char* camerafilename, D3DZORVCAMERAFILE* _camera) {
    return ReadRecord(camerafilename, _camera);
}

bool D3DCameraAnimLoad(const char* cameraAnimFile, D3DZORVCAMANIME* CamAnim) {
    return ReadRecord(cameraAnimFile, CamAnim);
}

bool D3DZorvLoadXAnimation(const char* xAnimfilename, D3DZXFILEANIMATION* vOut) {
    return ReadRecord(xAnimfilename, vOut);
}

void D3DZorvMakeMatrix(const D3DZORVFILE* _zorv, D3DZCMATRIX* mTrans, D3DZCMATRIX* mRot,
                       D3DZCMATRIX* mScale) {
    if (_zorv == nullptr) {
        return;
    }
    if (mTrans != nullptr) {
        D3DXMatrixTranslation(mTrans, _zorv->vPos.x, _zorv->vPos.y, _zorv->vPos.z);
    }
    if (mRot != nullptr) {
        const D3DXVECTOR3& r = _zorv->vRot;
        D3DXMatrixRotationYawPitchRoll(mRot, r.y * D3DZ_DEGREE_TO_RADIAN, r.x * D3DZ_DEGREE_TO_RADIAN,
                                       r.z * D3DZ_DEGREE_TO_RADIAN);
    }
    if (mScale != nullptr) {
        D3DXMatrixScaling(mScale, _zorv->vScale.x, _zorv->vScale.y, _zorv->vScale.z);
    }
}

void D3DCameraMakeMatrix(D3DXMATRIX* vOut, D3DZORVCAMERAFILE camera) {
    if (vOut == nullptr) {
        return;
    }
    // The camera sits at its offset in a frame turned about X, then about Y; the view is the inverse
    // of that placement.
    D3DXMATRIX offset;
    D3DXMatrixTranslation(&offset, camera.vPos.x, camera.vPos.y, camera.vPos.z);
    const D3DXMATRIX rx = RotationAboutX(camera.fRotX);
    const D3DXMATRIX ry = RotationAboutY(camera.fRotY);
    D3DXMATRIX turnedX;
    D3DXMatrixMultiply(&turnedX, &offset, &rx);
    D3DXMATRIX placement;
    D3DXMatrixMultiply(&placement, &turnedX, &ry);
    D3DXMatrixInverse(vOut, nullptr, &placement);
}

void D3DCamMakeAnimMatrix(D3DXMATRIX* mStartOut, D3DXMATRIX* mEndOut, const D3DZORVCAMANIME& CamAnimData) {
    D3DCameraMakeMatrix(mStartOut, CamAnimData.Start);
    D3DCameraMakeMatrix(mEndOut, CamAnimData.End);
}
