// The library's 4x4 matrix: a D3DXMATRIX with degree-based setters (each replaces the whole matrix),
// axis, scale and position getters, Euler-angle extraction, local rotation and a screen projection
// helper. Degrees become radians by multiplying with the float 0.017453292.
#pragma once

#include "D3DZCVECTOR3.h"
#include "d3dx9math.h"

#include <functional>

class D3DZCMATRIX : public D3DXMATRIX {
public:
    D3DZCMATRIX();
    D3DZCMATRIX(const D3DXMATRIX& In);
    D3DZCMATRIX(const D3DZCMATRIX& In) = default;
    D3DZCMATRIX& operator=(const D3DXMATRIX& In);
    D3DZCMATRIX& operator=(const D3DZCMATRIX& In) = default;

    void SetIdentity();
    void SetTrans(float _x, float _y, float _z);
    void SetTrans(const D3DXVECTOR3& Pos);
    void SetRotation(float _rx, float _ry, float _rz);
    void SetRotation(const D3DXVECTOR3& _v3Rot);
    void SetRotateAxis(const D3DXVECTOR3& Dir, float rot);
    void SetScaling(float _sx, float _sy, float _sz);
    void SetScaling(const D3DXVECTOR3& _v3Scale);

    // Normalises the first three elements of rows 1 to 3, removing scale from a rotation-and-scale
    // matrix; column 4 and row 4 are untouched.
    void NormalizeRotation();

    D3DZCVECTOR3 GetPos() const;
    D3DZCVECTOR3 GetAxisX() const;
    D3DZCVECTOR3 GetAxisY() const;
    D3DZCVECTOR3 GetAxisZ() const;
    float GetScaleX() const;
    float GetScaleY() const;
    float GetScaleZ() const;
    D3DZCVECTOR3 GetScale() const;

    D3DZCMATRIX GetInverse() const;
    static void Inverse(D3DXMATRIX* _mOut, const D3DXMATRIX* _mIn);

    // Turns the object about its own axes, before its existing transform: this = R x this.
    void RotateLocal(float _x, float _y, float _z);

    // Projects Pos to the current viewport (x, y in pixels, z depth) and makes this matrix the
    // translation to that screen position.
    void MakeProject2D(D3DXVECTOR3& Pos2D, const D3DXVECTOR3& Pos, const D3DXMATRIX& mProj,
                       const D3DXMATRIX& mView);

    void GetEulerAngleXYZ(float& _fOutx, float& _fOuty, float& _fOutz, bool _bdegree) const;
    void GetEulerAngleYXZ(float& _fOutx, float& _fOuty, float& _fOutz, bool _bdegree) const;

    // The graphics device sits in a higher layer; it tells this one where its current viewport is.
    // Until a device installs a source, the viewport is empty (0 by 0 at the origin, depth 0 to 1).
    using ViewportSource = std::function<D3DVIEWPORT9()>;
    static void SetViewportSource(ViewportSource source);
};

// False when any element is infinite or not a number: such a matrix is refused rather than stored.
bool IsFinite(const D3DXMATRIX& m);
// The translation row (_41, _42, _43): where the matrix puts the origin.
D3DXVECTOR3 TranslationOf(const D3DXMATRIX& m);

// Radians per degree as the library uses it everywhere: the float nearest to pi/180.
constexpr float D3DZ_DEGREE_TO_RADIAN = 0.017453292f;
