#include "ID3DXSkinInfo.h"

#include "FvfLayout.h"
#include "d3d9types.h"
#include "d3dx9mesh.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

namespace {

constexpr DWORD kNoBone = 0xFFFFFFFF;

struct Influence {
    DWORD bone;
    float weight;
};
using Influences = std::vector<Influence>;

bool Stronger(const Influence& a, const Influence& b) {
    return a.weight != b.weight ? a.weight > b.weight : a.bone < b.bone;
}

void Normalise(Influences& influences) {
    float sum = 0.0f;
    for (const Influence& influence : influences)
        sum += influence.weight;
    if (sum > 0.0f)
        for (Influence& influence : influences)
            influence.weight /= sum;
}

// The bones that move one face, strongest first, at most the device's blend limit.
std::vector<DWORD> FaceBones(const std::vector<Influences>& perVertex, const DWORD (&corners)[3]) {
    std::map<DWORD, float> summed;
    for (const DWORD vertex : corners)
        for (const Influence& influence : perVertex[vertex])
            summed[influence.bone] += influence.weight;
    Influences ranked;
    for (const auto& [bone, weight] : summed)
        ranked.push_back({bone, weight});
    std::sort(ranked.begin(), ranked.end(), Stronger);
    if (ranked.size() > ID3DXSkinInfo::kMaxBlendMatrices)
        ranked.resize(ID3DXSkinInfo::kMaxBlendMatrices);
    std::vector<DWORD> bones;
    for (const Influence& influence : ranked)
        bones.push_back(influence.bone);
    return bones;
}

std::size_t BonesOf(const std::vector<Influences>& perVertex, const DWORD (&corners)[3], DWORD bone) {
    std::size_t holders = 0;
    for (const DWORD vertex : corners)
        for (const Influence& influence : perVertex[vertex])
            holders += influence.bone == bone;
    return holders;
}

// A face moved by more bones than the device blends loses its vertices' weakest influences, preferring
// bones only one of its corners has, until it fits. The vertices lose them everywhere, so every face
// sharing a vertex still computes the same position for it and the skin shows no cracks.
void FitFace(std::vector<Influences>& perVertex, const DWORD (&corners)[3]) {
    std::vector<DWORD> touched;
    for (;;) {
        std::vector<DWORD> bones;
        for (const DWORD vertex : corners)
            for (const Influence& influence : perVertex[vertex])
                if (std::find(bones.begin(), bones.end(), influence.bone) == bones.end())
                    bones.push_back(influence.bone);
        if (bones.size() <= ID3DXSkinInfo::kMaxBlendMatrices)
            break;
        DWORD weakestVertex = 0;
        std::size_t weakestAt = 0;
        bool found = false, foundAlone = false;
        for (const DWORD vertex : corners) {
            if (perVertex[vertex].size() < 2)
                continue;
            for (std::size_t i = 0; i < perVertex[vertex].size(); ++i) {
                const Influence& influence = perVertex[vertex][i];
                const bool alone = BonesOf(perVertex, corners, influence.bone) == 1;
                if (!found || (alone && !foundAlone) ||
                    (alone == foundAlone && influence.weight < perVertex[weakestVertex][weakestAt].weight)) {
                    weakestVertex = vertex;
                    weakestAt = i;
                    found = true;
                    foundAlone = alone;
                }
            }
        }
        if (!found)
            break;
        perVertex[weakestVertex].erase(perVertex[weakestVertex].begin() +
                                       static_cast<std::ptrdiff_t>(weakestAt));
        touched.push_back(weakestVertex);
    }
    for (const DWORD vertex : touched)
        Normalise(perVertex[vertex]);
}

struct Combination {
    DWORD attribute;
    std::vector<DWORD> bones; // slot order
    std::vector<DWORD> faces; // old face indices
};

std::size_t Union(const std::vector<DWORD>& slots, const std::vector<DWORD>& more) {
    std::size_t count = slots.size();
    for (const DWORD bone : more)
        if (std::find(slots.begin(), slots.end(), bone) == slots.end())
            ++count;
    return count;
}

// The vertex's weights over the combination's slots: its own bones that the combination has, or, when
// it has none of them (its face lost them to the blend limit), the combination's first bone alone.
std::vector<float> SlotWeights(const Influences& influences, const std::vector<DWORD>& slots) {
    std::vector<float> weights(slots.size(), 0.0f);
    float sum = 0.0f;
    for (const Influence& influence : influences) {
        const auto at = std::find(slots.begin(), slots.end(), influence.bone);
        if (at != slots.end()) {
            weights[static_cast<std::size_t>(at - slots.begin())] += influence.weight;
            sum += influence.weight;
        }
    }
    if (sum > 0.0f) {
        for (float& weight : weights)
            weight /= sum;
    } else if (!weights.empty()) {
        weights[0] = 1.0f;
    }
    return weights;
}

DWORD BlendPosition(DWORD storedWeights) {
    return storedWeights == 0 ? D3DFVF_XYZ : D3DFVF_XYZRHW + 2 * storedWeights;
}

} // namespace

