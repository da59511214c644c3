#include "ID3DXAnimationController.h"

#include "d3d9types.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Limits come from callers and files; a wild one must not become a huge allocation.
constexpr UINT kLimit = 1u << 20;

struct Pose {
    D3DXVECTOR3 scale;
    D3DXQUATERNION rotation;
    D3DXVECTOR3 translation;
};

// Running weighted blend: each new pose moves the blend towards it by its share of the weight so far.
struct Blend {
    float weight = 0.0f;
    Pose pose{};

    void Add(const Pose& next, float share) {
        weight += share;
        const float t = share / weight;
        if (t >= 1.0f) {
            pose = next;
            return;
        }
        D3DXVec3Lerp(&pose.scale, &pose.scale, &next.scale, t);
        D3DXVec3Lerp(&pose.translation, &pose.translation, &next.translation, t);
        D3DXQuaternionSlerp(&pose.rotation, &pose.rotation, &next.rotation, t);
    }
};

} // namespace

ID3DXAnimationController::ID3DXAnimationController(UINT maxOutputs, UINT maxSets, UINT maxTracks,
                                                   UINT maxEvents)
    : m_maxOutputs(maxOutputs), m_maxSets(maxSets), m_maxEvents(maxEvents), m_tracks(maxTracks) {}

ID3DXAnimationController::~ID3DXAnimationController() {
    for (Track& track : m_tracks)
        if (track.set != nullptr)
            track.set->Release();
    for (ID3DXAnimationSet* set : m_sets)
        set->Release();
}

HRESULT ID3DXAnimationController::Create(UINT maxOutputs, UINT maxSets, UINT maxTracks, UINT maxEvents,
                                         ID3DXAnimationController** controller) {
    if (controller == nullptr)
        return D3DERR_INVALIDCALL;
    *controller = nullptr;
    if (maxOutputs == 0 || maxSets == 0 || maxTracks == 0 || maxOutputs > kLimit || maxSets > kLimit ||
        maxTracks > kLimit || maxEvents > kLimit)
        return D3DERR_INVALIDCALL;
    *controller = new ID3DXAnimationController(maxOutputs, maxSets, maxTracks, maxEvents);
    return S_OK;
}

HRESULT D3DXCreateAnimationController(UINT maxOutputs, UINT maxSets, UINT maxTracks, UINT maxEvents,
                                      ID3DXAnimationController** controller) {
    return ID3DXAnimationController::Create(maxOutputs, maxSets, maxTracks, maxEvents, controller);
}

HRESULT ID3DXAnimationController::RegisterAnimationOutput(const char* name, D3DXMATRIX* matrix,
                                                          D3DXVECTOR3* scale, D3DXQUATERNION* rotation,
                                                          D3DXVECTOR3* translation) {
    if (name == nullptr ||
        (matrix == nullptr && scale == nullptr && rotation == nullptr && translation == nullptr) ||
        m_outputs.size() >= m_maxOutputs)
        return D3DERR_INVALIDCALL;
    for (const Output& output : m_outputs)
        if (output.name == name)
            return D3DERR_INVALIDCALL;
    Output output{name, matrix, scale, rotation, translation, {1, 1, 1}, {0, 0, 0, 1}, {0, 0, 0}};
    if (matrix != nullptr)
        D3DXDecomposeAffine(*matrix, output.restScale, output.restRotation, output.restTranslation);
    if (scale != nullptr)
        output.restScale = *scale;
    if (rotation != nullptr)
        output.restRotation = *rotation;
    if (translation != nullptr)
        output.restTranslation = *translation;
    m_outputs.push_back(std::move(output));
    return S_OK;
}

HRESULT ID3DXAnimationController::RegisterAnimationSet(ID3DXAnimationSet* set) {
    if (set == nullptr || m_sets.size() >= m_maxSets ||
        std::find(m_sets.begin(), m_sets.end(), set) != m_sets.end())
        return D3DERR_INVALIDCALL;
    set->AddRef();
    m_sets.push_back(set);
    return S_OK;
}

HRESULT ID3DXAnimationController::UnregisterAnimationSet(ID3DXAnimationSet* set) {
    const auto found = std::find(m_sets.begin(), m_sets.end(), set);
    if (set == nullptr || found == m_sets.end())
        return D3DERR_INVALIDCALL;
    for (Track& track : m_tracks)
        if (track.set == set) {
            set->Release();
            track.set = nullptr;
        }
    m_sets.erase(found);
    set->Release();
    return S_OK;
}

