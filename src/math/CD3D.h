// Hit and overlap tests for 3-D objects: rays against quads, spheres and axis-aligned boxes placed by
// the translation rows of their world matrices. A missing argument gives a miss, never a crash.
#pragma once

#include "d3dx9math.h"

// ptri holds the quad's four corners in order around it; the quad is split along P0-P2. On a hit pDist
// (if given) receives the distance along the ray in units of its direction; a miss leaves it alone.
bool CD3D_Ray(const D3DXVECTOR3* ptri, const D3DXVECTOR3* _pRayPos, const D3DXVECTOR3* _pRayDir,
              float* pDist);

// CD3D_Ray along a fixed axis: down (-y), up (+y), left (-x), right (+x), front (+z), back (-z).
bool CD3D_Ray_Under(const D3DXVECTOR3* ptri, const D3DXVECTOR3* _pRayPos, float* pDist);
bool CD3D_Ray_Up(const D3DXVECTOR3* ptri, const D3DXVECTOR3* _pRayPos, float* pDist);
bool CD3D_Ray_Left(const D3DXVECTOR3* ptri, const D3DXVECTOR3* _pRayPos, float* pDist);
bool CD3D_Ray_Right(const D3DXVECTOR3* ptri, const D3DXVECTOR3* _pRayPos, float* pDist);
bool CD3D_Ray_Front(const D3DXVECTOR3* ptri, const D3DXVECTOR3* _pRayPos, float* pDist);
bool CD3D_Ray_Back(const D3DXVECTOR3* ptri, const D3DXVECTOR3* _pRayPos, float* pDist);

// Spheres centred on the translations. *_Len (if given) receives the gap between the surfaces, negative
// when they overlap; touching spheres do not overlap. Missing matrices give false and leave *_Len alone.
bool CD3D_Sphere(const D3DXMATRIX* _A, float _AR, const D3DXMATRIX* _B, float _BR, float* _Len);

// Each box spans from its translation by its extents along +x, +y and +z; touching boxes do not overlap.
bool CD3D_Box(const D3DXMATRIX* _A, float aw, float ah, float az, const D3DXMATRIX* _B, float bw, float bh,
              float bz);
