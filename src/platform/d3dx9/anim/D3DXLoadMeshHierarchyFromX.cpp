#include "D3DXMaterialBuffer.h"
#include "FaceAdjacency.h"
#include "XFileMeshBuilder.h"
#include "XFileModel.h"
#include "d3dx9anim.h"

#include <cstring>
#include <filesystem>
#include <set>
#include <span>
#include <string>

namespace {

// What D3DX's loader gives a controller beyond the file's outputs and sets.
constexpr UINT kDefaultTracks = 2;
constexpr UINT kDefaultEvents = 30;

// Releases on scope exit whatever reference it still holds.
template <typename T> struct Held {
    T* object = nullptr;
    ~Held() {
        if (object != nullptr)
            object->Release();
    }
};

class HierarchyBuilder {
public:
    HierarchyBuilder(DWORD options, IDirect3DDevice9* device, ID3DXAllocateHierarchy* alloc)
        : m_options(options), m_device(device), m_alloc(alloc) {}

    HRESULT Build(const XFileModel& model, D3DXFRAME** root) {
        D3DXFRAME* first = nullptr;
        D3DXFRAME** link = &first;
        for (const XFileSharedMesh& mesh : model.meshes) {
            XFileFrame holder;
            holder.meshes.push_back(mesh);
            if (const HRESULT hr = AddFrame(holder, link); FAILED(hr))
                return Undo(first, hr);
            link = &(*link)->pFrameSibling;
        }
        for (const XFileFrame& frame : model.frames) {
            if (const HRESULT hr = AddFrame(frame, link); FAILED(hr))
                return Undo(first, hr);
            link = &(*link)->pFrameSibling;
        }
        if (first == nullptr)
            return D3DXERR_LOADEDMESHASNODATA;
        *root = first;
        return S_OK;
    }

private:
    HRESULT Undo(D3DXFRAME* built, HRESULT why) {
        if (built != nullptr)
            D3DXFrameDestroy(built, m_alloc);
        return why;
    }

    // Makes the frame and links it at *link before filling it, so that a failure part way leaves it in
    // the tree for the caller to destroy.
    HRESULT AddFrame(const XFileFrame& source, D3DXFRAME** link) {
        D3DXFRAME* frame = nullptr;
        HRESULT hr = m_alloc->CreateFrame(source.name.c_str(), &frame);
        if (FAILED(hr))
            return hr;
        if (frame == nullptr)
            return E_FAIL;
        *link = frame;
        frame->TransformationMatrix = D3DXMATRIX(source.transform.data());
        D3DXMESHCONTAINER** container = &frame->pMeshContainer;
        for (const XFileSharedMesh& mesh : source.meshes) {
            if (FAILED(hr = AddMesh(*mesh, container)))
                return hr;
            if (*container != nullptr)
                container = &(*container)->pNextMeshContainer;
        }
        D3DXFRAME** child = &frame->pFrameFirstChild;
        for (const XFileFrame& sourceChild : source.children) {
            if (FAILED(hr = AddFrame(sourceChild, child)))
                return hr;
            child = &(*child)->pFrameSibling;
        }
        return S_OK;
    }

    HRESULT AddMesh(const XFileMesh& source, D3DXMESHCONTAINER** link) {
        const XFileCombinedMesh combined = XFileMeshBuilder::BuildOne(source);
        if (combined.faces.empty())
            return S_OK; // a mesh without faces draws nothing; D3DX skips it too
        Held<ID3DXMesh> mesh;
        HRESULT hr = D3DXCreateMeshFVF(static_cast<DWORD>(combined.faces.size()),
                                       static_cast<DWORD>(combined.positions.size()), m_options, combined.fvf,
                                       m_device, &mesh.object);
        if (FAILED(hr))
            return hr;
        XFileMeshBuilder::Fill(*mesh.object, combined);
        Held<ID3DXSkinInfo> skin;
        if (!source.skinWeights.empty() && FAILED(hr = MakeSkinInfo(source, combined, &skin.object)))
            return hr;
        const std::vector<DWORD> adjacency = ComputeFaceAdjacency(combined.positions, combined.faces);
        Held<ID3DXBuffer> materials{MakeMaterialBuffer(combined.materials)};
        Held<ID3DXBuffer> effects{MakeEffectInstanceBuffer(combined.materials)};
        D3DXMESHDATA data;
        data.Type = D3DXMESHTYPE_MESH;
        data.pMesh = mesh.object;
        return m_alloc->CreateMeshContainer(
            source.name.c_str(), &data,
            static_cast<const D3DXMATERIAL*>(materials.object->GetBufferPointer()),
            static_cast<const D3DXEFFECTINSTANCE*>(effects.object->GetBufferPointer()),
            static_cast<DWORD>(combined.materials.size()), adjacency.data(), skin.object, link);
    }

