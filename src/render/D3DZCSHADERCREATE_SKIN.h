// Draws a skinned model's mesh container through an effect with the library's per-material parameters
// ("Diffuse", "Ambient", "Specular", "Emissive", "Power", "MeshTex") and its technique "Tech". Bone
// matrices are not given to the effect: the mesh is drawn in the pose it was converted in, placed by
// whatever world matrix the caller gave the effect.
#pragma once

#include "D3DZCSHADER.h"
#include "D3DZCXSkinMesh.h"

class D3DZCSHADERCREATE_SKIN : public D3DZCSHADER {
public:
    // Every subset in every pass, lit by device light 0.
    void DrawMesh(D3DZCXSkinMesh* mesh);
    // The same with the given light (device light 0 when null).
    void DrawMesh(D3DLIGHT9* light, D3DZCXSkinMesh* mesh);
};
