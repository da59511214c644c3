// Makes the ID3DXMesh for a ModelData through D3DX's own mesh API, as the X-file loader makes its
// meshes: position, normal and one set of texture coordinates per vertex, faces grouped by material
// into an attribute table (subset i draws with material i), and the adjacency D3DX hands out.
#pragma once

#include "ModelData.h"
#include "d3dx9mesh.h"

class ModelMeshFactory {
public:
    static constexpr DWORD kFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

    // On failure *mesh and *adjacency are null: D3DXERR_INVALIDDATA for a model whose lists disagree or
    // whose faces name missing vertices. adjacency may be null when not wanted.
    static HRESULT Create(const ModelData& model, DWORD options, IDirect3DDevice9* device, ID3DXMesh** mesh,
                          ID3DXBuffer** adjacency);

private:
    static void FillVertices(ID3DXMesh& mesh, const ModelData& model);
};
