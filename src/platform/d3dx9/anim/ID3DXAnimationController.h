// D3DX's animation controller: outputs (matrices of a frame hierarchy, found by name), registered
// animation sets, and tracks that each play one set at their own speed, weight and position. Advancing
// time moves every enabled track and writes each output the enabled tracks animate: tracks of one
// priority are blended in proportion to their weights (translation and scale linearly, rotation
// spherically), then the low- and high-priority results by the priority blend. Outputs no enabled
// track animates keep what they hold. A track's position runs through its set's period by the set's
// playback type (looping for sets read from X files).
#pragma once

#include "ID3DXAnimationSet.h"

#include <string>
#include <vector>

enum D3DXPRIORITY_TYPE : DWORD { D3DXPRIORITY_LOW = 0, D3DXPRIORITY_HIGH = 1 };

struct D3DXTRACK_DESC {
    D3DXPRIORITY_TYPE Priority = D3DXPRIORITY_LOW;
    float Weight = 1.0f;
    float Speed = 1.0f;
    double Position = 0.0; // seconds in the local time of the track's set
    BOOL Enable = FALSE;
};
using LPD3DXTRACK_DESC = D3DXTRACK_DESC*;

// Callbacks are not keyed in this system; the handler of AdvanceTime is accepted and never called.
class ID3DXAnimationCallbackHandler;
using LPD3DXANIMATIONCALLBACKHANDLER = ID3DXAnimationCallbackHandler*;

class ID3DXAnimationController : public IUnknown {
public:
    // Each limit must be at least 1 (events may be 0).
    static HRESULT Create(UINT maxOutputs, UINT maxSets, UINT maxTracks, UINT maxEvents,
                          ID3DXAnimationController** controller);

    UINT GetMaxNumAnimationOutputs() const { return m_maxOutputs; }
    UINT GetMaxNumAnimationSets() const { return m_maxSets; }
    UINT GetMaxNumTracks() const { return static_cast<UINT>(m_tracks.size()); }
    UINT GetMaxNumEvents() const { return m_maxEvents; }

    // The matrix (and, when given, the scale, rotation and translation) to write for the animations of
    // that name. Refused when full, when the name is taken, or with nothing to write.
    HRESULT RegisterAnimationOutput(const char* name, D3DXMATRIX* matrix, D3DXVECTOR3* scale,
                                    D3DXQUATERNION* rotation, D3DXVECTOR3* translation);
    // The controller holds a reference to each registered set. Refused when full or already registered.
    HRESULT RegisterAnimationSet(ID3DXAnimationSet* set);
    // Tracks playing the set lose it.
    HRESULT UnregisterAnimationSet(ID3DXAnimationSet* set);
    UINT GetNumAnimationSets() const { return static_cast<UINT>(m_sets.size()); }
    // The caller receives a reference.
    HRESULT GetAnimationSet(UINT index, ID3DXAnimationSet** set);
    HRESULT GetAnimationSetByName(const char* name, ID3DXAnimationSet** set);

    // Every track operation refuses a track index at or beyond the track limit. A set put on a track
    // need not be registered; null empties the track.
    HRESULT SetTrackAnimationSet(UINT track, ID3DXAnimationSet* set);
    // The caller receives a reference; null for an empty track.
    HRESULT GetTrackAnimationSet(UINT track, ID3DXAnimationSet** set);
    HRESULT SetTrackPriority(UINT track, D3DXPRIORITY_TYPE priority);
    HRESULT SetTrackSpeed(UINT track, float speed);
    HRESULT SetTrackWeight(UINT track, float weight);
    HRESULT SetTrackPosition(UINT track, double position);
    HRESULT SetTrackEnable(UINT track, BOOL enable);
    HRESULT SetTrackDesc(UINT track, const D3DXTRACK_DESC* desc);
    HRESULT GetTrackDesc(UINT track, D3DXTRACK_DESC* desc) const;
    // The share of the low-priority result where both priorities animate an output (0: high alone).
    HRESULT SetPriorityBlend(float blendWeight);
    float GetPriorityBlend() const { return m_priorityBlend; }

    // Moves global time and every enabled track (by the step times its speed), then writes the outputs.
    // A step of 0 writes the outputs for the present positions.
    HRESULT AdvanceTime(double timeDelta, LPD3DXANIMATIONCALLBACKHANDLER handler);
    HRESULT ResetTime();
    double GetTime() const { return m_time; }

    // A copy with other limits: the same outputs (writing to the same places), sets, priority blend and
    // time, and as many tracks as the new limit holds. Refused when the outputs or sets do not fit.
    HRESULT CloneAnimationController(UINT maxOutputs, UINT maxSets, UINT maxTracks, UINT maxEvents,
                                     ID3DXAnimationController** clone);

private:
    struct Output {
        std::string name;
        D3DXMATRIX* matrix;
        D3DXVECTOR3* scale;
        D3DXQUATERNION* rotation;
        D3DXVECTOR3* translation;
        // The pose before any animation, for the parts an animation's keys leave out.
        D3DXVECTOR3 restScale;
        D3DXQUATERNION restRotation;
        D3DXVECTOR3 restTranslation;
    };
    struct Track {
        D3DXTRACK_DESC desc;
        ID3DXAnimationSet* set = nullptr;
    };

    ID3DXAnimationController(UINT maxOutputs, UINT maxSets, UINT maxTracks, UINT maxEvents);
    ~ID3DXAnimationController() override;
    void WriteOutput(Output& output);

    UINT m_maxOutputs;
    UINT m_maxSets;
    UINT m_maxEvents;
    std::vector<Output> m_outputs;
    std::vector<ID3DXAnimationSet*> m_sets;
    std::vector<Track> m_tracks;
    float m_priorityBlend = 0.0f;
    double m_time = 0.0;
};
using LPD3DXANIMATIONCONTROLLER = ID3DXAnimationController*;

HRESULT D3DXCreateAnimationController(UINT maxOutputs, UINT maxSets, UINT maxTracks, UINT maxEvents,
                                      ID3DXAnimationController** controller);
