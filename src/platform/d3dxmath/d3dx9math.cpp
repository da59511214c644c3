#include "d3dx9math.h"

#include <algorithm>
#include <cmath>

// Component arithmetic of two floats is done in float: one IEEE operation on two floats gives the same
// result as forming it in double and rounding. Anything longer (dot products, matrix products, lerps,
// inverses) is formed in double and each result rounded to float once, so that results do not depend on
// the order in which partial sums happen to round.

namespace {

D3DXMATRIX IdentityMatrix() {
    D3DXMATRIX m;
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

double Dot3(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
}

double Dot4(const D3DXQUATERNION& a, const D3DXQUATERNION& b) {
    return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z + double(a.w) * b.w;
}

// Row vector (x, y, z, w) times the matrix, one column at a time.
double RowTimesColumn(const double (&v)[4], const D3DXMATRIX& m, int col) {
    return v[0] * m.m[0][col] + v[1] * m.m[1][col] + v[2] * m.m[2][col] + v[3] * m.m[3][col];
}

// Rotation matrix from the upper 3x3 given in double; the rest of the matrix is the identity.
D3DXMATRIX RotationFromRows(const double (&r)[3][3]) {
    D3DXMATRIX out = IdentityMatrix();
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            out.m[row][col] = float(r[row][col]);
        }
    }
    return out;
}

// The 2x2 minors of rows 1-2 (s) and rows 3-4 (c) from which both the determinant and the adjugate
// of a 4x4 matrix are assembled.
struct Minors {
    double a[4][4];
    double s[6];
    double c[6];
    double det;
};

Minors ComputeMinors(const D3DXMATRIX& m) {
    Minors n{};
    for (int r = 0; r < 4; ++r) {
        for (int col = 0; col < 4; ++col) {
            n.a[r][col] = m.m[r][col];
        }
    }
    const auto& a = n.a;
    n.s[0] = a[0][0] * a[1][1] - a[1][0] * a[0][1];
    n.s[1] = a[0][0] * a[1][2] - a[1][0] * a[0][2];
    n.s[2] = a[0][0] * a[1][3] - a[1][0] * a[0][3];
    n.s[3] = a[0][1] * a[1][2] - a[1][1] * a[0][2];
    n.s[4] = a[0][1] * a[1][3] - a[1][1] * a[0][3];
    n.s[5] = a[0][2] * a[1][3] - a[1][2] * a[0][3];
    n.c[0] = a[2][0] * a[3][1] - a[3][0] * a[2][1];
    n.c[1] = a[2][0] * a[3][2] - a[3][0] * a[2][2];
    n.c[2] = a[2][0] * a[3][3] - a[3][0] * a[2][3];
    n.c[3] = a[2][1] * a[3][2] - a[3][1] * a[2][2];
    n.c[4] = a[2][1] * a[3][3] - a[3][1] * a[2][3];
    n.c[5] = a[2][2] * a[3][3] - a[3][2] * a[2][3];
    n.det = n.s[0] * n.c[5] - n.s[1] * n.c[4] + n.s[2] * n.c[3] + n.s[3] * n.c[2] - n.s[4] * n.c[1] +
            n.s[5] * n.c[0];
    return n;
}

void Adjugate(const Minors& n, double (&adj)[4][4]) {
    const auto& a = n.a;
    const auto& s = n.s;
    const auto& c = n.c;
    adj[0][0] = a[1][1] * c[5] - a[1][2] * c[4] + a[1][3] * c[3];
    adj[0][1] = -a[0][1] * c[5] + a[0][2] * c[4] - a[0][3] * c[3];
    adj[0][2] = a[3][1] * s[5] - a[3][2] * s[4] + a[3][3] * s[3];
    adj[0][3] = -a[2][1] * s[5] + a[2][2] * s[4] - a[2][3] * s[3];
    adj[1][0] = -a[1][0] * c[5] + a[1][2] * c[2] - a[1][3] * c[1];
    adj[1][1] = a[0][0] * c[5] - a[0][2] * c[2] + a[0][3] * c[1];
    adj[1][2] = -a[3][0] * s[5] + a[3][2] * s[2] - a[3][3] * s[1];
    adj[1][3] = a[2][0] * s[5] - a[2][2] * s[2] + a[2][3] * s[1];
    adj[2][0] = a[1][0] * c[4] - a[1][1] * c[2] + a[1][3] * c[0];
    adj[2][1] = -a[0][0] * c[4] + a[0][1] * c[2] - a[0][3] * c[0];
    adj[2][2] = a[3][0] * s[4] - a[3][1] * s[2] + a[3][3] * s[0];
    adj[2][3] = -a[2][0] * s[4] + a[2][1] * s[2] - a[2][3] * s[0];
    adj[3][0] = -a[1][0] * c[3] + a[1][1] * c[1] - a[1][2] * c[0];
    adj[3][1] = a[0][0] * c[3] - a[0][1] * c[1] + a[0][2] * c[0];
    adj[3][2] = -a[3][0] * s[3] + a[3][1] * s[1] - a[3][2] * s[0];
    adj[3][3] = a[2][0] * s[3] - a[2][1] * s[1] + a[2][2] * s[0];
}

