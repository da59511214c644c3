#include "D3DZCDIRECT3D.h"

#include "ComPtr.h"
#include "MessageBox.h"

#include <cstdarg>
#include <cstdio>

D3DZCDIRECT3D& D3DZCDIRECT3D::GetInstance() {
    static D3DZCDIRECT3D instance;
    return instance;
}

D3DZCDIRECT3D::D3DZCDIRECT3D() {
    m_mView.SetIdentity();
    m_mProj.SetIdentity();
}

IDirect3DDevice9* D3DZCDIRECT3D::Init(HWND hwnd, int fullScreen, int width, int height) {
    m_pD3D = Direct3DCreate9(D3D_SDK_VERSION);
    if (m_pD3D == nullptr) {
        MessageBoxA(nullptr, "Direct3D の作成に失敗しました。", "ERROR", MB_ICONHAND);
        return nullptr;
    }
    m_nAdapter = 0;
    D3DPRESENT_PARAMETERS parameters;
    parameters.BackBufferWidth = width > 0 ? static_cast<UINT>(width) : 640;
    parameters.BackBufferHeight = height > 0 ? static_cast<UINT>(height) : 480;
    if (fullScreen) {
        parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    } else {
        D3DDISPLAYMODE mode;
        m_pD3D->GetAdapterDisplayMode(m_nAdapter, &mode);
        parameters.BackBufferFormat = mode.Format;
    }
    parameters.BackBufferCount = 0;
    parameters.MultiSampleType = D3DMULTISAMPLE_NONE;
    parameters.SwapEffect = D3DSWAPEFFECT_FLIP;
    parameters.hDeviceWindow = nullptr;
    parameters.Windowed = fullScreen ? FALSE : TRUE;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;
    parameters.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    parameters.FullScreen_RefreshRateInHz = 0;
    parameters.PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
    m_D3DParameter = parameters;
    if (!CreateDevice(hwnd)) {
        MessageBoxA(nullptr, "DirectX9が初期化できません。\n未対応のパソコンと思われます。", "ERROR",
                    MB_ICONHAND);
        ReleaseAndClear(m_pD3D);
        return nullptr;
    }
    SetDefaultStates();
    m_pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &m_pBackBuffer);
    m_pDevice->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    D3DXCreateFontA(m_pDevice, 24, 12, FW_BOLD, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, PROOF_QUALITY,
                    DEFAULT_PITCH | FF_SWISS, "ＭＳ Ｐゴシック", &m_pFont);
    D3DXCreateSprite(m_pDevice, &m_pSprite);
    m_pDevice->GetRenderTarget(0, &m_pDefRenderTarget);
    m_pDevice->GetDepthStencilSurface(&m_pDefDepthStencil);
    // Screen projections in the math layer read the viewport of this device.
    D3DZCMATRIX::SetViewportSource([] {
        D3DVIEWPORT9 viewport;
        GetInstance().GetViewPort(&viewport);
        return viewport;
    });
    return m_pDevice;
}

