// A plain mesh record and the library's free functions over it: load with plain textures, draw with
// the file's materials or one given material, clone into a fixed vertex layout and edit its vertices.
#pragma once

#include "d3dx9mesh.h"

struct D3DXZORVXFILE {
    ID3DXMesh* pMesh = nullptr;
    DWORD dwNumMaterials = 0;
    D3DMATERIAL9* pMaterials = nullptr;
    IDirect3DTexture9** ppTextures = nullptr; // an entry is null where the texture did not load
};

// The vertex layout of a cloned mesh: position, normal, texture coordinates (D3DFVF_XYZ | D3DFVF_NORMAL
// | D3DFVF_TEX1).
struct _D3DXZORVCLONEVERTEX_ {
    D3DXVECTOR3 pos;
    D3DXVECTOR3 normal;
    float u;
    float v;
};
static_assert(sizeof(_D3DXZORVCLONEVERTEX_) == 32);

void D3DZLoadMesh(D3DXZORVXFILE* xfile, const char* fileName);
void D3DZDrawMesh(D3DXZORVXFILE* xfile, float alpha);
void D3DZDrawMesh(D3DXZORVXFILE* xfile, const D3DMATERIAL9* material);
void D3DZMakeCloneMesh(D3DXZORVXFILE* xfile);
// The vertex pointer stays null when the mesh cannot be locked.
void D3DZLockVertexBuffer(DWORD flags, D3DXZORVXFILE* xfile, _D3DXZORVCLONEVERTEX_*& vertices);
void D3DZUnLockVertexBuffer(D3DXZORVXFILE* xfile);
void D3DZReleaseMesh(D3DXZORVXFILE* xfile);