    // The file's weights name its own vertices; the mesh has split some of them, and every copy moves
    // with the bones of the vertex it was split from.
    static HRESULT MakeSkinInfo(const XFileMesh& source, const XFileCombinedMesh& combined,
                                ID3DXSkinInfo** out) {
        std::vector<std::vector<DWORD>> copies(source.positions.size());
        for (DWORD v = 0; v < combined.fileVertices.size(); ++v)
            copies[combined.fileVertices[v]].push_back(v);
        ID3DXSkinInfo* skin = nullptr;
        HRESULT hr = D3DXCreateSkinInfoFVF(static_cast<DWORD>(combined.positions.size()), combined.fvf,
                                           static_cast<DWORD>(source.skinWeights.size()), &skin);
        if (FAILED(hr))
            return hr;
        for (DWORD bone = 0; bone < source.skinWeights.size(); ++bone) {
            const XFileSkinWeights& weights = source.skinWeights[bone];
            std::vector<DWORD> vertices;
            std::vector<float> values;
            for (std::size_t i = 0; i < weights.vertexIndices.size() && i < weights.weights.size(); ++i) {
                const std::uint32_t fileVertex = weights.vertexIndices[i];
                if (fileVertex >= copies.size())
                    continue;
                for (const DWORD copy : copies[fileVertex]) {
                    vertices.push_back(copy);
                    values.push_back(weights.weights[i]);
                }
            }
            const D3DXMATRIX offset(weights.offsetMatrix.data());
            skin->SetBoneName(bone, weights.boneName.c_str());
            skin->SetBoneOffsetMatrix(bone, &offset);
            skin->SetBoneInfluence(bone, static_cast<DWORD>(vertices.size()), vertices.data(), values.data());
        }
        *out = skin;
        return S_OK;
    }

    DWORD m_options;
    IDirect3DDevice9* m_device;
    ID3DXAllocateHierarchy* m_alloc;
};

void CollectNamed(D3DXFRAME* frame, std::vector<D3DXFRAME*>& named, std::set<std::string>& seen) {
    for (; frame != nullptr; frame = frame->pFrameSibling) {
        // Of frames sharing a name, the first in the file is the one animated.
        if (frame->Name != nullptr && frame->Name[0] != '\0' && seen.insert(frame->Name).second)
            named.push_back(frame);
        CollectNamed(frame->pFrameFirstChild, named, seen);
    }
}

// X files give rotation keys turning the other way from D3DX's quaternions: the loader conjugates them.
D3DXKEY_QUATERNION RotationKey(const XFileRotationKey& key) {
    return {static_cast<float>(key.time), D3DXQUATERNION(-key.x, -key.y, -key.z, key.w)};
}

D3DXKEY_VECTOR3 VectorKey(const XFileVectorKey& key) {
    return {static_cast<float>(key.time), D3DXVECTOR3(key.value.data())};
}

ID3DXAnimationSet* MakeSet(const XFileAnimationSet& source, double ticksPerSecond) {
    ID3DXAnimationSet* set = nullptr;
    D3DXCreateKeyframedAnimationSet(source.name.c_str(), ticksPerSecond, D3DXPLAY_LOOP, &set);
    for (const XFileAnimation& animation : source.animations) {
        if (animation.frameName.empty())
            continue;
        if (!animation.matrixKeys.empty()) {
            std::vector<D3DXKEY_MATRIX> keys;
            for (const XFileMatrixKey& key : animation.matrixKeys)
                keys.push_back({static_cast<float>(key.time), D3DXMATRIX(key.matrix.data())});
            set->RegisterAnimationMatrixKeys(animation.frameName.c_str(), static_cast<UINT>(keys.size()),
                                             keys.data(), nullptr);
            continue;
        }
        std::vector<D3DXKEY_VECTOR3> scale, translation;
        std::vector<D3DXKEY_QUATERNION> rotation;
        for (const XFileVectorKey& key : animation.scaleKeys)
            scale.push_back(VectorKey(key));
        for (const XFileRotationKey& key : animation.rotationKeys)
            rotation.push_back(RotationKey(key));
        for (const XFileVectorKey& key : animation.positionKeys)
            translation.push_back(VectorKey(key));
        // A second animation of the same frame in one set is refused: the first one moves it.
        set->RegisterAnimationSRTKeys(animation.frameName.c_str(), static_cast<UINT>(scale.size()),
                                      scale.data(), static_cast<UINT>(rotation.size()), rotation.data(),
                                      static_cast<UINT>(translation.size()), translation.data(), nullptr);
    }
    return set;
}

HRESULT MakeController(const XFileModel& model, D3DXFRAME* root, ID3DXAnimationController** out) {
    std::vector<D3DXFRAME*> named;
    std::set<std::string> seen;
    CollectNamed(root, named, seen);
    ID3DXAnimationController* controller = nullptr;
    const HRESULT hr = D3DXCreateAnimationController(std::max<UINT>(static_cast<UINT>(named.size()), 1),
                                                     static_cast<UINT>(model.animationSets.size()),
                                                     kDefaultTracks, kDefaultEvents, &controller);
    if (FAILED(hr))
        return hr;
    for (D3DXFRAME* frame : named)
        controller->RegisterAnimationOutput(frame->Name, &frame->TransformationMatrix, nullptr, nullptr,
                                            nullptr);
    const double ticksPerSecond =
        model.ticksPerSecond > 0 ? model.ticksPerSecond : XFileModel::kDefaultTicksPerSecond;
    for (const XFileAnimationSet& source : model.animationSets) {
        ID3DXAnimationSet* set = MakeSet(source, ticksPerSecond);
        controller->RegisterAnimationSet(set);
        set->Release();
    }
    ID3DXAnimationSet* first = nullptr;
    controller->GetAnimationSet(0, &first);
    controller->SetTrackAnimationSet(0, first);
    controller->SetTrackEnable(0, TRUE);
    first->Release();
    *out = controller;
    return S_OK;
}

HRESULT Load(const XFileModel& model, DWORD options, IDirect3DDevice9* device, ID3DXAllocateHierarchy* alloc,
             D3DXFRAME** frameHierarchy, ID3DXAnimationController** animController) {
    D3DXFRAME* root = nullptr;
    HierarchyBuilder builder(options, device, alloc);
    if (const HRESULT hr = builder.Build(model, &root); FAILED(hr))
        return hr;
    if (animController != nullptr && !model.animationSets.empty()) {
        if (const HRESULT hr = MakeController(model, root, animController); FAILED(hr)) {
            D3DXFrameDestroy(root, alloc);
            return hr;
        }
    }
    *frameHierarchy = root;
    return S_OK;
}

bool ClearOutputs(D3DXFRAME** frameHierarchy, ID3DXAnimationController** animController) {
    if (frameHierarchy != nullptr)
        *frameHierarchy = nullptr;
    if (animController != nullptr)
        *animController = nullptr;
    return frameHierarchy != nullptr;
}

} // namespace

