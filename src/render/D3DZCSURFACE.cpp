#include "D3DZCSURFACE.h"

#include "D3DZCDIRECT3D.h"

D3DZCSURFACE::~D3DZCSURFACE() {
    Release();
}

void D3DZCSURFACE::Release() {
    if (m_pSurface) {
        m_pSurface->Release();
        m_pSurface = nullptr;
    }
    m_Desc = D3DSURFACE_DESC{};
}

BOOL D3DZCSURFACE::CreateDepthStencil(UINT width, UINT height, D3DFORMAT format,
                                      D3DMULTISAMPLE_TYPE multiSample, DWORD multisampleQuality,
                                      BOOL discard) {
    Release();
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    if (device == nullptr ||
        FAILED(device->CreateDepthStencilSurface(width, height, format, multiSample, multisampleQuality,
                                                 discard, &m_pSurface, nullptr)))
        return FALSE;
    m_pSurface->GetDesc(&m_Desc);
    return TRUE;
}

BOOL D3DZCSURFACE::CreateDepthStencil(UINT width, UINT height, D3DFORMAT format) {
    return CreateDepthStencil(width, height, format, D3DMULTISAMPLE_NONE, 0, FALSE);
}

void D3DZCSURFACE::SetDepthStencil() {
    if (IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice())
        device->SetDepthStencilSurface(m_pSurface);
}