// World x view x projection, any of which may be absent (identity).
D3DXMATRIX CombineTransforms(const D3DXMATRIX* pWorld, const D3DXMATRIX* pView,
                             const D3DXMATRIX* pProjection) {
    D3DXMATRIX m = pWorld ? *pWorld : IdentityMatrix();
    if (pView) {
        D3DXMatrixMultiply(&m, &m, pView);
    }
    if (pProjection) {
        D3DXMatrixMultiply(&m, &m, pProjection);
    }
    return m;
}

// NaN and everything at or below 0 give 0, so that a bad channel cannot reach an undefined conversion.
DWORD ChannelToByte(float c) {
    if (!(c > 0.0f)) {
        return 0;
    }
    if (c >= 1.0f) {
        return 255;
    }
    return DWORD(double(c) * 255.0 + 0.5);
}

float ByteToChannel(DWORD argb, int shift) {
    return float((argb >> shift) & 0xFFu) / 255.0f;
}

double DotD(const double (&a)[3], const double (&b)[3]) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

} // namespace

// ---- D3DXVECTOR2 -------------------------------------------------------------------------------

D3DXVECTOR2& D3DXVECTOR2::operator+=(const D3DXVECTOR2& v) {
    x += v.x;
    y += v.y;
    return *this;
}
D3DXVECTOR2& D3DXVECTOR2::operator-=(const D3DXVECTOR2& v) {
    x -= v.x;
    y -= v.y;
    return *this;
}
D3DXVECTOR2& D3DXVECTOR2::operator*=(float f) {
    x *= f;
    y *= f;
    return *this;
}
D3DXVECTOR2& D3DXVECTOR2::operator/=(float f) {
    x /= f;
    y /= f;
    return *this;
}
D3DXVECTOR2 D3DXVECTOR2::operator+(const D3DXVECTOR2& v) const {
    return {x + v.x, y + v.y};
}
D3DXVECTOR2 D3DXVECTOR2::operator-(const D3DXVECTOR2& v) const {
    return {x - v.x, y - v.y};
}
D3DXVECTOR2 D3DXVECTOR2::operator*(float f) const {
    return {x * f, y * f};
}
D3DXVECTOR2 D3DXVECTOR2::operator/(float f) const {
    return {x / f, y / f};
}
D3DXVECTOR2 operator*(float f, const D3DXVECTOR2& v) {
    return v * f;
}

// ---- D3DXVECTOR3 -------------------------------------------------------------------------------

D3DXVECTOR3& D3DXVECTOR3::operator+=(const D3DXVECTOR3& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}
D3DXVECTOR3& D3DXVECTOR3::operator-=(const D3DXVECTOR3& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
}
D3DXVECTOR3& D3DXVECTOR3::operator*=(float f) {
    x *= f;
    y *= f;
    z *= f;
    return *this;
}
D3DXVECTOR3& D3DXVECTOR3::operator/=(float f) {
    x /= f;
    y /= f;
    z /= f;
    return *this;
}
D3DXVECTOR3 D3DXVECTOR3::operator+(const D3DXVECTOR3& v) const {
    return {x + v.x, y + v.y, z + v.z};
}
D3DXVECTOR3 D3DXVECTOR3::operator-(const D3DXVECTOR3& v) const {
    return {x - v.x, y - v.y, z - v.z};
}
D3DXVECTOR3 D3DXVECTOR3::operator*(float f) const {
    return {x * f, y * f, z * f};
}
D3DXVECTOR3 D3DXVECTOR3::operator/(float f) const {
    return {x / f, y / f, z / f};
}
D3DXVECTOR3 operator*(float f, const D3DXVECTOR3& v) {
    return v * f;
}

// ---- D3DXVECTOR4 -------------------------------------------------------------------------------