HRESULT D3DXLoadMeshHierarchyFromXA(const char* filename, DWORD options, IDirect3DDevice9* device,
                                    ID3DXAllocateHierarchy* alloc, ID3DXLoadUserData*,
                                    D3DXFRAME** frameHierarchy, ID3DXAnimationController** animController) {
    if (!ClearOutputs(frameHierarchy, animController) || filename == nullptr || device == nullptr ||
        alloc == nullptr)
        return D3DERR_INVALIDCALL;
    XFileModel model;
    std::string error;
    if (!XFileModel::Load(filename, model, error)) {
        std::error_code ignored;
        return std::filesystem::is_regular_file(filename, ignored) ? D3DXERR_INVALIDDATA : E_FAIL;
    }
    return Load(model, options, device, alloc, frameHierarchy, animController);
}

HRESULT D3DXLoadMeshHierarchyFromXInMemory(const void* memory, DWORD size, DWORD options,
                                           IDirect3DDevice9* device, ID3DXAllocateHierarchy* alloc,
                                           ID3DXLoadUserData*, D3DXFRAME** frameHierarchy,
                                           ID3DXAnimationController** animController) {
    if (!ClearOutputs(frameHierarchy, animController) || (memory == nullptr && size != 0) ||
        device == nullptr || alloc == nullptr)
        return D3DERR_INVALIDCALL;
    XFileModel model;
    std::string error;
    const std::span<const std::uint8_t> bytes(static_cast<const std::uint8_t*>(memory), size);
    if (!XFileModel::LoadFromMemory(bytes, model, error))
        return D3DXERR_INVALIDDATA;
    return Load(model, options, device, alloc, frameHierarchy, animController);
}

HRESULT D3DXFrameDestroy(D3DXFRAME* frameRoot, ID3DXAllocateHierarchy* alloc) {
    if (frameRoot == nullptr || alloc == nullptr)
        return D3DERR_INVALIDCALL;
    // Siblings iteratively, children recursively: long sibling lists must not exhaust the stack.
    while (frameRoot != nullptr) {
        D3DXFRAME* next = frameRoot->pFrameSibling;
        if (frameRoot->pFrameFirstChild != nullptr)
            D3DXFrameDestroy(frameRoot->pFrameFirstChild, alloc);
        D3DXMESHCONTAINER* container = frameRoot->pMeshContainer;
        while (container != nullptr) {
            D3DXMESHCONTAINER* nextContainer = container->pNextMeshContainer;
            alloc->DestroyMeshContainer(container);
            container = nextContainer;
        }
        frameRoot->pFrameFirstChild = nullptr;
        frameRoot->pFrameSibling = nullptr;
        frameRoot->pMeshContainer = nullptr;
        alloc->DestroyFrame(frameRoot);
        frameRoot = next;
    }
    return S_OK;
}

D3DXFRAME* D3DXFrameFind(const D3DXFRAME* frameRoot, const char* name) {
    for (const D3DXFRAME* frame = frameRoot; frame != nullptr && name != nullptr;
         frame = frame->pFrameSibling) {
        if (frame->Name != nullptr && std::strcmp(frame->Name, name) == 0)
            return const_cast<D3DXFRAME*>(frame);
        if (D3DXFRAME* found = D3DXFrameFind(frame->pFrameFirstChild, name))
            return found;
    }
    return nullptr;
}
