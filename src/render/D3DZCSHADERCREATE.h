// An effect that draws static meshes with the library's standard per-object parameters ("mW", "mV",
// "mP", "CamPos", "LightDir") and per-material parameters ("Diffuse", "Ambient", "Specular",
// "Emissive", "Power", "MeshTex") through its technique "Tech".
#pragma once

#include "D3DZCMATRIX.h"
#include "D3DZCSHADER.h"
#include "D3DZCVECTOR3.h"
#include "D3DZCXFILE.h"

class D3DZCSHADERCREATE : public D3DZCSHADER {
public:
    // View and projection come from the device's transforms.
    void SetContents(D3DZCMATRIX* world, D3DZCVECTOR3* camPos, D3DZCVECTOR3* lightDir);
    void SetShadowMapData(D3DXMATRIX* lightViewProj, D3DZCTEXTURE* shadowMap);
    // Every subset in every pass, lit by device light 0.
    void DrawMesh(D3DZCXFILE* mesh);
    // The same with the given light (device light 0 when null); "Emissive" is left as it was.
    void DrawMesh(D3DLIGHT9* light, D3DZCXFILE* mesh);

private:
    void DrawMaterials(const D3DLIGHT9& light, D3DZCXFILE& mesh, bool withEmissive);
};