ID3DXSkinInfo::ID3DXSkinInfo(DWORD numVertices, DWORD fvf, DWORD numBones)
    : m_numVertices(numVertices), m_fvf(fvf), m_bones(numBones) {
    for (Bone& bone : m_bones)
        D3DXMatrixIdentity(&bone.offset);
}

HRESULT ID3DXSkinInfo::Create(DWORD numVertices, DWORD fvf, DWORD numBones, ID3DXSkinInfo** skinInfo) {
    if (skinInfo == nullptr)
        return D3DERR_INVALIDCALL;
    *skinInfo = nullptr;
    // A bone count from a corrupt file must not become a huge allocation.
    if (numBones > 0xFFFF)
        return D3DERR_INVALIDCALL;
    *skinInfo = new ID3DXSkinInfo(numVertices, fvf, numBones);
    return S_OK;
}

HRESULT D3DXCreateSkinInfoFVF(DWORD numVertices, DWORD fvf, DWORD numBones, ID3DXSkinInfo** skinInfo) {
    return ID3DXSkinInfo::Create(numVertices, fvf, numBones, skinInfo);
}

const char* ID3DXSkinInfo::GetBoneName(DWORD bone) const {
    return bone < m_bones.size() && m_bones[bone].named ? m_bones[bone].name.c_str() : nullptr;
}

HRESULT ID3DXSkinInfo::SetBoneName(DWORD bone, const char* name) {
    if (bone >= m_bones.size() || name == nullptr)
        return D3DERR_INVALIDCALL;
    m_bones[bone].name = name;
    m_bones[bone].named = true;
    return S_OK;
}

D3DXMATRIX* ID3DXSkinInfo::GetBoneOffsetMatrix(DWORD bone) {
    return bone < m_bones.size() ? &m_bones[bone].offset : nullptr;
}

HRESULT ID3DXSkinInfo::SetBoneOffsetMatrix(DWORD bone, const D3DXMATRIX* offset) {
    if (bone >= m_bones.size() || offset == nullptr)
        return D3DERR_INVALIDCALL;
    m_bones[bone].offset = *offset;
    return S_OK;
}

DWORD ID3DXSkinInfo::GetNumBoneInfluences(DWORD bone) const {
    return bone < m_bones.size() ? static_cast<DWORD>(m_bones[bone].vertices.size()) : 0;
}

HRESULT ID3DXSkinInfo::GetBoneInfluence(DWORD bone, DWORD* vertices, float* weights) const {
    if (bone >= m_bones.size() || vertices == nullptr || weights == nullptr)
        return D3DERR_INVALIDCALL;
    std::copy(m_bones[bone].vertices.begin(), m_bones[bone].vertices.end(), vertices);
    std::copy(m_bones[bone].weights.begin(), m_bones[bone].weights.end(), weights);
    return S_OK;
}