D3DXVECTOR4& D3DXVECTOR4::operator+=(const D3DXVECTOR4& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    w += v.w;
    return *this;
}
D3DXVECTOR4& D3DXVECTOR4::operator-=(const D3DXVECTOR4& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    w -= v.w;
    return *this;
}
D3DXVECTOR4& D3DXVECTOR4::operator*=(float f) {
    x *= f;
    y *= f;
    z *= f;
    w *= f;
    return *this;
}
D3DXVECTOR4& D3DXVECTOR4::operator/=(float f) {
    x /= f;
    y /= f;
    z /= f;
    w /= f;
    return *this;
}
D3DXVECTOR4 D3DXVECTOR4::operator+(const D3DXVECTOR4& v) const {
    return {x + v.x, y + v.y, z + v.z, w + v.w};
}
D3DXVECTOR4 D3DXVECTOR4::operator-(const D3DXVECTOR4& v) const {
    return {x - v.x, y - v.y, z - v.z, w - v.w};
}
D3DXVECTOR4 D3DXVECTOR4::operator*(float f) const {
    return {x * f, y * f, z * f, w * f};
}
D3DXVECTOR4 D3DXVECTOR4::operator/(float f) const {
    return {x / f, y / f, z / f, w / f};
}
D3DXVECTOR4 operator*(float f, const D3DXVECTOR4& v) {
    return v * f;
}

// ---- D3DXMATRIX --------------------------------------------------------------------------------

D3DXMATRIX::D3DXMATRIX(const float* pf) : m{} {
    std::copy(pf, pf + 16, &_11);
}

D3DXMATRIX::D3DXMATRIX(float f11, float f12, float f13, float f14, float f21, float f22, float f23, float f24,
                       float f31, float f32, float f33, float f34, float f41, float f42, float f43, float f44)
    : m{{f11, f12, f13, f14}, {f21, f22, f23, f24}, {f31, f32, f33, f34}, {f41, f42, f43, f44}} {}

D3DXMATRIX& D3DXMATRIX::operator*=(const D3DXMATRIX& mat) {
    D3DXMatrixMultiply(this, this, &mat);
    return *this;
}
D3DXMATRIX& D3DXMATRIX::operator+=(const D3DXMATRIX& mat) {
    for (int i = 0; i < 16; ++i) {
        (&_11)[i] += (&mat._11)[i];
    }
    return *this;
}
D3DXMATRIX& D3DXMATRIX::operator-=(const D3DXMATRIX& mat) {
    for (int i = 0; i < 16; ++i) {
        (&_11)[i] -= (&mat._11)[i];
    }
    return *this;
}
D3DXMATRIX& D3DXMATRIX::operator*=(float f) {
    for (int i = 0; i < 16; ++i) {
        (&_11)[i] *= f;
    }
    return *this;
}
D3DXMATRIX& D3DXMATRIX::operator/=(float f) {
    for (int i = 0; i < 16; ++i) {
        (&_11)[i] /= f;
    }
    return *this;
}
D3DXMATRIX D3DXMATRIX::operator-() const {
    D3DXMATRIX r = *this;
    r *= -1.0f;
    return r;
}
D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& mat) const {
    D3DXMATRIX r;
    D3DXMatrixMultiply(&r, this, &mat);
    return r;
}
D3DXMATRIX D3DXMATRIX::operator+(const D3DXMATRIX& mat) const {
    D3DXMATRIX r = *this;
    r += mat;
    return r;
}
D3DXMATRIX D3DXMATRIX::operator-(const D3DXMATRIX& mat) const {
    D3DXMATRIX r = *this;
    r -= mat;
    return r;
}
D3DXMATRIX D3DXMATRIX::operator*(float f) const {
    D3DXMATRIX r = *this;
    r *= f;
    return r;
}
D3DXMATRIX D3DXMATRIX::operator/(float f) const {
    D3DXMATRIX r = *this;
    r /= f;
    return r;
}
bool D3DXMATRIX::operator==(const D3DXMATRIX& mat) const {
    return std::equal(&_11, &_11 + 16, &mat._11);
}
D3DXMATRIX operator*(float f, const D3DXMATRIX& mat) {
    return mat * f;
}

// ---- D3DXQUATERNION ----------------------------------------------------------------------------

