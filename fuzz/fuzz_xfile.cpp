// X files in every form: text and binary, 32- and 64-bit floats, and (for inputs in an uncompressed
// form) the same file MSZIP-compressed, which must read alike. What reads goes on through the whole
// loading path the editor uses: the mesh with its adjacency and materials, the frame hierarchy with
// its skinned meshes converted for vertex blending, and the animation controller advanced in time.
// The results must be sound: indices below the vertex count, attribute ranges covering every face,
// adjacency naming real faces, bone combinations naming real bones and faces.
#include "D3DZCAllocateHierarchy.h"
#include "FuzzCheck.h"
#include "XFileModel.h"
#include "XFileTestFiles.h"
#include "d3d9.h"
#include "d3dx9anim.h"
#include "d3dx9mesh.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr DWORD kNone = 0xFFFFFFFF;

// One headless device for the whole run, kept to the end: making one per input would cost more than
// the input.
IDirect3DDevice9* Device() {
    static IDirect3D9* const d3d = Direct3DCreate9(D3D_SDK_VERSION);
    static IDirect3DDevice9* const device = [] {
        IDirect3DDevice9* made = nullptr;
        if (d3d == nullptr)
            return made;
        D3DPRESENT_PARAMETERS parameters{};
        parameters.BackBufferWidth = 4;
        parameters.BackBufferHeight = 4;
        parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
        parameters.Windowed = TRUE;
        parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
        d3d->CreateDevice(0, D3DDEVTYPE_REF, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters,
                          &made);
        return made;
    }();
    return device;
}

bool Uncompressed(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 16)
        return false;
    const std::string_view header(reinterpret_cast<const char*>(bytes.data()), 16);
    return header.substr(0, 4) == "xof " && (header.substr(8, 4) == "txt " || header.substr(8, 4) == "bin ");
}

void CheckCompressedReadsAlike(std::span<const std::uint8_t> bytes, bool parsed, const XFileModel& model) {
    const std::vector<std::uint8_t> packed = XFileMszipCompress(bytes);
    XFileModel unpacked;
    std::string error;
    const bool parsedPacked = XFileModel::LoadFromMemory(packed, unpacked, error);
    FuzzCheck(parsedPacked == parsed, "the compressed file reads as the plain one does");
    FuzzCheck(unpacked.frames.size() == model.frames.size() &&
                  unpacked.meshes.size() == model.meshes.size() &&
                  unpacked.animationSets.size() == model.animationSets.size(),
              "the compressed file holds what the plain one holds");
}

void CheckMesh(ID3DXMesh& mesh) {
    const DWORD faces = mesh.GetNumFaces();
    const DWORD vertices = mesh.GetNumVertices();
    for (DWORD face = 0; face < faces; ++face)
        for (DWORD corner = 0; corner < 3; ++corner)
            FuzzCheck(mesh.Index(face, corner) < vertices, "every index is below the vertex count");
    DWORD entries = 0;
    mesh.GetAttributeTable(nullptr, &entries);
    if (entries == 0)
        return;
    std::vector<D3DXATTRIBUTERANGE> table(entries);
    mesh.GetAttributeTable(table.data(), &entries);
    DWORD* attributes = nullptr;
    mesh.LockAttributeBuffer(D3DLOCK_READONLY, &attributes);
    DWORD next = 0;
    for (const D3DXATTRIBUTERANGE& range : table) {
        FuzzCheck(range.FaceStart == next, "attribute ranges follow each other");
        FuzzCheck(range.FaceCount <= faces - next, "attribute ranges stay within the faces");
        for (DWORD face = range.FaceStart; face < range.FaceStart + range.FaceCount; ++face)
            FuzzCheck(attributes[face] == range.AttribId, "a range's faces have its attribute");
        next += range.FaceCount;
    }
    mesh.UnlockAttributeBuffer();
    FuzzCheck(next == faces, "the attribute table covers every face");
}

void CheckAdjacency(const DWORD* adjacency, DWORD faces) {
    for (DWORD i = 0; i < 3 * faces; ++i)
        FuzzCheck(adjacency[i] == kNone || adjacency[i] < faces, "adjacency names real faces");
}