HRESULT ID3DXSkinInfo::SetBoneInfluence(DWORD bone, DWORD numInfluences, const DWORD* vertices,
                                        const float* weights) {
    if (bone >= m_bones.size() || (numInfluences > 0 && (vertices == nullptr || weights == nullptr)))
        return D3DERR_INVALIDCALL;
    for (DWORD i = 0; i < numInfluences; ++i)
        if (vertices[i] >= m_numVertices)
            return D3DERR_INVALIDCALL;
    m_bones[bone].vertices.assign(vertices, vertices + numInfluences);
    m_bones[bone].weights.assign(weights, weights + numInfluences);
    return S_OK;
}

HRESULT ID3DXSkinInfo::GetMaxVertexInfluences(DWORD* maxInfluences) const {
    if (maxInfluences == nullptr)
        return D3DERR_INVALIDCALL;
    std::vector<DWORD> counts(m_numVertices, 0);
    for (const Bone& bone : m_bones)
        for (std::size_t i = 0; i < bone.vertices.size(); ++i)
            if (bone.weights[i] > 0.0f)
                ++counts[bone.vertices[i]];
    *maxInfluences = counts.empty() ? 0 : *std::max_element(counts.begin(), counts.end());
    return S_OK;
}

HRESULT ID3DXSkinInfo::ConvertToBlendedMesh(ID3DXMesh* mesh, DWORD, const DWORD* adjacencyIn,
                                            DWORD* adjacencyOut, DWORD* faceRemap, ID3DXBuffer** vertexRemap,
                                            DWORD* maxFaceInfl, DWORD* numBoneCombinations,
                                            ID3DXBuffer** boneCombinationTable, ID3DXMesh** blendedMesh) {
    if (vertexRemap != nullptr)
        *vertexRemap = nullptr;
    if (boneCombinationTable != nullptr)
        *boneCombinationTable = nullptr;
    if (blendedMesh != nullptr)
        *blendedMesh = nullptr;
    if (mesh == nullptr || maxFaceInfl == nullptr || numBoneCombinations == nullptr ||
        boneCombinationTable == nullptr || blendedMesh == nullptr || mesh->GetNumVertices() != m_numVertices)
        return D3DERR_INVALIDCALL;
    FvfLayout from;
    FvfLayout::Parse(mesh->GetFVF(), from);
    if (from.HasW())
        return D3DERR_INVALIDCALL;

    // Each vertex's bones, strongest first, no more than the device blends, weights summing to 1.
    std::vector<Influences> perVertex(m_numVertices);
    for (DWORD bone = 0; bone < m_bones.size(); ++bone)
        for (std::size_t i = 0; i < m_bones[bone].vertices.size(); ++i)
            if (m_bones[bone].weights[i] > 0.0f)
                perVertex[m_bones[bone].vertices[i]].push_back({bone, m_bones[bone].weights[i]});
    for (Influences& influences : perVertex) {
        std::sort(influences.begin(), influences.end(), Stronger);
        if (influences.size() > kMaxBlendMatrices)
            influences.resize(kMaxBlendMatrices);
        Normalise(influences);
    }

    const DWORD numFaces = mesh->GetNumFaces();
    for (DWORD face = 0; face < numFaces; ++face)
        for (DWORD k = 0; k < 3; ++k)
            if (mesh->Index(face, k) >= m_numVertices)
                return D3DERR_INVALIDCALL;
    DWORD* attributes = nullptr;
    mesh->LockAttributeBuffer(0, &attributes);
    std::vector<std::vector<DWORD>> faceBones(numFaces);
    std::size_t influence = 1;
    for (DWORD face = 0; face < numFaces; ++face) {
        const DWORD corners[3] = {mesh->Index(face, 0), mesh->Index(face, 1), mesh->Index(face, 2)};
        FitFace(perVertex, corners);
        faceBones[face] = FaceBones(perVertex, corners);
        influence = std::max(influence, faceBones[face].size());
    }

    // Faces in material order, each material's faces packed greedily into runs of few enough bones.
    std::vector<DWORD> order(numFaces);
    for (DWORD face = 0; face < numFaces; ++face)
        order[face] = face;
    std::stable_sort(order.begin(), order.end(),
                     [&](DWORD a, DWORD b) { return attributes[a] < attributes[b]; });
    std::vector<Combination> combinations;
    std::size_t firstOfAttribute = 0;
    for (const DWORD face : order) {
        if (combinations.empty() || combinations.back().attribute != attributes[face])
            firstOfAttribute = combinations.size();
        Combination* home = nullptr;
        for (std::size_t c = firstOfAttribute; c < combinations.size() && home == nullptr; ++c)
            if (combinations[c].attribute == attributes[face] &&
                Union(combinations[c].bones, faceBones[face]) <= influence)
                home = &combinations[c];
        if (home == nullptr) {
            combinations.push_back({attributes[face], {}, {}});
            home = &combinations.back();
        }
        for (const DWORD bone : faceBones[face])
            if (std::find(home->bones.begin(), home->bones.end(), bone) == home->bones.end())
                home->bones.push_back(bone);
        home->faces.push_back(face);
    }

    // Vertices copied per combination, in order of first use.
    std::vector<DWORD> oldOfNew;
    std::vector<std::vector<float>> weightsOfNew;
    std::vector<std::array<DWORD, 3>> newFaces;
    std::vector<DWORD> newOfOldFace(numFaces);
    std::vector<D3DXATTRIBUTERANGE> ranges;
    for (std::size_t c = 0; c < combinations.size(); ++c) {
        const Combination& combination = combinations[c];
        std::map<DWORD, DWORD> copies;
        D3DXATTRIBUTERANGE range{static_cast<DWORD>(c), static_cast<DWORD>(newFaces.size()),
                                 static_cast<DWORD>(combination.faces.size()),
                                 static_cast<DWORD>(oldOfNew.size()), 0};
        for (const DWORD face : combination.faces) {
            std::array<DWORD, 3> corners{};
            for (DWORD k = 0; k < 3; ++k) {
                const DWORD old = mesh->Index(face, k);
                auto [at, fresh] = copies.try_emplace(old, static_cast<DWORD>(oldOfNew.size()));
                if (fresh) {
                    oldOfNew.push_back(old);
                    weightsOfNew.push_back(SlotWeights(perVertex[old], combination.bones));
                }
                corners[k] = at->second;
            }
            newOfOldFace[face] = static_cast<DWORD>(newFaces.size());
            newFaces.push_back(corners);
        }
        range.VertexCount = static_cast<DWORD>(oldOfNew.size()) - range.VertexStart;
        ranges.push_back(range);
    }

    const auto storedWeights = static_cast<DWORD>(influence - 1);
    const DWORD fvf =
        (mesh->GetFVF() & ~D3DFVF_POSITION_MASK & ~(D3DFVF_LASTBETA_UBYTE4 | D3DFVF_LASTBETA_D3DCOLOR)) |
        BlendPosition(storedWeights);
    IDirect3DDevice9* device = nullptr;
    mesh->GetDevice(&device);
    ID3DXMesh* blended = nullptr;
    const HRESULT created =
        ID3DXMesh::Create(numFaces, static_cast<DWORD>(std::max<std::size_t>(oldOfNew.size(), 1)),
                          mesh->GetOptions(), fvf, device, &blended);
    device->Release();
    if (FAILED(created))
        return created;

    void* oldData = nullptr;
    void* newData = nullptr;
    mesh->LockVertexBuffer(0, &oldData);
    blended->LockVertexBuffer(0, &newData);
    const UINT oldRest = 12 + 4 * from.BlendSlots();
    const UINT tail = from.Size() - oldRest;
    const UINT newSize = blended->GetNumBytesPerVertex();
    for (std::size_t v = 0; v < oldOfNew.size(); ++v) {
        const auto* source =
            static_cast<const unsigned char*>(oldData) + std::size_t{oldOfNew[v]} * from.Size();
        auto* target = static_cast<unsigned char*>(newData) + v * newSize;
        std::memcpy(target, source, 12);
        std::memcpy(target + 12, weightsOfNew[v].data(),
                    4 * std::min<std::size_t>(storedWeights, weightsOfNew[v].size()));
        std::memcpy(target + 12 + 4 * storedWeights, source + oldRest, tail);
    }
    blended->UnlockVertexBuffer();
    mesh->UnlockVertexBuffer();

    void* indices = nullptr;
    blended->LockIndexBuffer(0, &indices);
    const bool wide = (blended->GetOptions() & D3DXMESH_32BIT) != 0;
    DWORD* newAttributes = nullptr;
    blended->LockAttributeBuffer(0, &newAttributes);
    for (std::size_t f = 0; f < newFaces.size(); ++f)
        for (std::size_t k = 0; k < 3; ++k) {
            if (wide)
                static_cast<std::uint32_t*>(indices)[f * 3 + k] = newFaces[f][k];
            else
                static_cast<std::uint16_t*>(indices)[f * 3 + k] = static_cast<std::uint16_t>(newFaces[f][k]);
        }
    for (const D3DXATTRIBUTERANGE& range : ranges)
        std::fill_n(newAttributes + range.FaceStart, range.FaceCount, range.AttribId);
    blended->SetAttributeTable(ranges.data(), static_cast<DWORD>(ranges.size()));

    if (adjacencyOut != nullptr) {
        for (DWORD face = 0; face < numFaces; ++face)
            for (DWORD k = 0; k < 3; ++k) {
                const DWORD neighbour =
                    adjacencyIn != nullptr ? adjacencyIn[face * 3 + k] : D3DX_ADJACENCY_NONE;
                adjacencyOut[newOfOldFace[face] * 3 + k] =
                    neighbour < numFaces ? newOfOldFace[neighbour] : D3DX_ADJACENCY_NONE;
            }
    }
    if (faceRemap != nullptr)
        for (DWORD face = 0; face < numFaces; ++face)
            faceRemap[newOfOldFace[face]] = face;
    if (vertexRemap != nullptr) {
        *vertexRemap = new ID3DXBuffer(oldOfNew.size() * sizeof(DWORD));
        std::memcpy((*vertexRemap)->GetBufferPointer(), oldOfNew.data(), oldOfNew.size() * sizeof(DWORD));
    }

    // The records, then every combination's slots, in one buffer.
    const std::size_t recordBytes = combinations.size() * sizeof(D3DXBONECOMBINATION);
    auto* table = new ID3DXBuffer(
        std::max<std::size_t>(recordBytes + combinations.size() * influence * sizeof(DWORD), 1));
    auto* records = static_cast<D3DXBONECOMBINATION*>(table->GetBufferPointer());
    auto* slots =
        reinterpret_cast<DWORD*>(static_cast<unsigned char*>(table->GetBufferPointer()) + recordBytes);
    for (std::size_t c = 0; c < combinations.size(); ++c) {
        DWORD* ids = slots + c * influence;
        for (std::size_t k = 0; k < influence; ++k)
            ids[k] = k < combinations[c].bones.size() ? combinations[c].bones[k] : kNoBone;
        records[c] = {combinations[c].attribute, ranges[c].FaceStart,   ranges[c].FaceCount,
                      ranges[c].VertexStart,     ranges[c].VertexCount, ids};
    }
    *maxFaceInfl = static_cast<DWORD>(influence);
    *numBoneCombinations = static_cast<DWORD>(combinations.size());
    *boneCombinationTable = table;
    *blendedMesh = blended;
    return S_OK;
}
