#include "d3dx9mesh.h"

#include <cstring>
#include <vector>

HRESULT D3DXIntersect(ID3DXMesh* mesh, const D3DXVECTOR3* rayPos, const D3DXVECTOR3* rayDir, BOOL* hit,
                      DWORD* faceIndex, float* u, float* v, float* dist, ID3DXBuffer** allHits,
                      DWORD* countOfHits) {
    if (allHits != nullptr)
        *allHits = nullptr;
    if (countOfHits != nullptr)
        *countOfHits = 0;
    if (hit != nullptr)
        *hit = FALSE;
    if (mesh == nullptr || rayPos == nullptr || rayDir == nullptr)
        return D3DERR_INVALIDCALL;

    const bool listing = allHits != nullptr || countOfHits != nullptr;
    std::vector<D3DXINTERSECTINFO> hits;
    D3DXINTERSECTINFO nearest{};
    bool found = false;
    const DWORD vertexCount = mesh->GetNumVertices();
    for (DWORD face = 0; face < mesh->GetNumFaces(); ++face) {
        const DWORD i0 = mesh->Index(face, 0), i1 = mesh->Index(face, 1), i2 = mesh->Index(face, 2);
        if (i0 >= vertexCount || i1 >= vertexCount || i2 >= vertexCount)
            continue;
        const D3DXVECTOR3 p0 = mesh->Position(i0), p1 = mesh->Position(i1), p2 = mesh->Position(i2);
        D3DXINTERSECTINFO info{face, 0.0f, 0.0f, 0.0f};
        if (!D3DXIntersectTri(&p0, &p1, &p2, rayPos, rayDir, &info.U, &info.V, &info.Dist))
            continue;
        if (listing)
            hits.push_back(info);
        if (!found || info.Dist < nearest.Dist)
            nearest = info;
        found = true;
    }
    if (!found)
        return S_OK;
    if (hit != nullptr)
        *hit = TRUE;
    if (faceIndex != nullptr)
        *faceIndex = nearest.FaceIndex;
    if (u != nullptr)
        *u = nearest.U;
    if (v != nullptr)
        *v = nearest.V;
    if (dist != nullptr)
        *dist = nearest.Dist;
    if (countOfHits != nullptr)
        *countOfHits = static_cast<DWORD>(hits.size());
    if (allHits != nullptr) {
        *allHits = new ID3DXBuffer(hits.size() * sizeof(D3DXINTERSECTINFO));
        std::memcpy((*allHits)->GetBufferPointer(), hits.data(), hits.size() * sizeof(D3DXINTERSECTINFO));
    }
    return S_OK;
}
