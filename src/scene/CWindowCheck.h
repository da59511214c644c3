// The on-screen manipulator: which of its handles the cursor is over and where each handle was last
// drawn, read by the drag edits of the selected object. The drawing and picking come with the
// manipulator; until then the pick and the handle placements are only held and handed out.
#pragma once

#include "D3DZCMATRIX.h"

class CWindowCheck {
public:
    // Handle indices as the pick reports them.
    static constexpr int kNoHandle = -1;
    static constexpr int kNotPickedYet = -999;
    static constexpr int kCentre = 0;
    static constexpr int kAxisX = 1;
    static constexpr int kAxisY = 2;
    static constexpr int kAxisZ = 3;
    static constexpr int kHandleCount = 4;

    static CWindowCheck& GetInstance();
    CWindowCheck(const CWindowCheck&) = delete;
    CWindowCheck& operator=(const CWindowCheck&) = delete;

    // -999 before the first pick, -1 over no handle, else the handle under the cursor.
    int GetNowColor() const { return m_iNowColor; }
    // The four world matrices the handles were last drawn with: centre, X, Y, Z.
    D3DZCMATRIX* GetMarixList() { return m_mHandle; }

    // For driving the drag edits without a drawn manipulator.
    void SetNowColor(int handle) { m_iNowColor = handle; }
    // Out-of-range indices are ignored.
    void SetHandleMatrix(int handle, const D3DXMATRIX& world);

private:
    CWindowCheck() = default;
    ~CWindowCheck() = default;

    int m_iNowColor = kNotPickedYet;
    D3DZCMATRIX m_mHandle[kHandleCount];
};