D3DXQUATERNION& D3DXQUATERNION::operator+=(const D3DXQUATERNION& q) {
    x += q.x;
    y += q.y;
    z += q.z;
    w += q.w;
    return *this;
}
D3DXQUATERNION& D3DXQUATERNION::operator-=(const D3DXQUATERNION& q) {
    x -= q.x;
    y -= q.y;
    z -= q.z;
    w -= q.w;
    return *this;
}
D3DXQUATERNION& D3DXQUATERNION::operator*=(const D3DXQUATERNION& q) {
    D3DXQuaternionMultiply(this, this, &q);
    return *this;
}
D3DXQUATERNION& D3DXQUATERNION::operator*=(float f) {
    x *= f;
    y *= f;
    z *= f;
    w *= f;
    return *this;
}
D3DXQUATERNION& D3DXQUATERNION::operator/=(float f) {
    x /= f;
    y /= f;
    z /= f;
    w /= f;
    return *this;
}
D3DXQUATERNION D3DXQUATERNION::operator+(const D3DXQUATERNION& q) const {
    return {x + q.x, y + q.y, z + q.z, w + q.w};
}
D3DXQUATERNION D3DXQUATERNION::operator-(const D3DXQUATERNION& q) const {
    return {x - q.x, y - q.y, z - q.z, w - q.w};
}
D3DXQUATERNION D3DXQUATERNION::operator*(const D3DXQUATERNION& q) const {
    D3DXQUATERNION r;
    D3DXQuaternionMultiply(&r, this, &q);
    return r;
}
D3DXQUATERNION D3DXQUATERNION::operator*(float f) const {
    return {x * f, y * f, z * f, w * f};
}
D3DXQUATERNION D3DXQUATERNION::operator/(float f) const {
    return {x / f, y / f, z / f, w / f};
}
D3DXQUATERNION operator*(float f, const D3DXQUATERNION& q) {
    return q * f;
}

// ---- D3DXCOLOR ---------------------------------------------------------------------------------

D3DXCOLOR::D3DXCOLOR(DWORD argb)
    : r(ByteToChannel(argb, 16)), g(ByteToChannel(argb, 8)), b(ByteToChannel(argb, 0)),
      a(ByteToChannel(argb, 24)) {}

D3DXCOLOR::operator DWORD() const {
    return (ChannelToByte(a) << 24) | (ChannelToByte(r) << 16) | (ChannelToByte(g) << 8) | ChannelToByte(b);
}

D3DXCOLOR& D3DXCOLOR::operator+=(const D3DXCOLOR& c) {
    r += c.r;
    g += c.g;
    b += c.b;
    a += c.a;
    return *this;
}
D3DXCOLOR& D3DXCOLOR::operator-=(const D3DXCOLOR& c) {
    r -= c.r;
    g -= c.g;
    b -= c.b;
    a -= c.a;
    return *this;
}
D3DXCOLOR& D3DXCOLOR::operator*=(float f) {
    r *= f;
    g *= f;
    b *= f;
    a *= f;
    return *this;
}
D3DXCOLOR& D3DXCOLOR::operator/=(float f) {
    r /= f;
    g /= f;
    b /= f;
    a /= f;
    return *this;
}
D3DXCOLOR D3DXCOLOR::operator+(const D3DXCOLOR& c) const {
    return {r + c.r, g + c.g, b + c.b, a + c.a};
}
D3DXCOLOR D3DXCOLOR::operator-(const D3DXCOLOR& c) const {
    return {r - c.r, g - c.g, b - c.b, a - c.a};
}
D3DXCOLOR D3DXCOLOR::operator*(float f) const {
    return {r * f, g * f, b * f, a * f};
}
D3DXCOLOR D3DXCOLOR::operator/(float f) const {
    return {r / f, g / f, b / f, a / f};
}
D3DXCOLOR operator*(float f, const D3DXCOLOR& c) {
    return c * f;
}

// ---- Vector functions --------------------------------------------------------------------------

float D3DXVec3LengthSq(const D3DXVECTOR3* pV) {
    return float(Dot3(*pV, *pV));
}

float D3DXVec3Length(const D3DXVECTOR3* pV) {
    return float(std::sqrt(Dot3(*pV, *pV)));
}

float D3DXVec3Dot(const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2) {
    return float(Dot3(*pV1, *pV2));
}

D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2) {
    const D3DXVECTOR3 a = *pV1;
    const D3DXVECTOR3 b = *pV2;
    pOut->x = float(double(a.y) * b.z - double(a.z) * b.y);
    pOut->y = float(double(a.z) * b.x - double(a.x) * b.z);
    pOut->z = float(double(a.x) * b.y - double(a.y) * b.x);
    return pOut;
}

