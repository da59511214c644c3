// The library's three-float vector: a D3DXVECTOR3 with component setters, length, normalisation and
// point transformation.
#pragma once

#include "d3dx9math.h"

class D3DZCVECTOR3 : public D3DXVECTOR3 {
public:
    D3DZCVECTOR3() = default;
    D3DZCVECTOR3(float _x, float _y, float _z);
    D3DZCVECTOR3(const D3DXVECTOR3& In);
    D3DZCVECTOR3(const D3DZCVECTOR3& In) = default;
    ~D3DZCVECTOR3();

    D3DZCVECTOR3& operator=(const D3DXVECTOR3& v);
    D3DZCVECTOR3& operator=(const D3DZCVECTOR3& v) = default;
    D3DZCVECTOR3 operator*(float f) const;

    void Set(float _x, float _y, float _z);

    void Normalize();
    static void Normalize(D3DXVECTOR3* vOut, const D3DXVECTOR3* vSrc);

    // The sum of squares is formed in double and rounded to float before the square root.
    static float Length(const D3DXVECTOR3* vSrc);

    // Point transform with w = 1, divided by the resulting w.
    void Transform(const D3DXMATRIX* mat);
    static void Transform(D3DXVECTOR3* vOut, const D3DXVECTOR3* vSrc, const D3DXMATRIX* mat);
};

// False when any component is infinite or not a number.
bool IsFinite(const D3DXVECTOR3& v);