// A GPU with hardware vertex processing first, then a GPU with software vertex processing, then the
// reference device, which is Mesa's software rasteriser here.
bool D3DZCDIRECT3D::CreateDevice(HWND hwnd) {
    const std::pair<D3DDEVTYPE, DWORD> attempts[] = {
        {D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING},
        {D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
        {D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
    };
    for (const auto& [type, flags] : attempts) {
        D3DPRESENT_PARAMETERS parameters = m_D3DParameter;
        if (SUCCEEDED(m_pD3D->CreateDevice(m_nAdapter, type, hwnd, flags, &parameters, &m_pDevice)))
            return true;
    }
    return false;
}

void D3DZCDIRECT3D::SetDefaultStates() {
    m_pDevice->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    m_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    m_pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    m_pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    m_pDevice->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    m_pDevice->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    m_pDevice->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    m_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
}

void D3DZCDIRECT3D::Release() {
    ReleaseAndClear(m_pDefRenderTarget);
    ReleaseAndClear(m_pDefDepthStencil);
    ReleaseAndClear(m_pFont);
    ReleaseAndClear(m_pSprite);
    ReleaseAndClear(m_pBackBuffer);
    ReleaseAndClear(m_pDevice);
    ReleaseAndClear(m_pD3D);
}

IDirect3DDevice9* D3DZCDIRECT3D::Begin() {
    if (m_pDevice) {
        m_pDevice->BeginScene();
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    }
    return m_pDevice;
}

void D3DZCDIRECT3D::End() {
    if (!m_pDevice)
        return;
    m_pDevice->EndScene();
    if (FAILED(m_pDevice->Present(nullptr, nullptr, nullptr, nullptr)))
        m_pDevice->Reset(&m_D3DParameter);
}

void D3DZCDIRECT3D::Clear(bool renderTarget, bool zBuffer, bool stencil, D3DCOLOR color, float z,
                          DWORD stencilValue) {
    if (!m_pDevice)
        return;
    const DWORD flags = (renderTarget ? D3DCLEAR_TARGET : 0) | (zBuffer ? D3DCLEAR_ZBUFFER : 0) |
                        (stencil ? D3DCLEAR_STENCIL : 0);
    m_pDevice->Clear(0, nullptr, flags, color, z, stencilValue);
}

void D3DZCDIRECT3D::SetView(const D3DXMATRIX* view) {
    if (view == nullptr)
        return;
    if (m_pDevice)
        m_pDevice->SetTransform(D3DTS_VIEW, view);
    m_mView = *view;
}

void D3DZCDIRECT3D::SetProj(const D3DXMATRIX* proj) {
    if (proj == nullptr)
        return;
    if (m_pDevice)
        m_pDevice->SetTransform(D3DTS_PROJECTION, proj);
    m_mProj = *proj;
}

D3DXMATRIX* D3DZCDIRECT3D::SetProj(D3DXMATRIX* out, float fovyDegrees, float aspect, float zNear,
                                   float zFar) {
    if (out == nullptr)
        return nullptr;
    D3DXMatrixPerspectiveFovLH(out, fovyDegrees * 0.017453292f, aspect, zNear, zFar);
    SetProj(static_cast<const D3DXMATRIX*>(out));
    return out;
}

void D3DZCDIRECT3D::GetView(D3DZCMATRIX* out) {
    if (out && m_pDevice)
        m_pDevice->GetTransform(D3DTS_VIEW, out);
}

void D3DZCDIRECT3D::GetProj(D3DZCMATRIX* out) {
    if (out && m_pDevice)
        m_pDevice->GetTransform(D3DTS_PROJECTION, out);
}

void D3DZCDIRECT3D::SetWorldTrans(const D3DXMATRIX* world) {
    if (m_pDevice && world)
        m_pDevice->SetTransform(D3DTS_WORLD, world);
}

void D3DZCDIRECT3D::GetViewPort(D3DVIEWPORT9* out) {
    if (out && m_pDevice)
        m_pDevice->GetViewport(out);
}

void D3DZCDIRECT3D::SetDirectionalLight(BOOL enable, DWORD lightNo, const D3DXVECTOR3* direction,
                                        D3DXCOLOR diffuse, D3DXCOLOR ambient, D3DXCOLOR specular) {
    if (!m_pDevice || direction == nullptr)
        return;
    D3DLIGHT9 light;
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = diffuse;
    light.Ambient = ambient;
    light.Specular = specular;
    D3DXVec3Normalize(&light.Direction, direction);
    m_pDevice->SetLight(lightNo, &light);
    m_pDevice->LightEnable(lightNo, enable);
}

D3DLIGHT9 D3DZCDIRECT3D::GetLight(DWORD lightNo) {
    D3DLIGHT9 light;
    if (m_pDevice)
        m_pDevice->GetLight(lightNo, &light);
    return light;
}

D3DZCVECTOR3 D3DZCDIRECT3D::GetLightDir(DWORD lightNo) {
    return D3DZCVECTOR3(GetLight(lightNo).Direction);
}

void D3DZCDIRECT3D::LightEnable(BOOL on) {
    if (m_pDevice)
        m_pDevice->SetRenderState(D3DRS_LIGHTING, on);
}

void D3DZCDIRECT3D::CullMode(DWORD mode) {
    if (m_pDevice)
        m_pDevice->SetRenderState(D3DRS_CULLMODE, mode);
}

void D3DZCDIRECT3D::ZEnable(BOOL on) {
    if (m_pDevice)
        m_pDevice->SetRenderState(D3DRS_ZENABLE, on);
}

DWORD D3DZCDIRECT3D::ChannelByte(float value) {
    if (value >= 1.0f)
        return 255;
    if (value <= 0.0f)
        return 0;
    return static_cast<DWORD>(static_cast<double>(value) * 255.0 + 0.5);
}

void D3DZCDIRECT3D::DrawString(const std::string& text, int x, int y, D3DXCOLOR color) {
    if (!m_pFont)
        return;
    RECT rect{x, y, 640, 320};
    const D3DCOLOR packed = (ChannelByte(color.a) << 24) | (ChannelByte(color.r) << 16) |
                            (ChannelByte(color.g) << 8) | ChannelByte(color.b);
    m_pFont->DrawTextA(nullptr, text.c_str(), -1, &rect, 0, packed);
}

void D3DZDrawPrintf(ID3DXFont* font, int x, int y, D3DCOLOR color, const char* format, ...) {
    if (font == nullptr || format == nullptr)
        return;
    char text[1024];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    RECT rect{x, y, x, y};
    font->DrawTextA(nullptr, text, -1, &rect, DT_NOCLIP, color);
}
