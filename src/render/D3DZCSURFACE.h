// One stand-alone depth-stencil surface with its description.
#pragma once

#include "d3d9.h"

class D3DZCSURFACE {
public:
    D3DZCSURFACE() = default;
    ~D3DZCSURFACE();
    D3DZCSURFACE(const D3DZCSURFACE&) = delete;
    D3DZCSURFACE& operator=(const D3DZCSURFACE&) = delete;

    BOOL CreateDepthStencil(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                            DWORD multisampleQuality, BOOL discard);
    BOOL CreateDepthStencil(UINT width, UINT height, D3DFORMAT format);
    void SetDepthStencil();
    void Release();

    IDirect3DSurface9* GetSurface() const { return m_pSurface; }
    const D3DSURFACE_DESC& GetDesc() const { return m_Desc; }

private:
    IDirect3DSurface9* m_pSurface = nullptr;
    D3DSURFACE_DESC m_Desc{};
};