HRESULT ID3DXAnimationController::GetAnimationSet(UINT index, ID3DXAnimationSet** set) {
    if (set == nullptr)
        return D3DERR_INVALIDCALL;
    *set = nullptr;
    if (index >= m_sets.size())
        return D3DERR_INVALIDCALL;
    m_sets[index]->AddRef();
    *set = m_sets[index];
    return S_OK;
}

HRESULT ID3DXAnimationController::GetAnimationSetByName(const char* name, ID3DXAnimationSet** set) {
    if (set == nullptr)
        return D3DERR_INVALIDCALL;
    *set = nullptr;
    if (name == nullptr)
        return D3DERR_INVALIDCALL;
    for (ID3DXAnimationSet* candidate : m_sets)
        if (std::strcmp(candidate->GetName(), name) == 0) {
            candidate->AddRef();
            *set = candidate;
            return S_OK;
        }
    return D3DERR_INVALIDCALL;
}

HRESULT ID3DXAnimationController::SetTrackAnimationSet(UINT track, ID3DXAnimationSet* set) {
    if (track >= m_tracks.size())
        return D3DERR_INVALIDCALL;
    if (set != nullptr)
        set->AddRef();
    if (m_tracks[track].set != nullptr)
        m_tracks[track].set->Release();
    m_tracks[track].set = set;
    return S_OK;
}

HRESULT ID3DXAnimationController::GetTrackAnimationSet(UINT track, ID3DXAnimationSet** set) {
    if (set == nullptr)
        return D3DERR_INVALIDCALL;
    *set = nullptr;
    if (track >= m_tracks.size())
        return D3DERR_INVALIDCALL;
    *set = m_tracks[track].set;
    if (*set != nullptr)
        (*set)->AddRef();
    return S_OK;
}

HRESULT ID3DXAnimationController::SetTrackPriority(UINT track, D3DXPRIORITY_TYPE priority) {
    if (track >= m_tracks.size() || priority > D3DXPRIORITY_HIGH)
        return D3DERR_INVALIDCALL;
    m_tracks[track].desc.Priority = priority;
    return S_OK;
}

HRESULT ID3DXAnimationController::SetTrackSpeed(UINT track, float speed) {
    if (track >= m_tracks.size() || !std::isfinite(speed))
        return D3DERR_INVALIDCALL;
    m_tracks[track].desc.Speed = speed;
    return S_OK;
}

HRESULT ID3DXAnimationController::SetTrackWeight(UINT track, float weight) {
    if (track >= m_tracks.size() || !std::isfinite(weight))
        return D3DERR_INVALIDCALL;
    m_tracks[track].desc.Weight = weight;
    return S_OK;
}

HRESULT ID3DXAnimationController::SetTrackPosition(UINT track, double position) {
    if (track >= m_tracks.size() || !std::isfinite(position))
        return D3DERR_INVALIDCALL;
    m_tracks[track].desc.Position = position;
    return S_OK;
}

HRESULT ID3DXAnimationController::SetTrackEnable(UINT track, BOOL enable) {
    if (track >= m_tracks.size())
        return D3DERR_INVALIDCALL;
    m_tracks[track].desc.Enable = enable ? TRUE : FALSE;
    return S_OK;
}

HRESULT ID3DXAnimationController::SetTrackDesc(UINT track, const D3DXTRACK_DESC* desc) {
    if (track >= m_tracks.size() || desc == nullptr || desc->Priority > D3DXPRIORITY_HIGH ||
        !std::isfinite(desc->Weight) || !std::isfinite(desc->Speed) || !std::isfinite(desc->Position))
        return D3DERR_INVALIDCALL;
    m_tracks[track].desc = *desc;
    m_tracks[track].desc.Enable = desc->Enable ? TRUE : FALSE;
    return S_OK;
}

HRESULT ID3DXAnimationController::GetTrackDesc(UINT track, D3DXTRACK_DESC* desc) const {
    if (track >= m_tracks.size() || desc == nullptr)
        return D3DERR_INVALIDCALL;
    *desc = m_tracks[track].desc;
    return S_OK;
}

HRESULT ID3DXAnimationController::SetPriorityBlend(float blendWeight) {
    if (!(blendWeight >= 0.0f && blendWeight <= 1.0f))
        return D3DERR_INVALIDCALL;
    m_priorityBlend = blendWeight;
    return S_OK;
}