D3DXVECTOR3* D3DXVec3Lerp(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2, float s) {
    const D3DXVECTOR3 a = *pV1;
    const D3DXVECTOR3 b = *pV2;
    pOut->x = float(a.x + double(s) * (double(b.x) - a.x));
    pOut->y = float(a.y + double(s) * (double(b.y) - a.y));
    pOut->z = float(a.z + double(s) * (double(b.z) - a.z));
    return pOut;
}

// A zero vector has no direction; it stays zero rather than becoming NaN. The length is taken in
// double so that large components do not overflow on squaring.
D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV) {
    const D3DXVECTOR3 v = *pV;
    const double length = std::sqrt(Dot3(v, v));
    if (length == 0.0) {
        *pOut = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
        return pOut;
    }
    *pOut = D3DXVECTOR3(float(v.x / length), float(v.y / length), float(v.z / length));
    return pOut;
}

D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM) {
    const double v[4] = {pV->x, pV->y, pV->z, 1.0};
    const D3DXMATRIX& m = *pM;
    *pOut = D3DXVECTOR4(float(RowTimesColumn(v, m, 0)), float(RowTimesColumn(v, m, 1)),
                        float(RowTimesColumn(v, m, 2)), float(RowTimesColumn(v, m, 3)));
    return pOut;
}

D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM) {
    const double v[4] = {pV->x, pV->y, pV->z, 1.0};
    const D3DXMATRIX& m = *pM;
    const double w = RowTimesColumn(v, m, 3);
    *pOut = D3DXVECTOR3(float(RowTimesColumn(v, m, 0) / w), float(RowTimesColumn(v, m, 1) / w),
                        float(RowTimesColumn(v, m, 2) / w));
    return pOut;
}

D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM) {
    const double v[4] = {pV->x, pV->y, pV->z, 0.0};
    const D3DXMATRIX& m = *pM;
    *pOut = D3DXVECTOR3(float(RowTimesColumn(v, m, 0)), float(RowTimesColumn(v, m, 1)),
                        float(RowTimesColumn(v, m, 2)));
    return pOut;
}

D3DXVECTOR3* D3DXVec3Project(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DVIEWPORT9* pViewport,
                             const D3DXMATRIX* pProjection, const D3DXMATRIX* pView,
                             const D3DXMATRIX* pWorld) {
    const D3DXMATRIX m = CombineTransforms(pWorld, pView, pProjection);
    D3DXVECTOR3 clip;
    D3DXVec3TransformCoord(&clip, pV, &m);
    // Like the matrices, the viewport may be left out: the point then stays in clip coordinates.
    if (pViewport == nullptr) {
        *pOut = clip;
        return pOut;
    }
    const D3DVIEWPORT9& vp = *pViewport;
    pOut->x = float(vp.X + (1.0 + clip.x) * vp.Width / 2.0);
    pOut->y = float(vp.Y + (1.0 - clip.y) * vp.Height / 2.0);
    pOut->z = float(vp.MinZ + double(clip.z) * (double(vp.MaxZ) - vp.MinZ));
    return pOut;
}

// Returns null and leaves pOut alone when world x view x projection cannot be inverted: no point maps
// back through a singular transform.
D3DXVECTOR3* D3DXVec3Unproject(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DVIEWPORT9* pViewport,
                               const D3DXMATRIX* pProjection, const D3DXMATRIX* pView,
                               const D3DXMATRIX* pWorld) {
    D3DXMATRIX m = CombineTransforms(pWorld, pView, pProjection);
    if (!D3DXMatrixInverse(&m, nullptr, &m)) {
        return nullptr;
    }
    if (pViewport == nullptr)
        return D3DXVec3TransformCoord(pOut, pV, &m); // the point is in clip coordinates already
    const D3DVIEWPORT9& vp = *pViewport;
    D3DXVECTOR3 clip;
    clip.x = float((pV->x - double(vp.X)) * 2.0 / vp.Width - 1.0);
    clip.y = float(1.0 - (pV->y - double(vp.Y)) * 2.0 / vp.Height);
    clip.z = float((pV->z - double(vp.MinZ)) / (double(vp.MaxZ) - vp.MinZ));
    return D3DXVec3TransformCoord(pOut, &clip, &m);
}

// ---- Matrix functions --------------------------------------------------------------------------

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* pOut) {
    *pOut = IdentityMatrix();
    return pOut;
}

BOOL D3DXMatrixIsIdentity(const D3DXMATRIX* pM) {
    return *pM == IdentityMatrix() ? TRUE : FALSE;
}

