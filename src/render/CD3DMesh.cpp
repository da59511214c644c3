#include "CD3DMesh.h"

namespace {

// A world matrix that cannot be inverted, or a missing mesh or ray, is a miss.
bool Intersect(ID3DXMesh* mesh, const D3DXMATRIX* world, const D3DXVECTOR3* rayPos, const D3DXVECTOR3* rayDir,
               BOOL* hit, float* distance, DWORD* face) {
    *hit = FALSE;
    if (mesh == nullptr || world == nullptr || rayPos == nullptr || rayDir == nullptr)
        return false;
    D3DXMATRIX inverse;
    if (D3DXMatrixInverse(&inverse, nullptr, world) == nullptr)
        return false;
    D3DXVECTOR3 localPos, localDir;
    D3DXVec3TransformCoord(&localPos, rayPos, &inverse);
    D3DXVec3TransformNormal(&localDir, rayDir, &inverse);
    float ignored = 0.0f;
    D3DXIntersect(mesh, &localPos, &localDir, hit, face, nullptr, nullptr, distance ? distance : &ignored,
                  nullptr, nullptr);
    return *hit != FALSE;
}

} // namespace

bool CD3D_Ray_Mesh(ID3DXMesh* _Mesh, const D3DXMATRIX* _mWorld, const D3DXVECTOR3* _RayPos,
                   const D3DXVECTOR3* _RayDir, int* _Hit, float* _Dis) {
    BOOL hit = FALSE;
    const bool result = Intersect(_Mesh, _mWorld, _RayPos, _RayDir, &hit, _Dis, nullptr);
    if (_Hit)
        *_Hit = hit;
    return result;
}

bool CD3D_Ray_Mesh(ID3DXMesh* _Mesh, const D3DXMATRIX* _mWorld, const D3DXVECTOR3* _RayPos,
                   const D3DXVECTOR3* _RayDir, float* _Dis) {
    BOOL hit = FALSE;
    return Intersect(_Mesh, _mWorld, _RayPos, _RayDir, &hit, _Dis, nullptr) && hit == 1;
}

bool CD3D_Ray_MeshEX(ID3DXMesh* _Mesh, const D3DZCMATRIX* _mWorld, const D3DZCVECTOR3* _RayPos,
                     const D3DZCVECTOR3* _RayDir, int* _Hit, float* _Dis, DWORD* _PolyNo) {
    BOOL hit = FALSE;
    DWORD face = 0;
    const bool result = Intersect(_Mesh, _mWorld, _RayPos, _RayDir, &hit, _Dis, &face);
    if (_Hit)
        *_Hit = hit;
    if (result && _PolyNo)
        *_PolyNo = face;
    return result;
}
