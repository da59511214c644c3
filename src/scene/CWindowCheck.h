// The on-screen manipulator at the selected object: a centre box and three axis handles (cones to
// move, rings to rotate, boxes to scale), drawn over the scene with depth testing off. Which handle is
// under the cursor is found by drawing every handle again in a flat identification colour into a
// surface of the view's size and reading back the pixel under the cursor. The class also brackets the
// frame: Begin prepares that surface and clears, End presents and rebuilds the device and the scene
// when the view was resized or the device lost.
#pragma once

#include "D3DZCMATRIX.h"
#include "D3DZCXFILE.h"
#include "d3dx9shader.h"

#include <cstdint>
#include <functional>
#include <vector>

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
    static constexpr DWORD kBackground = 0xFF000050;

    static CWindowCheck& GetInstance();
    CWindowCheck(const CWindowCheck&) = delete;
    CWindowCheck& operator=(const CWindowCheck&) = delete;

    // Device resources: the pick surface, the flat-colour pixel shader and the three handle meshes.
    void Init();
    void Begin();
    // Draws and picks the four handles in the order centre, X, Y, Z, so later ones win where they overlap.
    void Run();
    void End();
    void Check();
    void Draw(int num);
    void Release();

    // -999 before the first pick, -1 over no handle, else the handle under the cursor.
    int GetNowColor() const { return m_iNowColor; }
    // The four world matrices the handles were last drawn with: centre, X, Y, Z.
    D3DZCMATRIX* GetMarixList() { return m_mHandle; }
    IDirect3DSurface9* GetPickSurface() const { return m_pPickSurface; }

    // For driving the drag edits without a drawn manipulator.
    void SetNowColor(int handle) {
        m_iNowColor = handle;
        m_pickedValid = false;
    }
    // Out-of-range indices are ignored.
    void SetHandleMatrix(int handle, const D3DXMATRIX& world);
    // What End does to give the view a new device: the application's release and re-creation of
    // every device resource. Without it, a resize only resets the device.
    void SetDeviceRebuild(std::function<void()> rebuild) { m_rebuild = std::move(rebuild); }

private:
    CWindowCheck();
    ~CWindowCheck();

    bool CreatePickSurface(IDirect3DDevice9* device, const D3DSURFACE_DESC& target);
    bool PickSurfaceFits(const D3DSURFACE_DESC& target) const;
    std::vector<std::uint8_t> PickSurfaceContent() const;
    void DrawPickSurface();
    // The next pick reads the surface whatever it read last.
    void ForgetPick();
    void ReleaseShader();
    bool ViewSizeChanged(IDirect3DDevice9* device);
    void RebuildScene();
    D3DZCMATRIX HandleWorld(int num, const D3DXVECTOR3& position) const;

    ID3DXBuffer* m_pShaderCode = nullptr;
    ID3DXBuffer* m_pShaderError = nullptr;
    IDirect3DPixelShader9* m_pPixelShader = nullptr;
    IDirect3DSurface9* m_pPickSurface = nullptr;
    IDirect3DSurface9* m_pBackBuffer = nullptr;
    D3DZCXFILE m_XFile[3];
    float m_vDrawColor[4] = {1, 1, 1, 1};
    int m_iMeshType = 0;
    float m_vColor[kHandleCount][4] = {{1, 1, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}};
    int m_iNowColor = kNotPickedYet;
    int m_iGrabColor = 0;
    D3DZCMATRIX m_mSpare;
    D3DZCMATRIX m_mHandle[kHandleCount];
    int m_iViewWidth = 0;
    int m_iViewHeight = 0;
    std::function<void()> m_rebuild;
    // The pick surface is drawn only when the handles on it would change, and read only when the
    // cursor moved or the surface was drawn again.
    std::vector<std::uint8_t> m_pickedHandles;
    unsigned m_pickSurfaceVersion = 0;
    POINT m_pickedAt{};
    bool m_pickedValid = false;
};
