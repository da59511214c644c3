// The editor's orbit camera. Each frame it reads the mouse, the function keys and the camera entries of
// the object list's context menu, updates its pose, hands view and projection to the device and writes
// a requested view file. It orbits the world origin or, in follow mode, the selected object.
#pragma once

#include "D3DZVectorRecordFiles.h"
#include "DZMouse.h"
#include "FollowTarget.h"
#include "Win32Types.h"

class CamData {
public:
    static CamData& GetInstance();

    // The start pose: pitch 32, yaw -38, distance -10 wheel steps.
    void Init();
    void Run();
    void MouseUpdate();
    void SaveCamera();

    float GetZoom() const { return m_Cam.vPos.z; }
    D3DZCAMERADATA* GetCamData() { return &m_Cam; }
    bool IsFollowing() const { return m_bFollow; }
    // The object list that follow mode orbits; without one, follow mode never starts.
    void SetFollowTarget(FollowTarget* target) { m_pFollowTarget = target; }
    // Back to the state of a new camera, for a fresh start.
    void Reset();

private:
    CamData() = default;
    CamData(const CamData&) = delete;
    CamData& operator=(const CamData&) = delete;

    // Notes for each button that went down whether it went down over the view; a drag that began over
    // another widget (the side panel, a list) is that widget's, not the camera's.
    void NoteWhereDragsStart(POINT cursor);
    struct DragStart {
        bool down = false;
        bool overView = false;
    };
    bool DragsTheCamera(const D3DXZORVACTIONPARAMETER& button) const;
    void Orbit(float dx, float dy);
    void Pan(float dx, float dy);
    void ApplyPresets();
    void UpdateFollow();
    void ResetWideAngles();
    void BuildView(D3DXMATRIX* view);
    void BuildProjection();

    D3DZCAMERADATA m_Cam{};
    POINT m_ptOld{};
    D3DXZORVMOUSEBUTTON m_MouseButton{};
    DragStart m_LeftStart, m_RightStart, m_MiddleStart;
    bool m_bFollow = false;
    FollowTarget* m_pFollowTarget = nullptr;
};
