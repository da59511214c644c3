// Flattens an X file into the single mesh D3DX loads from it: every mesh placed by its frames, polygons
// cut into triangle fans, vertices split where corners of one file vertex carry different normals,
// materials concatenated so that attribute i means material i, and faces grouped by attribute.
#pragma once

#include "ID3DXMesh.h"
#include "XFileModel.h"
#include "d3d9types.h"

#include <array>
#include <vector>

struct XFileCombinedMesh {
    DWORD fvf = D3DFVF_XYZ;                  // plus NORMAL, DIFFUSE and TEX1 when some mesh has them
    std::vector<D3DXVECTOR3> positions;      // in the file's root space
    std::vector<D3DXVECTOR3> normals;        // unit length, or zero where the file gives none
    std::vector<D3DXVECTOR2> texCoords;      // zero where the file gives none
    std::vector<D3DCOLOR> colors;            // opaque white where the file gives none
    std::vector<std::array<DWORD, 3>> faces; // sorted by attribute, file order within one
    std::vector<DWORD> attributes;
    std::vector<D3DXATTRIBUTERANGE> attributeTable;
    std::vector<XFileMaterial> materials;
    // For each vertex, the vertex of its own file mesh it was made from: skin weights name those.
    std::vector<DWORD> fileVertices;
};

class XFileMeshBuilder {
public:
    static XFileCombinedMesh Build(const XFileModel& model);
    // One mesh alone in its own frame's space, as a frame hierarchy keeps it.
    static XFileCombinedMesh BuildOne(const XFileMesh& mesh);
    // Writes the vertices, faces, attributes and attribute table into a mesh made with the combined
    // mesh's counts and vertex format.
    static void Fill(ID3DXMesh& mesh, const XFileCombinedMesh& combined);

private:
    struct Placement {
        D3DXMATRIX points;
        D3DXMATRIX normals; // inverse transpose of `points`
    };

    void AddFrame(const XFileFrame& frame, const D3DXMATRIX& parent);
    void AddMesh(const XFileMesh& mesh, const D3DXMATRIX& transform);
    DWORD AddMaterials(const XFileMesh& mesh);
    void AddFileVertices(const XFileMesh& mesh, const Placement& placement);
    DWORD CornerVertex(DWORD base, DWORD fileVertex, const D3DXVECTOR3& normal, const Placement& placement);
    void SortByAttribute();
    void BuildAttributeTable();

    // Per combined vertex, for splitting: the untransformed normal it carries once set, and the next
    // vertex split from the same file vertex (or none). Kept together: a corner reads all three.
    struct SplitState {
        D3DXVECTOR3 fileNormal{0.0f, 0.0f, 0.0f};
        DWORD nextSplit;
        bool normalSet = false;
    };

    DWORD SplitVertex(DWORD vertex);

    XFileCombinedMesh m_out;
    std::vector<SplitState> m_splits;
};
