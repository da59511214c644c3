// One static mesh from a DirectX X file with its materials and one texture per material; subset i
// draws with material i. glTF and OBJ files (told by their extension) load into the same mesh and
// materials through the model library; their textures may come from the file itself, and glTF
// materials keep their alpha mode (blended or masked) when drawn.
#pragma once

#include "D3DZCTEXTURE.h"
#include "d3dx9mesh.h"

#include <memory>
#include <string>
#include <vector>

class D3DZCXFILE {
public:
    D3DZCXFILE() = default;
    ~D3DZCXFILE();
    D3DZCXFILE(const D3DZCXFILE&) = delete;
    D3DZCXFILE& operator=(const D3DZCXFILE&) = delete;

    // Textures are looked for in the model's folder; FALSE, with nothing changed, when the mesh does
    // not load. A texture that does not load leaves its material untextured.
    BOOL LoadXFile(const char* fileName);
    // Each subset with its material, the material's diffuse alpha replaced by alpha.
    void Draw(float alpha);
    // True when Draw(1) puts down only opaque colour: no blended or masked material, no vertex colours
    // and no texel of a texture less than opaque. Such a model draws alike in any order with others.
    bool DrawsOpaque();
    // Draw(1) once per world matrix in matrices (16 floats each, from byte offset on), in one
    // instanced draw per subset; the device's world transform is not used.
    void DrawCopies(IDirect3DVertexBuffer9* matrices, UINT offset, UINT count);
    void Release();

    ID3DXMesh* GetMesh() const { return m_pMesh; }
    D3DZCTEXTURE* GetTextures() const { return m_pTextures.get(); }
    D3DMATERIAL9* GetMaterials() const { return m_pMaterials.get(); }
    DWORD GetMaterialCnt() const { return m_dwNumMaterials; }
    ID3DXBuffer* GetAdjacency() const { return m_pAdjacency; }

    // The folder part of a model's file name, without a drive letter: "Data/XFILE/" for
    // "Data/XFILE/UI_BOX.x", empty for a bare name.
    static std::string TextureFolder(const std::string& fileName);
    // The file a material's texture name refers to: in the model's folder as written, or, where that
    // does not exist (a path from another machine), the bare file name in the model's folder.
    static std::string TexturePath(const std::string& folder, const std::string& textureName);

private:
    // How a glTF material's alpha is used; X and OBJ materials draw as D3DX draws them.
    struct AlphaUse {
        enum Mode { Opaque, Mask, Blend } mode = Opaque;
        float alpha = 1.0f;  // the material's own, multiplied with Draw's for Blend
        float cutoff = 0.5f; // Mask
    };

    BOOL LoadModel(const char* fileName, IDirect3DDevice9* device);
    void DrawSubsetWithAlpha(IDirect3DDevice9* device, DWORD subset, D3DMATERIAL9 material);

    ID3DXMesh* m_pMesh = nullptr;
    std::unique_ptr<D3DZCTEXTURE[]> m_pTextures;
    std::unique_ptr<D3DMATERIAL9[]> m_pMaterials;
    DWORD m_dwNumMaterials = 0;
    ID3DXBuffer* m_pAdjacency = nullptr;
    std::vector<AlphaUse> m_alphaUses; // one per material, or empty
    int m_drawsOpaque = -1;            // DrawsOpaque's answer once known, else -1
};