HRESULT ID3DXAnimationController::AdvanceTime(double timeDelta, LPD3DXANIMATIONCALLBACKHANDLER) {
    if (!std::isfinite(timeDelta))
        return D3DERR_INVALIDCALL;
    m_time += timeDelta;
    for (Track& track : m_tracks)
        if (track.desc.Enable && track.set != nullptr)
            track.desc.Position += timeDelta * track.desc.Speed;
    for (Output& output : m_outputs)
        WriteOutput(output);
    return S_OK;
}

void ID3DXAnimationController::WriteOutput(Output& output) {
    Blend blends[2];
    const ID3DXAnimationSet* onlySet = nullptr;
    UINT onlyAnimation = 0;
    double onlyPosition = 0.0;
    int contributions = 0;
    for (const Track& track : m_tracks) {
        UINT animation = 0;
        if (!track.desc.Enable || track.set == nullptr || !(track.desc.Weight > 0.0f) ||
            FAILED(track.set->GetAnimationIndexByName(output.name.c_str(), &animation)))
            continue;
        const double position = track.set->GetPeriodicPosition(track.desc.Position);
        Pose pose{};
        track.set->GetSRT(position, animation, &pose.scale, &pose.rotation, &pose.translation);
        const DWORD keyed = track.set->GetKeyedParts(animation);
        if (!(keyed & (ID3DXAnimationSet::kMatrix | ID3DXAnimationSet::kScale)))
            pose.scale = output.restScale;
        if (!(keyed & (ID3DXAnimationSet::kMatrix | ID3DXAnimationSet::kRotation)))
            pose.rotation = output.restRotation;
        if (!(keyed & (ID3DXAnimationSet::kMatrix | ID3DXAnimationSet::kTranslation)))
            pose.translation = output.restTranslation;
        blends[track.desc.Priority == D3DXPRIORITY_HIGH ? 1 : 0].Add(pose, track.desc.Weight);
        if (++contributions == 1 && (keyed & ID3DXAnimationSet::kMatrix)) {
            onlySet = track.set;
            onlyAnimation = animation;
            onlyPosition = position;
        }
    }
    if (contributions == 0)
        return;
    Pose pose = blends[0].weight > 0.0f ? blends[0].pose : blends[1].pose;
    if (blends[0].weight > 0.0f && blends[1].weight > 0.0f) {
        Blend both;
        both.Add(blends[1].pose, 1.0f - m_priorityBlend);
        if (m_priorityBlend > 0.0f)
            both.Add(blends[0].pose, m_priorityBlend);
        pose = both.pose;
    }
    if (output.matrix != nullptr) {
        // A lone matrix-keyed animation is written exactly as its key holds it.
        if (contributions == 1 && onlySet != nullptr)
            onlySet->GetMatrix(onlyPosition, onlyAnimation, output.matrix);
        else
            *output.matrix = D3DXComposeAffine(pose.scale, pose.rotation, pose.translation);
    }
    if (output.scale != nullptr)
        *output.scale = pose.scale;
    if (output.rotation != nullptr)
        *output.rotation = pose.rotation;
    if (output.translation != nullptr)
        *output.translation = pose.translation;
}

HRESULT ID3DXAnimationController::ResetTime() {
    m_time = 0.0;
    return S_OK;
}

HRESULT ID3DXAnimationController::CloneAnimationController(UINT maxOutputs, UINT maxSets, UINT maxTracks,
                                                           UINT maxEvents, ID3DXAnimationController** clone) {
    if (clone == nullptr)
        return D3DERR_INVALIDCALL;
    *clone = nullptr;
    if (maxOutputs < m_outputs.size() || maxSets < m_sets.size())
        return D3DERR_INVALIDCALL;
    ID3DXAnimationController* copy = nullptr;
    const HRESULT created = Create(maxOutputs, maxSets, maxTracks, maxEvents, &copy);
    if (FAILED(created))
        return created;
    copy->m_outputs = m_outputs;
    for (ID3DXAnimationSet* set : m_sets)
        copy->RegisterAnimationSet(set);
    for (UINT track = 0; track < std::min<std::size_t>(maxTracks, m_tracks.size()); ++track) {
        copy->m_tracks[track].desc = m_tracks[track].desc;
        copy->SetTrackAnimationSet(track, m_tracks[track].set);
    }
    copy->m_priorityBlend = m_priorityBlend;
    copy->m_time = m_time;
    *clone = copy;
    return S_OK;
}
