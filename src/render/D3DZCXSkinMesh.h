// An animated, skinned model from a DirectX X file: its frame hierarchy with every mesh container
// drawn through the device's fixed-function vertex blending, one world matrix per bone of each bone
// combination, and its animation sets played through IHighLevelAnimController. Models made of several
// meshes are posed whole, each mesh with the bones of its own skin.
#pragma once

#include "D3DZCAllocateHierarchy.h"
#include "IHighLevelAnimController.h"

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class D3DZCXSkinMesh {
public:
    D3DZCXSkinMesh() = default;
    ~D3DZCXSkinMesh();
    D3DZCXSkinMesh(const D3DZCXSkinMesh&) = delete;
    D3DZCXSkinMesh& operator=(const D3DZCXSkinMesh&) = delete;

    // Every mesh container is drawn; GetContainer is the first found depth first (a frame, then its
    // children, then its siblings). Materials take their diffuse colour as ambient, as static models
    // do. False when the file does not load, has no animation or no mesh; what was loaded stays until
    // Release. texFileName (may be null) is bound before every subset that has no texture of its own;
    // textures are looked for in the model's folder.
    bool Load(const char* xFileName, const char* texFileName);
    void Draw(D3DXMATRIX* world);
    // The same with every material's diffuse alpha replaced by alpha.
    void Draw(D3DXMATRIX* world, float alpha);

    // Fade time and loop length of one animation; false for an index out of range or a loop length
    // that is not a positive number.
    bool SetAnimation(UINT animID, float interval, float loopTime);
    bool ChangeAnimation(UINT animID);
    bool AdvanceTime(float seconds);

    UINT GetNumMaterial() const { return m_dwNumMaterials; }
    D3DZMESHCONTAINER* GetContainer() const { return m_pContainer; }
    D3DXFRAME* GetFrameRoot() const { return m_pFrameRoot; }
    IHighLevelAnimController* GetHighLevelController() const { return m_pHLAnimCont.get(); }
    // The whole file as one static mesh in its bind pose, as D3DXLoadMeshFromX gives it.
    ID3DXMesh* GetMesh() const { return m_pMesh; }

    void Release();

private:
    // A container with the frame that holds it and, per bone of its skin, the frame of that name.
    struct PosedContainer {
        D3DZMESHCONTAINER* container = nullptr;
        const D3DXFRAME* frame = nullptr;
        std::vector<const D3DXFRAME*> boneFrames;
    };

    void DrawWith(const D3DXMATRIX& world, const float* alpha);
    void DrawContainer(const PosedContainer& posed, const float* alpha);
    void BuildSkinningMatrices(D3DXFRAME* frame, const D3DXMATRIX& parent);
    using FramesByName = std::map<std::string, const D3DXFRAME*>;
    void CollectContainers(D3DXFRAME* frame, const FramesByName& frames);
    void PrepareContainer(D3DZMESHCONTAINER& container, const std::string& folder);

    std::unique_ptr<IHighLevelAnimController> m_pHLAnimCont;
    D3DZCAllocateHierarchy m_Alloc;
    D3DXFRAME* m_pFrameRoot = nullptr;
    ID3DXAnimationController* m_pAnimController = nullptr;
    D3DZMESHCONTAINER* m_pContainer = nullptr;
    D3DXBONECOMBINATION* m_pBoneCombination = nullptr;
    std::vector<PosedContainer> m_containers;                         // every container, m_pContainer first
    std::unordered_map<const D3DXFRAME*, D3DXMATRIX> m_frameCombined; // rebuilt each Draw
    D3DZCTEXTURE m_Texture;
    std::map<DWORD, D3DXMATRIX> m_CombMatrixMap;
    DWORD m_dwNumMaterials = 0;
    ID3DXMesh* m_pMesh = nullptr;
};
