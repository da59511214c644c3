#include "IHighLevelAnimController.h"

#include <cmath>

IHighLevelAnimController::~IHighLevelAnimController() {
    Release();
}

void IHighLevelAnimController::Release() {
    if (m_pController != nullptr) {
        m_pController->Release();
        m_pController = nullptr;
    }
    m_pAnimTable.reset();
    m_dwNumAnim = m_dwCurAnim = m_dwPrevAnim = 0;
}

bool IHighLevelAnimController::GetAnimationController(ID3DXAnimationController* source) {
    if (source == nullptr)
        return false;
    ID3DXAnimationController* clone = nullptr;
    if (FAILED(source->CloneAnimationController(source->GetMaxNumAnimationOutputs(),
                                                source->GetMaxNumAnimationSets(), source->GetMaxNumTracks(),
                                                source->GetMaxNumEvents(), &clone)))
        return false;
    Release();
    m_pController = clone;
    m_dwNumAnim = clone->GetNumAnimationSets();
    m_dwCurAnim = 0;
    m_pAnimTable = std::make_unique<D3DZXSKINMESH_DESC[]>(m_dwNumAnim);
    for (DWORD i = 0; i < m_dwNumAnim; ++i) {
        m_pAnimTable[i].dwAnimIndex = i;
        clone->GetAnimationSet(i, &m_pAnimTable[i].pSet);
        // The controller keeps the set alive; the table only points at it.
        if (m_pAnimTable[i].pSet != nullptr)
            m_pAnimTable[i].pSet->Release();
    }
    return true;
}

bool IHighLevelAnimController::SetAnimController(ID3DXAnimationController* source) {
    return GetAnimationController(source);
}

const D3DZXSKINMESH_DESC* IHighLevelAnimController::GetAnimationDesc(UINT animID) const {
    return animID < m_dwNumAnim ? &m_pAnimTable[animID] : nullptr;
}

bool IHighLevelAnimController::SetLoopAnime(UINT animID, float loopTime) {
    if (animID >= m_dwNumAnim || !(loopTime > 0.0f) || !std::isfinite(loopTime))
        return false;
    D3DZXSKINMESH_DESC& entry = m_pAnimTable[animID];
    entry.fLoopLength = loopTime;
    entry.fSpeed = entry.pSet != nullptr ? static_cast<float>(entry.pSet->GetPeriod() / loopTime) : 0.0f;
    return true;
}

bool IHighLevelAnimController::SetShiftTime(UINT animID, float interval) {
    if (animID >= m_dwNumAnim || !(interval >= 0.0f) || !std::isfinite(interval))
        return false;
    m_pAnimTable[animID].fFadeTime = interval;
    return true;
}

bool IHighLevelAnimController::ChangeAnimation(UINT animID) {
    if (m_pController == nullptr || animID >= m_dwNumAnim || animID == m_dwCurAnim)
        return false;
    D3DXTRACK_DESC current;
    m_pController->GetTrackDesc(0, &current);
    m_pController->SetTrackDesc(1, &current);
    m_pController->SetTrackAnimationSet(1,
                                        m_dwCurAnim < m_dwNumAnim ? m_pAnimTable[m_dwCurAnim].pSet : nullptr);
    m_pController->SetTrackAnimationSet(0, m_pAnimTable[animID].pSet);
    m_pController->SetTrackSpeed(0, m_pAnimTable[animID].fSpeed);
    m_pController->SetTrackEnable(0, TRUE);
    m_pController->SetTrackEnable(1, TRUE);
    m_pAnimTable[animID].fElapsed = 0.0f;
    m_dwPrevAnim = m_dwCurAnim;
    m_dwCurAnim = animID;
    return true;
}

bool IHighLevelAnimController::AdvanceTime(float seconds) {
    if (m_pController == nullptr || !std::isfinite(seconds))
        return false;
    if (m_dwCurAnim < m_dwNumAnim) {
        D3DZXSKINMESH_DESC& entry = m_pAnimTable[m_dwCurAnim];
        entry.fElapsed += seconds;
        // A fade of no length is over at once: its share would be 0 / 0.
        if (entry.fFadeTime > 0.0f && entry.fElapsed <= entry.fFadeTime) {
            const float share = entry.fElapsed / entry.fFadeTime;
            m_pController->SetTrackWeight(0, share);
            m_pController->SetTrackWeight(1, 1.0f - share);
        } else {
            m_pController->SetTrackWeight(0, 1.0f);
            m_pController->SetTrackEnable(1, FALSE);
        }
    }
    m_pController->AdvanceTime(seconds, nullptr);
    return true;
}
