// D3DX's frame hierarchies: frames and mesh containers made through the caller's allocator, loaded from
// an X file together with an animation controller for its animation sets.
#pragma once

#include "ID3DXAnimationController.h"
#include "ID3DXSkinInfo.h"
#include "d3dx9mesh.h"

enum D3DXMESHDATATYPE : DWORD { D3DXMESHTYPE_MESH = 1, D3DXMESHTYPE_PMESH = 2, D3DXMESHTYPE_PATCHMESH = 3 };

// Only plain meshes are loaded here.
struct D3DXMESHDATA {
    D3DXMESHDATATYPE Type = D3DXMESHTYPE_MESH;
    ID3DXMesh* pMesh = nullptr;
};

struct D3DXMESHCONTAINER {
    char* Name = nullptr;
    D3DXMESHDATA MeshData;
    D3DXMATERIAL* pMaterials = nullptr;
    D3DXEFFECTINSTANCE* pEffects = nullptr;
    DWORD NumMaterials = 0;
    DWORD* pAdjacency = nullptr;
    ID3DXSkinInfo* pSkinInfo = nullptr;
    D3DXMESHCONTAINER* pNextMeshContainer = nullptr;
};
using LPD3DXMESHCONTAINER = D3DXMESHCONTAINER*;

struct D3DXFRAME {
    char* Name = nullptr;
    D3DXMATRIX TransformationMatrix;
    D3DXMESHCONTAINER* pMeshContainer = nullptr;
    D3DXFRAME* pFrameSibling = nullptr;
    D3DXFRAME* pFrameFirstChild = nullptr;
};
using LPD3DXFRAME = D3DXFRAME*;

// The application's side of hierarchy loading: it makes and frees every frame and mesh container, and
// keeps (with a reference of its own) whatever of the mesh, skin information and buffers it wants.
class ID3DXAllocateHierarchy {
public:
    virtual HRESULT CreateFrame(const char* name, D3DXFRAME** newFrame) = 0;
    virtual HRESULT CreateMeshContainer(const char* name, const D3DXMESHDATA* meshData,
                                        const D3DXMATERIAL* materials,
                                        const D3DXEFFECTINSTANCE* effectInstances, DWORD numMaterials,
                                        const DWORD* adjacency, ID3DXSkinInfo* skinInfo,
                                        D3DXMESHCONTAINER** newMeshContainer) = 0;
    virtual HRESULT DestroyFrame(D3DXFRAME* frame) = 0;
    virtual HRESULT DestroyMeshContainer(D3DXMESHCONTAINER* meshContainer) = 0;

protected:
    ~ID3DXAllocateHierarchy() = default;
};
using LPD3DXALLOCATEHIERARCHY = ID3DXAllocateHierarchy*;

// User data in X files is not read by this system; a loader may be given and is never called.
class ID3DXLoadUserData;
using LPD3DXLOADUSERDATA = ID3DXLoadUserData*;

// Every frame of the file, its top-level frames as the root and its siblings (meshes outside any frame
// each in an unnamed frame before them), with each mesh in its own frame's space handed to the
// allocator with its materials, effect instances, adjacency and, when the file gives skin weights,
// its skin information (vertex indices refer to the mesh as handed over). The animation controller,
// when asked for, is null for a file without animations; otherwise it writes the named frames'
// matrices, holds the file's sets in file order with set 0 on track 0 (the only enabled one of two
// tracks), and loops each set over the time of its last key. On failure nothing is left behind:
// what the allocator made is destroyed through it.
HRESULT D3DXLoadMeshHierarchyFromXA(const char* filename, DWORD options, IDirect3DDevice9* device,
                                    ID3DXAllocateHierarchy* alloc, ID3DXLoadUserData* userDataLoader,
                                    D3DXFRAME** frameHierarchy, ID3DXAnimationController** animController);
HRESULT D3DXLoadMeshHierarchyFromXInMemory(const void* memory, DWORD size, DWORD options,
                                           IDirect3DDevice9* device, ID3DXAllocateHierarchy* alloc,
                                           ID3DXLoadUserData* userDataLoader, D3DXFRAME** frameHierarchy,
                                           ID3DXAnimationController** animController);

// Destroys a frame, its mesh containers, its children and its siblings through the allocator.
HRESULT D3DXFrameDestroy(D3DXFRAME* frameRoot, ID3DXAllocateHierarchy* alloc);
// The frame of that name in the hierarchy (the frame, its children, then its siblings), or null.
D3DXFRAME* D3DXFrameFind(const D3DXFRAME* frameRoot, const char* name);
