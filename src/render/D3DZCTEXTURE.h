// One texture with what is known of it: loaded from an image file, made empty, or made as a render
// target, with its level-0 surface, the image's size and the file it came from.
#pragma once

#include "d3d9.h"
#include "d3dx9tex.h"

#include <string>
#include <vector>

class D3DZCTEXTURE {
public:
    D3DZCTEXTURE() = default;
    ~D3DZCTEXTURE();
    D3DZCTEXTURE(const D3DZCTEXTURE&) = delete;
    D3DZCTEXTURE& operator=(const D3DZCTEXTURE&) = delete;

    BOOL LoadTexture(const char* fileName);
    // The same from an image file's bytes (a texture a glTF model carries); name is only remembered.
    BOOL LoadTextureFromMemory(const std::vector<unsigned char>& bytes, const char* name);
    BOOL LoadTextureEx(const char* fileName, UINT width, UINT height, UINT mipLevels, DWORD usage,
                       D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                       PALETTEENTRY* palette);
    BOOL CreateTexture(UINT width, UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    BOOL CreateRenderTarget(UINT width, UINT height, D3DFORMAT format);

    // Writes the value into every texel of level 0, row by row, leaving any row padding alone.
    template <typename T> bool Fill(T value, DWORD lockFlags);

    void SetTexture(DWORD stage);
    HRESULT SetRenderTarget(DWORD index);
    IDirect3DTexture9* GetTex() const { return m_pTex; }
    const D3DXIMAGE_INFO& GetInfo() const { return m_Info; }
    const RECT& GetRect() const { return m_rcTex; }
    const std::string& GetFileName() const { return m_strFileName; }

    void Release();

private:
    bool TakeSurfaceAndLevels();

    IDirect3DTexture9* m_pTex = nullptr;
    IDirect3DSurface9* m_pSurface = nullptr;
    D3DXIMAGE_INFO m_Info{};
    RECT m_rcTex{};
    std::string m_strFileName;
};

template <typename T> bool D3DZCTEXTURE::Fill(T value, DWORD lockFlags) {
    static_assert(sizeof(T) == 4, "textures are filled with 32-bit texels");
    D3DLOCKED_RECT locked;
    if (m_pTex == nullptr || FAILED(m_pTex->LockRect(0, &locked, nullptr, lockFlags)))
        return false;
    const UINT stride = static_cast<UINT>(locked.Pitch) / 4;
    auto* texels = static_cast<T*>(locked.pBits);
    for (UINT y = 0; y < m_Info.Height; ++y)
        for (UINT x = 0; x < m_Info.Width; ++x)
            texels[y * stride + x] = value;
    m_pTex->UnlockRect(0);
    return true;
}
