// Plays a model's animation sets on a controller of its own: a newly chosen animation fades in on
// track 0 over its fade time while the previous one goes on playing on track 1 and fades out, and
// each animation can be given the loop length it should play in.
#pragma once

#include "ID3DXAnimationController.h"

#include <memory>

// One animation set and how it is played.
struct D3DZXSKINMESH_DESC {
    DWORD dwAnimIndex = 0;
    ID3DXAnimationSet* pSet = nullptr; // not owned: the controllers hold the sets
    float fLoopLength = 0.0f;          // seconds one loop should take
    float fSpeed = 0.0f;               // track speed that gives that loop length
    float fFadeTime = 0.0f;            // seconds of cross-fade when chosen
    float fElapsed = 0.0f;             // seconds since it was chosen
};

class IHighLevelAnimController {
public:
    IHighLevelAnimController() = default;
    ~IHighLevelAnimController();
    IHighLevelAnimController(const IHighLevelAnimController&) = delete;
    IHighLevelAnimController& operator=(const IHighLevelAnimController&) = delete;

    // Plays a clone of the source (same limits, outputs and sets) with one table entry per set, the
    // first animation current. False, with nothing changed, when there is no source or it cannot be
    // cloned.
    bool GetAnimationController(ID3DXAnimationController* source);
    // The same: takes a clone of the given controller in place of the one played.
    bool SetAnimController(ID3DXAnimationController* source);

    // False for an index out of range or a loop length that is not a positive number; otherwise the
    // track speed becomes the set's period divided by the loop length.
    bool SetLoopAnime(UINT animID, float loopTime);
    // False for an index out of range or a fade time that is negative or not a number.
    bool SetShiftTime(UINT animID, float interval);

    // The old animation goes on from where it was on track 1; the new one starts on track 0 at its
    // speed, both enabled. False for an index out of range or the current one.
    bool ChangeAnimation(UINT animID);
    // Fades by the current animation's elapsed share of its fade time (track 0 gets that share, track 1
    // the rest), disabling track 1 once the fade is over, then advances the controller.
    bool AdvanceTime(float seconds);

    DWORD GetNumAnimations() const { return m_dwNumAnim; }
    DWORD GetCurrentAnimation() const { return m_dwCurAnim; }
    DWORD GetPreviousAnimation() const { return m_dwPrevAnim; }
    const D3DZXSKINMESH_DESC* GetAnimationDesc(UINT animID) const;
    D3DZXSKINMESH_DESC* GetAnimTable() { return m_pAnimTable.get(); }
    void SetCurrentAnimation(DWORD animID) { m_dwCurAnim = animID; }
    ID3DXAnimationController* GetController() const { return m_pController; }

private:
    void Release();

    DWORD m_dwNumAnim = 0;
    DWORD m_dwCurAnim = 0;
    DWORD m_dwPrevAnim = 0;
    std::unique_ptr<D3DZXSKINMESH_DESC[]> m_pAnimTable;
    ID3DXAnimationController* m_pController = nullptr;
};
