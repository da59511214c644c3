// D3DX's skin information: the bones that move a mesh, each with its name, offset matrix and the vertices
// it moves with their weights, and the conversion of the mesh into one the device's vertex blending
// draws, split into bone combinations.
#pragma once

#include "ID3DXBuffer.h"
#include "ID3DXMesh.h"
#include "d3dx9math.h"

#include <string>
#include <vector>

// One subset of a blended mesh and the bones its vertex weights refer to, slot by slot. BoneId points
// into the same buffer as the records; unused slots hold UINT_MAX.
struct D3DXBONECOMBINATION {
    DWORD AttribId;
    DWORD FaceStart;
    DWORD FaceCount;
    DWORD VertexStart;
    DWORD VertexCount;
    DWORD* BoneId;
};
using LPD3DXBONECOMBINATION = D3DXBONECOMBINATION*;

class ID3DXSkinInfo : public IUnknown {
public:
    // Bones start unnamed, with identity offsets and no influences.
    static HRESULT Create(DWORD numVertices, DWORD fvf, DWORD numBones, ID3DXSkinInfo** skinInfo);

    // The most world matrices the device blends per vertex, and so per bone combination.
    static constexpr DWORD kMaxBlendMatrices = 4;

    DWORD GetNumBones() const { return static_cast<DWORD>(m_bones.size()); }
    DWORD GetNumVertices() const { return m_numVertices; }
    DWORD GetFVF() const { return m_fvf; }
    // Null for a bone index out of range.
    const char* GetBoneName(DWORD bone) const;
    HRESULT SetBoneName(DWORD bone, const char* name);
    // Null for a bone index out of range.
    D3DXMATRIX* GetBoneOffsetMatrix(DWORD bone);
    HRESULT SetBoneOffsetMatrix(DWORD bone, const D3DXMATRIX* offset);
    DWORD GetNumBoneInfluences(DWORD bone) const;
    HRESULT GetBoneInfluence(DWORD bone, DWORD* vertices, float* weights) const;
    // Vertex indices must lie below the vertex count.
    HRESULT SetBoneInfluence(DWORD bone, DWORD numInfluences, const DWORD* vertices, const float* weights);
    HRESULT GetMaxVertexInfluences(DWORD* maxInfluences) const;

    // A copy of the mesh whose vertices carry blend weights (position type D3DFVF_XYZB1 to XYZB3, or plain
    // XYZ when no face needs more than one bone), with one subset per bone combination: faces grouped
    // by material, then into runs that at most *maxFaceInfl bones move. Vertices are copied per
    // combination, their weights in the order of its BoneId slots (the last slot's weight is what the
    // others leave of 1). Weights are normalised per vertex. The device blends no more than four bones:
    // a vertex keeps its four strongest, and a face moved by more loses its vertices' weakest influences
    // until four remain. The mesh's vertex count must equal this skin's. Options are ignored, as in D3DX;
    // face and vertex remaps are optional.
    HRESULT ConvertToBlendedMesh(ID3DXMesh* mesh, DWORD options, const DWORD* adjacencyIn,
                                 DWORD* adjacencyOut, DWORD* faceRemap, ID3DXBuffer** vertexRemap,
                                 DWORD* maxFaceInfl, DWORD* numBoneCombinations,
                                 ID3DXBuffer** boneCombinationTable, ID3DXMesh** blendedMesh);

private:
    struct Bone {
        std::string name;
        bool named = false;
        D3DXMATRIX offset;
        std::vector<DWORD> vertices;
        std::vector<float> weights;
    };

    ID3DXSkinInfo(DWORD numVertices, DWORD fvf, DWORD numBones);

    DWORD m_numVertices;
    DWORD m_fvf;
    std::vector<Bone> m_bones;
};
using LPD3DXSKININFO = ID3DXSkinInfo*;

HRESULT D3DXCreateSkinInfoFVF(DWORD numVertices, DWORD fvf, DWORD numBones, ID3DXSkinInfo** skinInfo);
