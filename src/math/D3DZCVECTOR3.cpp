#include "D3DZCVECTOR3.h"

#include <cmath>

D3DZCVECTOR3::D3DZCVECTOR3(float _x, float _y, float _z) : D3DXVECTOR3(_x, _y, _z) {}

D3DZCVECTOR3::D3DZCVECTOR3(const D3DXVECTOR3& In) : D3DXVECTOR3(In) {}

// Nothing reads a vector after its end; clearing it only makes a stale copy obvious in a debugger.
D3DZCVECTOR3::~D3DZCVECTOR3() {
    x = 0.0f;
    y = 0.0f;
    z = 0.0f;
}

D3DZCVECTOR3& D3DZCVECTOR3::operator=(const D3DXVECTOR3& v) {
    Set(v.x, v.y, v.z);
    return *this;
}

D3DZCVECTOR3 D3DZCVECTOR3::operator*(float f) const {
    return D3DZCVECTOR3(x * f, y * f, z * f);
}

void D3DZCVECTOR3::Set(float _x, float _y, float _z) {
    x = _x;
    y = _y;
    z = _z;
}

void D3DZCVECTOR3::Normalize() {
    D3DXVec3Normalize(this, this);
}

void D3DZCVECTOR3::Normalize(D3DXVECTOR3* vOut, const D3DXVECTOR3* vSrc) {
    D3DXVec3Normalize(vOut, vSrc);
}

// The sum of squares is rounded to float before the root, so a length matches what float storage of
// the squared length would give.
float D3DZCVECTOR3::Length(const D3DXVECTOR3* vSrc) {
    const double sum = double(vSrc->x) * vSrc->x + double(vSrc->y) * vSrc->y + double(vSrc->z) * vSrc->z;
    return std::sqrt(float(sum));
}

void D3DZCVECTOR3::Transform(const D3DXMATRIX* mat) {
    D3DXVec3TransformCoord(this, this, mat);
}

void D3DZCVECTOR3::Transform(D3DXVECTOR3* vOut, const D3DXVECTOR3* vSrc, const D3DXMATRIX* mat) {
    D3DXVec3TransformCoord(vOut, vSrc, mat);
}

bool IsFinite(const D3DXVECTOR3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}
