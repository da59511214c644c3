#include "D3DZCMATRIX.h"

#include <cmath>
#include <utility>

namespace {

// Radians to degrees as the Euler readers report them.
constexpr float kEulerDegreesPerRadian = 57.3f;
// The readers mirror an angle about this value, not about pi, when the matrix's Z axis points back.
constexpr float kEulerHalfTurn = 3.14154f;
// Below this |cos| the middle Euler angle is taken as a quarter turn and the first angle folds into the
// last.
constexpr float kGimbalLockCosine = 0.001f;

D3DZCMATRIX::ViewportSource& ViewportSourceSlot() {
    static D3DZCMATRIX::ViewportSource source;
    return source;
}

D3DVIEWPORT9 CurrentViewport() {
    const D3DZCMATRIX::ViewportSource& source = ViewportSourceSlot();
    return source ? source() : D3DVIEWPORT9{};
}

// Each trigonometric function takes its float argument in double and its result is rounded to float
// before anything else sees it.
float Asin(float v) {
    return float(std::asin(double(v)));
}
float Cos(float v) {
    return float(std::cos(double(v)));
}
float Atan2(float y, float x) {
    return float(std::atan2(double(y), double(x)));
}

// Within a hair of a quarter turn either way; an exact zero cosine cannot come from a float angle.
bool NearQuarterTurn(float c) {
    return (0.0f < c && c <= kGimbalLockCosine) || (-kGimbalLockCosine <= c && c < 0.0f);
}

void ToDegrees(float& x, float& y, float& z) {
    x *= kEulerDegreesPerRadian;
    y *= kEulerDegreesPerRadian;
    z *= kEulerDegreesPerRadian;
}

D3DZCVECTOR3 Row(const D3DXMATRIX& m, int row) {
    return D3DZCVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

void NormalizeRow(D3DXMATRIX& m, int row) {
    D3DXVECTOR3 axis(m.m[row][0], m.m[row][1], m.m[row][2]);
    D3DXVec3Normalize(&axis, &axis);
    m.m[row][0] = axis.x;
    m.m[row][1] = axis.y;
    m.m[row][2] = axis.z;
}

} // namespace

D3DZCMATRIX::D3DZCMATRIX() {
    D3DXMatrixIdentity(this);
}

D3DZCMATRIX::D3DZCMATRIX(const D3DXMATRIX& In) : D3DXMATRIX(In) {}

D3DZCMATRIX& D3DZCMATRIX::operator=(const D3DXMATRIX& In) {
    if (&In != this) {
        D3DXMATRIX::operator=(In);
    }
    return *this;
}

void D3DZCMATRIX::SetIdentity() {
    D3DXMatrixIdentity(this);
}

void D3DZCMATRIX::SetTrans(float _x, float _y, float _z) {
    D3DXMatrixTranslation(this, _x, _y, _z);
}

void D3DZCMATRIX::SetTrans(const D3DXVECTOR3& Pos) {
    SetTrans(Pos.x, Pos.y, Pos.z);
}

void D3DZCMATRIX::SetRotation(float _rx, float _ry, float _rz) {
    D3DXMatrixRotationYawPitchRoll(this, _ry * D3DZ_DEGREE_TO_RADIAN, _rx * D3DZ_DEGREE_TO_RADIAN,
                                   _rz * D3DZ_DEGREE_TO_RADIAN);
}

void D3DZCMATRIX::SetRotation(const D3DXVECTOR3& _v3Rot) {
    SetRotation(_v3Rot.x, _v3Rot.y, _v3Rot.z);
}

void D3DZCMATRIX::SetRotateAxis(const D3DXVECTOR3& Dir, float rot) {
    D3DXMatrixRotationAxis(this, &Dir, rot * D3DZ_DEGREE_TO_RADIAN);
}

void D3DZCMATRIX::SetScaling(float _sx, float _sy, float _sz) {
    D3DXMatrixScaling(this, _sx, _sy, _sz);
}

void D3DZCMATRIX::SetScaling(const D3DXVECTOR3& _v3Scale) {
    SetScaling(_v3Scale.x, _v3Scale.y, _v3Scale.z);
}

void D3DZCMATRIX::NormalizeRotation() {
    NormalizeRow(*this, 0);
    NormalizeRow(*this, 1);
    NormalizeRow(*this, 2);
}

D3DZCVECTOR3 D3DZCMATRIX::GetPos() const {
    return Row(*this, 3);
}

D3DZCVECTOR3 D3DZCMATRIX::GetAxisX() const {
    return Row(*this, 0);
}

D3DZCVECTOR3 D3DZCMATRIX::GetAxisY() const {
    return Row(*this, 1);
}

D3DZCVECTOR3 D3DZCMATRIX::GetAxisZ() const {
    return Row(*this, 2);
}

float D3DZCMATRIX::GetScaleX() const {
    const D3DZCVECTOR3 axis = GetAxisX();
    return D3DZCVECTOR3::Length(&axis);
}

float D3DZCMATRIX::GetScaleY() const {
    const D3DZCVECTOR3 axis = GetAxisY();
    return D3DZCVECTOR3::Length(&axis);
}

float D3DZCMATRIX::GetScaleZ() const {
    const D3DZCVECTOR3 axis = GetAxisZ();
    return D3DZCVECTOR3::Length(&axis);
}

D3DZCVECTOR3 D3DZCMATRIX::GetScale() const {
    return D3DZCVECTOR3(GetScaleX(), GetScaleY(), GetScaleZ());
}

// A singular matrix has no inverse; the result is then the identity this starts from.
D3DZCMATRIX D3DZCMATRIX::GetInverse() const {
    D3DZCMATRIX out;
    D3DXMatrixInverse(&out, nullptr, this);
    return out;
}

void D3DZCMATRIX::Inverse(D3DXMATRIX* _mOut, const D3DXMATRIX* _mIn) {
    D3DXMatrixInverse(_mOut, nullptr, _mIn);
}

void D3DZCMATRIX::RotateLocal(float _x, float _y, float _z) {
    D3DXMATRIX rotation;
    D3DXMatrixRotationYawPitchRoll(&rotation, _y * D3DZ_DEGREE_TO_RADIAN, _x * D3DZ_DEGREE_TO_RADIAN,
                                   _z * D3DZ_DEGREE_TO_RADIAN);
    D3DXMatrixMultiply(this, &rotation, this);
}

void D3DZCMATRIX::MakeProject2D(D3DXVECTOR3& Pos2D, const D3DXVECTOR3& Pos, const D3DXMATRIX& mProj,
                                const D3DXMATRIX& mView) {
    const D3DVIEWPORT9 viewport = CurrentViewport();
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    D3DXVECTOR3 screen;
    D3DXVec3Project(&screen, &Pos, &viewport, &mProj, &mView, &world);
    Pos2D = screen;
    SetTrans(screen.x, screen.y, 0.0f);
}

void D3DZCMATRIX::GetEulerAngleXYZ(float& _fOutx, float& _fOuty, float& _fOutz, bool _bdegree) const {
    float z = Atan2(_12, _11);
    float y = Asin(-_13);
    const float quotient = _23 / Cos(y);
    float x = Asin(quotient);
    if (_33 < 0.0f) {
        x = kEulerHalfTurn - x;
    }
    // At a quarter turn about Y the X and Z rotations act about the same axis; all of it is read as Z.
    // Y keeps the quarter turn it already holds.
    if (NearQuarterTurn(Cos(y))) {
        z = Atan2(-_21, _22);
        x = 0.0f;
    }
    if (_bdegree) {
        ToDegrees(x, y, z);
    }
    _fOutx = x;
    _fOuty = y;
    _fOutz = z;
}

void D3DZCMATRIX::GetEulerAngleYXZ(float& _fOutx, float& _fOuty, float& _fOutz, bool _bdegree) const {
    float z = Atan2(-_21, _22);
    float x = Asin(_23);
    const float quotient = -_13 / Cos(x);
    float y = Asin(quotient);
    if (_33 < 0.0f) {
        y = kEulerHalfTurn - y;
    }
    // At a quarter turn about X the Y and Z rotations act about the same axis; all of it is read as Z.
    if (NearQuarterTurn(Cos(x))) {
        z = Atan2(_12, _11);
        y = 0.0f;
    }
    if (_bdegree) {
        ToDegrees(x, y, z);
    }
    _fOutx = x;
    _fOuty = y;
    _fOutz = z;
}

void D3DZCMATRIX::SetViewportSource(ViewportSource source) {
    ViewportSourceSlot() = std::move(source);
}

bool IsFinite(const D3DXMATRIX& m) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (!std::isfinite(m.m[r][c]))
                return false;
    return true;
}

D3DXVECTOR3 TranslationOf(const D3DXMATRIX& m) {
    return D3DXVECTOR3(m._41, m._42, m._43);
}
