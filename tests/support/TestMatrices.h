// The matrices tests build their cases from, each made by the D3DX function of the same name.
#pragma once

#include "d3dx9math.h"

inline D3DXMATRIX Identity() {
    D3DXMATRIX m;
    return *D3DXMatrixIdentity(&m);
}

inline D3DXMATRIX Translation(float x, float y, float z) {
    D3DXMATRIX m;
    return *D3DXMatrixTranslation(&m, x, y, z);
}

inline D3DXMATRIX Scaling(float x, float y, float z) {
    D3DXMATRIX m;
    return *D3DXMatrixScaling(&m, x, y, z);
}

inline D3DXMATRIX RotationX(float angle) {
    D3DXMATRIX m;
    return *D3DXMatrixRotationX(&m, angle);
}

inline D3DXMATRIX RotationY(float angle) {
    D3DXMATRIX m;
    return *D3DXMatrixRotationY(&m, angle);
}

inline D3DXMATRIX RotationZ(float angle) {
    D3DXMATRIX m;
    return *D3DXMatrixRotationZ(&m, angle);
}