// The product is built in a local so that pOut may be either input.
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* pOut, const D3DXMATRIX* pM1, const D3DXMATRIX* pM2) {
    D3DXMATRIX r;
    for (int row = 0; row < 4; ++row) {
        const double v[4] = {pM1->m[row][0], pM1->m[row][1], pM1->m[row][2], pM1->m[row][3]};
        for (int col = 0; col < 4; ++col) {
            r.m[row][col] = float(RowTimesColumn(v, *pM2, col));
        }
    }
    *pOut = r;
    return pOut;
}

D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* pOut, const D3DXMATRIX* pM) {
    D3DXMATRIX r;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            r.m[row][col] = pM->m[col][row];
        }
    }
    *pOut = r;
    return pOut;
}

float D3DXMatrixDeterminant(const D3DXMATRIX* pM) {
    return float(ComputeMinors(*pM).det);
}

// Singular means the determinant, as reported, is 0: a determinant too small for a float would only
// produce infinities.
D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* pOut, float* pDeterminant, const D3DXMATRIX* pM) {
    const Minors n = ComputeMinors(*pM);
    const float det = float(n.det);
    if (pDeterminant) {
        *pDeterminant = det;
    }
    if (det == 0.0f) {
        return nullptr;
    }
    double adj[4][4];
    Adjugate(n, adj);
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            pOut->m[row][col] = float(adj[row][col] / n.det);
        }
    }
    return pOut;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* pOut, float x, float y, float z) {
    *pOut = IdentityMatrix();
    pOut->_41 = x;
    pOut->_42 = y;
    pOut->_43 = z;
    return pOut;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* pOut, float sx, float sy, float sz) {
    *pOut = IdentityMatrix();
    pOut->_11 = sx;
    pOut->_22 = sy;
    pOut->_33 = sz;
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* pOut, float angle) {
    const double c = std::cos(double(angle));
    const double s = std::sin(double(angle));
    *pOut = RotationFromRows({{1, 0, 0}, {0, c, s}, {0, -s, c}});
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* pOut, float angle) {
    const double c = std::cos(double(angle));
    const double s = std::sin(double(angle));
    *pOut = RotationFromRows({{c, 0, -s}, {0, 1, 0}, {s, 0, c}});
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* pOut, float angle) {
    const double c = std::cos(double(angle));
    const double s = std::sin(double(angle));
    *pOut = RotationFromRows({{c, s, 0}, {-s, c, 0}, {0, 0, 1}});
    return pOut;
}

// A zero axis names no rotation, so the result is the identity rather than a matrix shrunk by cos(angle).
D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* pOut, const D3DXVECTOR3* pV, float angle) {
    const double length = std::sqrt(Dot3(*pV, *pV));
    if (!(length > 0.0)) {
        *pOut = IdentityMatrix();
        return pOut;
    }
    const double x = pV->x / length;
    const double y = pV->y / length;
    const double z = pV->z / length;
    const double c = std::cos(double(angle));
    const double s = std::sin(double(angle));
    const double t = 1.0 - c;
    *pOut = RotationFromRows({{t * x * x + c, t * x * y + s * z, t * x * z - s * y},
                              {t * x * y - s * z, t * y * y + c, t * y * z + s * x},
                              {t * x * z + s * y, t * y * z - s * x, t * z * z + c}});
    return pOut;
}

