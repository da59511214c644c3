#include "CD3D.h"

#include "D3DZDistance.h"

namespace {

bool RayAlong(const D3DXVECTOR3* ptri, const D3DXVECTOR3* _pRayPos, float x, float y, float z, float* pDist) {
    const D3DXVECTOR3 dir(x, y, z);
    return CD3D_Ray(ptri, _pRayPos, &dir, pDist);
}

} // namespace

bool CD3D_Ray(const D3DXVECTOR3* ptri, const D3DXVECTOR3* _pRayPos, const D3DXVECTOR3* _pRayDir,
              float* pDist) {
    if (!ptri || !_pRayPos || !_pRayDir) {
        return false;
    }
    if (D3DXIntersectTri(&ptri[0], &ptri[1], &ptri[2], _pRayPos, _pRayDir, nullptr, nullptr, pDist)) {
        return true;
    }
    return D3DXIntersectTri(&ptri[0], &ptri[2], &ptri[3], _pRayPos, _pRayDir, nullptr, nullptr, pDist);
}

bool CD3D_Ray_Under(const D3DXVECTOR3* ptri, const D3DXVECTOR3* _pRayPos, float* pDist) {
    return RayAlong(ptri, _pRayPos, 0.0f, -1.0f, 0.0f, pDist);
}

bool CD3D_Ray_Up(const D3DXVECTOR3* ptri, const D3DXVECTOR3* _pRayPos, float* pDist) {
    return RayAlong(ptri, _pRayPos, 0.0f, 1.0f, 0.0f, pDist);
}

bool CD3D_Ray_Left(const D3DXVECTOR3* ptri, const D3DXVECTOR3* _pRayPos, float* pDist) {
    return RayAlong(ptri, _pRayPos, -1.0f, 0.0f, 0.0f, pDist);
}

bool CD3D_Ray_Right(const D3DXVECTOR3* ptri, const D3DXVECTOR3* _pRayPos, float* pDist) {
    return RayAlong(ptri, _pRayPos, 1.0f, 0.0f, 0.0f, pDist);
}

bool CD3D_Ray_Front(const D3DXVECTOR3* ptri, const D3DXVECTOR3* _pRayPos, float* pDist) {
    return RayAlong(ptri, _pRayPos, 0.0f, 0.0f, 1.0f, pDist);
}

bool CD3D_Ray_Back(const D3DXVECTOR3* ptri, const D3DXVECTOR3* _pRayPos, float* pDist) {
    return RayAlong(ptri, _pRayPos, 0.0f, 0.0f, -1.0f, pDist);
}

// The gap is formed in double so that a radius sum too fine for float still shows as an overlap.
bool CD3D_Sphere(const D3DXMATRIX* _A, float _AR, const D3DXMATRIX* _B, float _BR, float* _Len) {
    if (!_A || !_B) {
        return false;
    }
    const float gap = float(double(D3DZGetDistance(_A, _B)) - (double(_AR) + double(_BR)));
    if (_Len) {
        *_Len = gap;
    }
    return gap < 0.0f;
}

bool CD3D_Box(const D3DXMATRIX* _A, float aw, float ah, float az, const D3DXMATRIX* _B, float bw, float bh,
              float bz) {
    if (!_A || !_B) {
        return false;
    }
    const D3DXVECTOR3 a(_A->_41, _A->_42, _A->_43);
    const D3DXVECTOR3 b(_B->_41, _B->_42, _B->_43);
    return a.x + aw > b.x && a.x < b.x + bw && a.y + ah > b.y && a.y < b.y + bh && a.z + az > b.z &&
           a.z < b.z + bz;
}
