#include "d3d9.h"

#include "D3DFormatGL.h"
#include "MipChain.h"

#include <algorithm>
#include <epoxy/gl.h>

IDirect3DBaseTexture9::~IDirect3DBaseTexture9() {
    // The levels share this texture's count; they go with it.
    for (IDirect3DSurface9* level : m_levels)
        delete level;
    if (m_texture && UseContext())
        glDeleteTextures(1, &m_texture);
}

IDirect3DTexture9* IDirect3DTexture9::Create(IDirect3DDevice9* device, std::shared_ptr<GLContext> context,
                                             UINT width, UINT height, UINT levels, DWORD usage,
                                             D3DFORMAT format, D3DPOOL pool) {
    D3DFormatGL gl;
    if (width == 0 || height == 0 || !LookUpD3DFormat(format, gl) || gl.depth || !context->MakeCurrent())
        return nullptr;
    const UINT chain = FullChainLength(width, height);
    levels = (levels == 0 || (usage & D3DUSAGE_AUTOGENMIPMAP)) ? chain : std::min(levels, chain);
    auto* texture = new IDirect3DTexture9(device, context);
    texture->m_format = format;
    glGenTextures(1, &texture->m_texture);
    glBindTexture(GL_TEXTURE_2D, texture->m_texture);
    D3DSURFACE_DESC desc;
    desc.Format = format;
    desc.Type = D3DRTYPE_SURFACE;
    desc.Usage = usage;
    desc.Pool = pool;
    for (UINT level = 0; level < levels; ++level) {
        desc.Width = std::max(1u, width >> level);
        desc.Height = std::max(1u, height >> level);
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), static_cast<GLint>(gl.internalFormat),
                     static_cast<GLsizei>(desc.Width), static_cast<GLsizei>(desc.Height), 0, gl.clientFormat,
                     gl.clientType, nullptr);
        texture->m_levels.push_back(
            IDirect3DSurface9::CreateLevel(texture, context, texture->m_texture, level, desc));
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels - 1));
    glBindTexture(GL_TEXTURE_2D, 0);
    if (glGetError() != GL_NO_ERROR) {
        texture->Release();
        return nullptr;
    }
    return texture;
}

HRESULT IDirect3DTexture9::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
    if (level >= m_levels.size())
        return D3DERR_INVALIDCALL;
    return m_levels[level]->GetDesc(desc);
}

HRESULT IDirect3DTexture9::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
    if (surface == nullptr || level >= m_levels.size())
        return D3DERR_INVALIDCALL;
    *surface = m_levels[level];
    (*surface)->AddRef();
    return S_OK;
}

HRESULT IDirect3DTexture9::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    if (level >= m_levels.size())
        return D3DERR_INVALIDCALL;
    return m_levels[level]->LockRect(locked, rect, flags);
}

HRESULT IDirect3DTexture9::UnlockRect(UINT level) {
    if (level >= m_levels.size())
        return D3DERR_INVALIDCALL;
    return m_levels[level]->UnlockRect();
}