// Roll about Z, then pitch about X, then yaw about Y: Rz x Rx x Ry, multiplied out.
D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* pOut, float yaw, float pitch, float roll) {
    const double cy = std::cos(double(yaw)), sy = std::sin(double(yaw));
    const double cp = std::cos(double(pitch)), sp = std::sin(double(pitch));
    const double cr = std::cos(double(roll)), sr = std::sin(double(roll));
    *pOut = RotationFromRows({{cr * cy + sr * sp * sy, sr * cp, sr * sp * cy - cr * sy},
                              {cr * sp * sy - sr * cy, cr * cp, sr * sy + cr * sp * cy},
                              {cp * sy, -sp, cp * cy}});
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationQuaternion(D3DXMATRIX* pOut, const D3DXQUATERNION* pQ) {
    const double x = pQ->x, y = pQ->y, z = pQ->z, w = pQ->w;
    *pOut = RotationFromRows({{1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w)},
                              {2 * (x * y - z * w), 1 - 2 * (x * x + z * z), 2 * (y * z + x * w)},
                              {2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y)}});
    return pOut;
}

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* pOut, const D3DXVECTOR3* pEye, const D3DXVECTOR3* pAt,
                               const D3DXVECTOR3* pUp) {
    const D3DXVECTOR3 eye = *pEye;
    D3DXVECTOR3 zaxis = *pAt - eye;
    D3DXVec3Normalize(&zaxis, &zaxis);
    D3DXVECTOR3 xaxis;
    D3DXVec3Cross(&xaxis, pUp, &zaxis);
    D3DXVec3Normalize(&xaxis, &xaxis);
    D3DXVECTOR3 yaxis;
    D3DXVec3Cross(&yaxis, &zaxis, &xaxis);
    *pOut = D3DXMATRIX(xaxis.x, yaxis.x, zaxis.x, 0.0f, xaxis.y, yaxis.y, zaxis.y, 0.0f, xaxis.z, yaxis.z,
                       zaxis.z, 0.0f, float(-Dot3(xaxis, eye)), float(-Dot3(yaxis, eye)),
                       float(-Dot3(zaxis, eye)), 1.0f);
    return pOut;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* pOut, float fovy, float aspect, float zn, float zf) {
    const double yScale = 1.0 / std::tan(fovy / 2.0);
    const double depth = double(zf) - zn;
    *pOut = D3DXMATRIX();
    pOut->_11 = float(yScale / aspect);
    pOut->_22 = float(yScale);
    pOut->_33 = float(zf / depth);
    pOut->_34 = 1.0f;
    pOut->_43 = float(-double(zn) * zf / depth);
    return pOut;
}

D3DXMATRIX* D3DXMatrixOrthoLH(D3DXMATRIX* pOut, float w, float h, float zn, float zf) {
    const double depth = double(zf) - zn;
    *pOut = IdentityMatrix();
    pOut->_11 = float(2.0 / w);
    pOut->_22 = float(2.0 / h);
    pOut->_33 = float(1.0 / depth);
    pOut->_43 = float(-zn / depth);
    return pOut;
}

// ---- Quaternion functions ----------------------------------------------------------------------

D3DXQUATERNION* D3DXQuaternionIdentity(D3DXQUATERNION* pOut) {
    *pOut = D3DXQUATERNION(0.0f, 0.0f, 0.0f, 1.0f);
    return pOut;
}

float D3DXQuaternionDot(const D3DXQUATERNION* pQ1, const D3DXQUATERNION* pQ2) {
    return float(Dot4(*pQ1, *pQ2));
}

D3DXQUATERNION* D3DXQuaternionNormalize(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ) {
    const D3DXQUATERNION q = *pQ;
    const double length = std::sqrt(Dot4(q, q));
    if (length == 0.0) {
        *pOut = D3DXQUATERNION(0.0f, 0.0f, 0.0f, 0.0f);
        return pOut;
    }
    *pOut =
        D3DXQUATERNION(float(q.x / length), float(q.y / length), float(q.z / length), float(q.w / length));
    return pOut;
}

// Q1 followed by Q2, matching the order of D3DXMatrixMultiply: the Hamilton product Q2 Q1.
D3DXQUATERNION* D3DXQuaternionMultiply(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ1,
                                       const D3DXQUATERNION* pQ2) {
    const double ax = pQ2->x, ay = pQ2->y, az = pQ2->z, aw = pQ2->w;
    const double bx = pQ1->x, by = pQ1->y, bz = pQ1->z, bw = pQ1->w;
    *pOut = D3DXQUATERNION(
        float(aw * bx + ax * bw + ay * bz - az * by), float(aw * by - ax * bz + ay * bw + az * bx),
        float(aw * bz + ax * by - ay * bx + az * bw), float(aw * bw - ax * bx - ay * by - az * bz));
    return pOut;
}

// Picks the largest of w, x, y, z to divide by, so the square root never sees a value near zero.
D3DXQUATERNION* D3DXQuaternionRotationMatrix(D3DXQUATERNION* pOut, const D3DXMATRIX* pM) {
    const D3DXMATRIX& m = *pM;
    const double trace = double(m._11) + m._22 + m._33;
    double x, y, z, w;
    if (trace > 0.0) {
        const double s = std::sqrt(trace + 1.0) * 2.0;
        w = s / 4.0;
        x = (double(m._23) - m._32) / s;
        y = (double(m._31) - m._13) / s;
        z = (double(m._12) - m._21) / s;
    } else if (m._11 >= m._22 && m._11 >= m._33) {
        const double s = std::sqrt(1.0 + m._11 - m._22 - m._33) * 2.0;
        x = s / 4.0;
        y = (double(m._12) + m._21) / s;
        z = (double(m._13) + m._31) / s;
        w = (double(m._23) - m._32) / s;
    } else if (m._22 >= m._33) {
        const double s = std::sqrt(1.0 + m._22 - m._11 - m._33) * 2.0;
        y = s / 4.0;
        x = (double(m._12) + m._21) / s;
        z = (double(m._23) + m._32) / s;
        w = (double(m._31) - m._13) / s;
    } else {
        const double s = std::sqrt(1.0 + m._33 - m._11 - m._22) * 2.0;
        z = s / 4.0;
        x = (double(m._13) + m._31) / s;
        y = (double(m._23) + m._32) / s;
        w = (double(m._12) - m._21) / s;
    }
    *pOut = D3DXQUATERNION(float(x), float(y), float(z), float(w));
    return pOut;
}

