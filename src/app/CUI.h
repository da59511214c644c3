// The reference overlay of the 3-D view: up to three square line grids through the origin (planes YZ,
// ZX and XY) and the three positive world axes. The grid's interval and planes are the overlay's own
// copy, taken over from the settings window only when the user applies them there.
#pragma once

#include "Win32Types.h"
#include "d3dx9math.h"

struct _D3DVERTEXCOR_ {
    float x, y, z;
    DWORD color;
};
static_assert(sizeof(_D3DVERTEXCOR_) == 16);

class CUI {
public:
    static constexpr DWORD kGridColor = 0x80808080;
    static constexpr int kHalfLines = 20;

    void Init() {}
    void Update() {}
    void Release() {}
    // Draws inside the scene; leaves the world transform at identity and lighting as the light toggle says.
    void Draw();

    float GetGridInterval() const { return m_fGridInterval; }
    bool GetGridYZ() const { return m_bGridYZ; }
    bool GetGridZX() const { return m_bGridZX; }
    bool GetGridXY() const { return m_bGridXY; }
    // The grid as the last run left it; an interval that is not a positive number is not taken.
    void RestoreGrid(float interval, bool yz, bool zx, bool xy);

private:
    void TakeOverAppliedGrid();
    void DrawGridFamily(const _D3DVERTEXCOR_* line, const D3DXVECTOR3& along, const D3DXVECTOR3& degrees);
    void DrawAxes();

    float m_fGridInterval = 0.5f;
    bool m_bGridYZ = false;
    bool m_bGridZX = true;
    bool m_bGridXY = false;
};
