// Rays against a placed mesh: the ray is carried into the mesh's own space by the inverse of its world
// matrix (the direction is not renormalised, so distances stay in units of the given direction).
#pragma once

#include "D3DZCMATRIX.h"
#include "D3DZCVECTOR3.h"
#include "d3dx9mesh.h"

bool CD3D_Ray_Mesh(ID3DXMesh* _Mesh, const D3DXMATRIX* _mWorld, const D3DXVECTOR3* _RayPos,
                   const D3DXVECTOR3* _RayDir, int* _Hit, float* _Dis);
// The same with a hit flag of its own; false for a null mesh.
bool CD3D_Ray_Mesh(ID3DXMesh* _Mesh, const D3DXMATRIX* _mWorld, const D3DXVECTOR3* _RayPos,
                   const D3DXVECTOR3* _RayDir, float* _Dis);
// Also gives the index of the face hit.
bool CD3D_Ray_MeshEX(ID3DXMesh* _Mesh, const D3DZCMATRIX* _mWorld, const D3DZCVECTOR3* _RayPos,
                     const D3DZCVECTOR3* _RayDir, int* _Hit, float* _Dis, DWORD* _PolyNo);