D3DXQUATERNION* D3DXQuaternionRotationAxis(D3DXQUATERNION* pOut, const D3DXVECTOR3* pV, float angle) {
    D3DXVECTOR3 axis;
    D3DXVec3Normalize(&axis, pV);
    const double s = std::sin(angle / 2.0);
    *pOut =
        D3DXQUATERNION(float(axis.x * s), float(axis.y * s), float(axis.z * s), float(std::cos(angle / 2.0)));
    return pOut;
}

// q and -q are the same rotation; flipping the second one when the two point apart makes the blend
// take the shorter arc. Below a tiny angle sin(theta) vanishes and the blend is linear.
D3DXQUATERNION* D3DXQuaternionSlerp(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ1,
                                    const D3DXQUATERNION* pQ2, float t) {
    const D3DXQUATERNION q1 = *pQ1;
    const D3DXQUATERNION q2 = *pQ2;
    double cosTheta = Dot4(q1, q2);
    double sign = 1.0;
    if (cosTheta < 0.0) {
        sign = -1.0;
        cosTheta = -cosTheta;
    }
    const double theta = std::acos(std::min(cosTheta, 1.0));
    const double sinTheta = std::sin(theta);
    double w1 = 1.0 - t;
    double w2 = t;
    if (sinTheta >= 1e-6) {
        w1 = std::sin((1.0 - t) * theta) / sinTheta;
        w2 = std::sin(t * theta) / sinTheta;
    }
    w2 *= sign;
    *pOut = D3DXQUATERNION(float(w1 * q1.x + w2 * q2.x), float(w1 * q1.y + w2 * q2.y),
                           float(w1 * q1.z + w2 * q2.z), float(w1 * q1.w + w2 * q2.w));
    return pOut;
}

// ---- Ray and triangle --------------------------------------------------------------------------

// Moller-Trumbore without back-face culling. The tests are written so that NaN anywhere fails them:
// a ray made of bad numbers never reports a hit.
BOOL D3DXIntersectTri(const D3DXVECTOR3* p0, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2,
                      const D3DXVECTOR3* pRayPos, const D3DXVECTOR3* pRayDir, float* pU, float* pV,
                      float* pDist) {
    const double e1[3] = {double(p1->x) - p0->x, double(p1->y) - p0->y, double(p1->z) - p0->z};
    const double e2[3] = {double(p2->x) - p0->x, double(p2->y) - p0->y, double(p2->z) - p0->z};
    const double d[3] = {pRayDir->x, pRayDir->y, pRayDir->z};
    const double t[3] = {double(pRayPos->x) - p0->x, double(pRayPos->y) - p0->y, double(pRayPos->z) - p0->z};
    const double pvec[3] = {d[1] * e2[2] - d[2] * e2[1], d[2] * e2[0] - d[0] * e2[2],
                            d[0] * e2[1] - d[1] * e2[0]};
    const double det = DotD(e1, pvec);
    if (det == 0.0) {
        return FALSE;
    }
    const double u = DotD(t, pvec) / det;
    if (!(u >= 0.0 && u <= 1.0)) {
        return FALSE;
    }
    const double qvec[3] = {t[1] * e1[2] - t[2] * e1[1], t[2] * e1[0] - t[0] * e1[2],
                            t[0] * e1[1] - t[1] * e1[0]};
    const double v = DotD(d, qvec) / det;
    if (!(v >= 0.0 && u + v <= 1.0)) {
        return FALSE;
    }
    const double dist = DotD(e2, qvec) / det;
    if (!(dist >= 0.0)) {
        return FALSE;
    }
    if (pU) {
        *pU = float(u);
    }
    if (pV) {
        *pV = float(v);
    }
    if (pDist) {
        *pDist = float(dist);
    }
    return TRUE;
}
