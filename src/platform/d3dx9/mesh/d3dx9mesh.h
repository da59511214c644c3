// D3DX's mesh: creation, X-file loading, ray picking, and the records its functions hand out.
#pragma once

#include "ID3DXBuffer.h"
#include "ID3DXMesh.h"
#include "d3d9.h"

#include <cstdint>

constexpr DWORD D3DXMESH_32BIT = 0x001;
constexpr DWORD D3DXMESH_DONOTCLIP = 0x002;
constexpr DWORD D3DXMESH_POINTS = 0x004;
constexpr DWORD D3DXMESH_RTPATCHES = 0x008;
constexpr DWORD D3DXMESH_NPATCHES = 0x4000;
constexpr DWORD D3DXMESH_VB_SYSTEMMEM = 0x010;
constexpr DWORD D3DXMESH_VB_MANAGED = 0x020;
constexpr DWORD D3DXMESH_VB_WRITEONLY = 0x040;
constexpr DWORD D3DXMESH_VB_DYNAMIC = 0x080;
constexpr DWORD D3DXMESH_VB_SOFTWAREPROCESSING = 0x8000;
constexpr DWORD D3DXMESH_IB_SYSTEMMEM = 0x100;
constexpr DWORD D3DXMESH_IB_MANAGED = 0x200;
constexpr DWORD D3DXMESH_IB_WRITEONLY = 0x400;
constexpr DWORD D3DXMESH_IB_DYNAMIC = 0x800;
constexpr DWORD D3DXMESH_IB_SOFTWAREPROCESSING = 0x10000;
constexpr DWORD D3DXMESH_VB_SHARE = 0x1000;
constexpr DWORD D3DXMESH_USEHWONLY = 0x2000;
constexpr DWORD D3DXMESH_SYSTEMMEM = 0x110;
constexpr DWORD D3DXMESH_MANAGED = 0x220;
constexpr DWORD D3DXMESH_WRITEONLY = 0x440;
constexpr DWORD D3DXMESH_DYNAMIC = 0x880;
constexpr DWORD D3DXMESH_SOFTWAREPROCESSING = 0x18000;


// Marks a missing neighbour in adjacency data.
constexpr DWORD D3DX_ADJACENCY_NONE = 0xFFFFFFFF;

struct D3DXMATERIAL {
    D3DMATERIAL9 MatD3D;
    char* pTextureFilename; // null when the material has no texture
};
using LPD3DXMATERIAL = D3DXMATERIAL*;

enum D3DXEFFECTDEFAULTTYPE : DWORD { D3DXEDT_STRING = 1, D3DXEDT_FLOATS = 2, D3DXEDT_DWORD = 3 };

struct D3DXEFFECTDEFAULT {
    char* pParamName;
    D3DXEFFECTDEFAULTTYPE Type;
    DWORD NumBytes;
    void* pValue;
};

struct D3DXEFFECTINSTANCE {
    char* pEffectFilename; // null when the material names no effect
    DWORD NumDefaults;
    D3DXEFFECTDEFAULT* pDefaults;
};

struct D3DXINTERSECTINFO {
    DWORD FaceIndex;
    float U;
    float V;
    float Dist;
};

HRESULT D3DXCreateMeshFVF(DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf,
                          IDirect3DDevice9* device, ID3DXMesh** mesh);

// Every mesh of the file as one mesh in the file's root space, with one material (and one subset) per
// material the meshes list, in file order. Materials come back as D3DXMATERIAL records whose texture
// names point into the same buffer; the adjacency buffer holds three neighbouring faces per face.
// On failure every output is null; D3DXGetLastXFileError() then says why.
HRESULT D3DXLoadMeshFromXA(const char* filename, DWORD options, IDirect3DDevice9* device,
                           ID3DXBuffer** adjacency, ID3DXBuffer** materials, ID3DXBuffer** effectInstances,
                           DWORD* numMaterials, ID3DXMesh** mesh);
HRESULT D3DXLoadMeshFromXInMemory(const void* memory, DWORD size, DWORD options, IDirect3DDevice9* device,
                                  ID3DXBuffer** adjacency, ID3DXBuffer** materials,
                                  ID3DXBuffer** effectInstances, DWORD* numMaterials, ID3DXMesh** mesh);
// The reader's message for the last failed load on this thread, empty after a successful one.
const char* D3DXGetLastXFileError();

// The face nearest the ray origin that the ray meets, with its barycentric u, v and the distance in
// units of rayDir. On a miss *hit is FALSE and the face, u, v and distance outputs are left as they
// were. allHits, when asked for, lists every hit in face order (null when there is none).
HRESULT D3DXIntersect(ID3DXMesh* mesh, const D3DXVECTOR3* rayPos, const D3DXVECTOR3* rayDir, BOOL* hit,
                      DWORD* faceIndex, float* u, float* v, float* dist, ID3DXBuffer** allHits,
                      DWORD* countOfHits);