void LoadMesh(std::span<const std::uint8_t> bytes, IDirect3DDevice9* device) {
    ID3DXBuffer* adjacency = nullptr;
    ID3DXBuffer* materials = nullptr;
    ID3DXBuffer* effects = nullptr;
    DWORD materialCount = 0;
    ID3DXMesh* mesh = nullptr;
    if (FAILED(D3DXLoadMeshFromXInMemory(bytes.data(), static_cast<DWORD>(bytes.size()), D3DXMESH_MANAGED,
                                         device, &adjacency, &materials, &effects, &materialCount, &mesh)))
        return;
    CheckMesh(*mesh);
    FuzzCheck(adjacency->GetBufferSize() == 3 * sizeof(DWORD) * mesh->GetNumFaces(),
              "three neighbours a face");
    CheckAdjacency(static_cast<const DWORD*>(adjacency->GetBufferPointer()), mesh->GetNumFaces());
    FuzzCheck(materials == nullptr || materials->GetBufferSize() >= materialCount * sizeof(D3DXMATERIAL),
              "a material record for every material counted");
    for (IUnknown* held : std::initializer_list<IUnknown*>{adjacency, materials, effects, mesh})
        if (held != nullptr)
            held->Release();
}

void CheckContainer(const D3DZMESHCONTAINER& container) {
    ID3DXMesh* mesh = container.MeshData.pMesh;
    FuzzCheck(mesh != nullptr, "a container holds a mesh");
    CheckMesh(*mesh);
    CheckAdjacency(container.pAdjacency, mesh->GetNumFaces());
    const D3DXBONECOMBINATION* combinations = container.BoneCombinations();
    if (combinations == nullptr)
        return;
    const DWORD bones = container.pSkinInfo->GetNumBones();
    for (DWORD i = 0; i < container.m_dwNumBoneCombinations; ++i) {
        const D3DXBONECOMBINATION& combination = combinations[i];
        FuzzCheck(combination.FaceCount <= mesh->GetNumFaces() &&
                      combination.FaceStart <= mesh->GetNumFaces() - combination.FaceCount,
                  "a bone combination's faces are the mesh's");
        for (DWORD k = 0; k < container.m_dwMaxFaceInfl; ++k)
            FuzzCheck(combination.BoneId[k] == kNone || combination.BoneId[k] < bones,
                      "a bone combination names real bones");
    }
}

void CheckFrames(const D3DXFRAME* frame) {
    for (; frame != nullptr; frame = frame->pFrameSibling) {
        for (const D3DXMESHCONTAINER* c = frame->pMeshContainer; c != nullptr; c = c->pNextMeshContainer)
            CheckContainer(*static_cast<const D3DZMESHCONTAINER*>(c));
        CheckFrames(frame->pFrameFirstChild);
    }
}

void LoadHierarchy(std::span<const std::uint8_t> bytes, IDirect3DDevice9* device) {
    D3DZCAllocateHierarchy allocator;
    D3DXFRAME* root = nullptr;
    ID3DXAnimationController* controller = nullptr;
    if (FAILED(D3DXLoadMeshHierarchyFromXInMemory(bytes.data(), static_cast<DWORD>(bytes.size()),
                                                  D3DXMESH_MANAGED, device, &allocator, nullptr, &root,
                                                  &controller)))
        return;
    CheckFrames(root);
    if (controller != nullptr) {
        for (double step : {0.0, 0.25, 10.0, 1e9})
            controller->AdvanceTime(step, nullptr);
        controller->Release();
    }
    D3DXFrameDestroy(root, &allocator);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    XFileModel model;
    std::string error;
    const bool parsed = XFileModel::LoadFromMemory(bytes, model, error);
    FuzzCheck(parsed || !error.empty(), "a refused X file says why");
    if (Uncompressed(bytes))
        CheckCompressedReadsAlike(bytes, parsed, model);
    IDirect3DDevice9* device = Device();
    if (!parsed || device == nullptr || size > 0xFFFFFFFF)
        return 0;
    LoadMesh(bytes, device);
    LoadHierarchy(bytes, device);
    return 0;
}
