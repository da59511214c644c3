#include "D3DZCTEXTURE.h"

#include "D3DZCDIRECT3D.h"
#include "ModelTexture.h"

D3DZCTEXTURE::~D3DZCTEXTURE() {
    Release();
}

void D3DZCTEXTURE::Release() {
    if (m_pSurface) {
        m_pSurface->Release();
        m_pSurface = nullptr;
    }
    if (m_pTex) {
        m_pTex->Release();
        m_pTex = nullptr;
    }
    m_strFileName.clear();
    m_Info = D3DXIMAGE_INFO{};
    m_rcTex = RECT{};
}

bool D3DZCTEXTURE::TakeSurfaceAndLevels() {
    if (FAILED(m_pTex->GetSurfaceLevel(0, &m_pSurface)))
        return false;
    D3DSURFACE_DESC desc;
    m_pSurface->GetDesc(&desc);
    m_Info.MipLevels = m_pTex->GetLevelCount();
    m_Info.Format = desc.Format;
    return true;
}

BOOL D3DZCTEXTURE::LoadTexture(const char* fileName) {
    Release();
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    if (fileName == nullptr || device == nullptr)
        return FALSE;
    m_strFileName = fileName;
    if (FAILED(D3DXCreateTextureFromFileA(device, fileName, &m_pTex)))
        return FALSE;
    if (FAILED(D3DXGetImageInfoFromFileA(fileName, &m_Info)) || !TakeSurfaceAndLevels())
        return FALSE;
    m_rcTex = RECT{0, 0, static_cast<LONG>(m_Info.Width), static_cast<LONG>(m_Info.Height)};
    return TRUE;
}

BOOL D3DZCTEXTURE::LoadTextureFromMemory(const std::vector<unsigned char>& bytes, const char* name) {
    Release();
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    if (device == nullptr)
        return FALSE;
    m_strFileName = name != nullptr ? name : "";
    if (FAILED(ModelTexture::Create(device, bytes, &m_pTex, &m_Info)) || !TakeSurfaceAndLevels())
        return FALSE;
    m_rcTex = RECT{0, 0, static_cast<LONG>(m_Info.Width), static_cast<LONG>(m_Info.Height)};
    return TRUE;
}

BOOL D3DZCTEXTURE::LoadTextureEx(const char* fileName, UINT width, UINT height, UINT mipLevels, DWORD usage,
                                 D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                 D3DCOLOR colorKey, PALETTEENTRY* palette) {
    Release();
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    if (fileName == nullptr || device == nullptr)
        return FALSE;
    m_strFileName = fileName;
    if (FAILED(D3DXCreateTextureFromFileExA(device, fileName, width, height, mipLevels, usage, format, pool,
                                            filter, mipFilter, colorKey, &m_Info, palette, &m_pTex)))
        return FALSE;
    if (FAILED(m_pTex->GetSurfaceLevel(0, &m_pSurface)))
        return FALSE;
    m_rcTex = RECT{0, 0, static_cast<LONG>(m_Info.Width), static_cast<LONG>(m_Info.Height)};
    return TRUE;
}

BOOL D3DZCTEXTURE::CreateTexture(UINT width, UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format,
                                 D3DPOOL pool) {
    Release();
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    if (device == nullptr ||
        FAILED(D3DXCreateTexture(device, width, height, mipLevels, usage, format, pool, &m_pTex)) ||
        !TakeSurfaceAndLevels())
        return FALSE;
    D3DSURFACE_DESC desc;
    m_pSurface->GetDesc(&desc);
    m_Info.Width = desc.Width;
    m_Info.Height = desc.Height;
    m_rcTex = RECT{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    return TRUE;
}

BOOL D3DZCTEXTURE::CreateRenderTarget(UINT width, UINT height, D3DFORMAT format) {
    return CreateTexture(width, height, 1, D3DUSAGE_RENDERTARGET, format, D3DPOOL_DEFAULT);
}

void D3DZCTEXTURE::SetTexture(DWORD stage) {
    if (IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice())
        device->SetTexture(stage, m_pTex);
}

HRESULT D3DZCTEXTURE::SetRenderTarget(DWORD index) {
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    if (device == nullptr)
        return D3DERR_INVALIDCALL;
    return device->SetRenderTarget(index, m_pSurface);
}
