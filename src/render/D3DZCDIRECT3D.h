// The library's one graphics device: creates the Direct3D device for a window with its fallbacks, sets
// the library's default states, owns the text font and the sprite, remembers the last view and
// projection set through it, and offers the frame, transform, light and text operations.
#pragma once

#include "D3DZCMATRIX.h"
#include "D3DZCVECTOR3.h"
#include "d3d9.h"
#include "d3dx9core.h"

#include <string>

class D3DZCDIRECT3D {
public:
    static D3DZCDIRECT3D& GetInstance();

    // Returns the device, or null after showing why it could not be created.
    IDirect3DDevice9* Init(HWND hwnd, int fullScreen, int width, int height);
    // Gives up every owned interface, each only if present; safe to call twice.
    void Release();

    IDirect3DDevice9* Begin();
    void End();
    void Clear(bool renderTarget, bool zBuffer, bool stencil, D3DCOLOR color, float z, DWORD stencilValue);

    void SetView(const D3DXMATRIX* view);
    void SetProj(const D3DXMATRIX* proj);
    D3DXMATRIX* SetProj(D3DXMATRIX* out, float fovyDegrees, float aspect, float zNear, float zFar);
    // What was last set through this object, not what the device holds.
    D3DZCMATRIX GetView() const { return m_mView; }
    D3DZCMATRIX GetProj() const { return m_mProj; }
    // What the device holds.
    void GetView(D3DZCMATRIX* out);
    void GetProj(D3DZCMATRIX* out);
    void SetWorldTrans(const D3DXMATRIX* world);
    void GetViewPort(D3DVIEWPORT9* out);

    void SetDirectionalLight(BOOL enable, DWORD lightNo, const D3DXVECTOR3* direction, D3DXCOLOR diffuse,
                             D3DXCOLOR ambient, D3DXCOLOR specular);
    D3DLIGHT9 GetLight(DWORD lightNo);
    D3DZCVECTOR3 GetLightDir(DWORD lightNo);
    void LightEnable(BOOL on);
    void CullMode(DWORD mode);
    void ZEnable(BOOL on);

    // Draws with the library font in the rectangle from (x, y) to (640, 320), cut at its edges.
    void DrawString(const std::string& text, int x, int y, D3DXCOLOR color);

    IDirect3DDevice9* GetDevice() const { return m_pDevice; }
    ID3DXFont* GetFont() const { return m_pFont; }
    D3DPRESENT_PARAMETERS* GetD3DParameter() { return &m_D3DParameter; }

    // A colour channel as DrawString packs it: 255 from 1.0 up, 0 from 0.0 down, else rounded.
    static DWORD ChannelByte(float value);

private:
    D3DZCDIRECT3D();
    bool CreateDevice(HWND hwnd);
    void SetDefaultStates();

    IDirect3D9* m_pD3D = nullptr;
    IDirect3DDevice9* m_pDevice = nullptr;
    IDirect3DSurface9* m_pBackBuffer = nullptr;
    UINT m_nAdapter = 0;
    D3DPRESENT_PARAMETERS m_D3DParameter;
    ID3DXFont* m_pFont = nullptr;
    ID3DXSprite* m_pSprite = nullptr;
    D3DZCMATRIX m_mView;
    D3DZCMATRIX m_mProj;
    IDirect3DSurface9* m_pDefRenderTarget = nullptr;
    IDirect3DSurface9* m_pDefDepthStencil = nullptr;
};

// printf-style text with a font at a pixel position, not clipped. The text is formatted into 1024
// bytes at most.
void D3DZDrawPrintf(ID3DXFont* font, int x, int y, D3DCOLOR color, const char* format, ...)
    __attribute__((format(printf, 5, 6)));
