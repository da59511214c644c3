#include "d3d9.h"

#include "D3DFormatGL.h"

#include <cstring>
#include <epoxy/gl.h>

HRESULT IDirect3DResource9::GetDevice(IDirect3DDevice9** device) {
    if (device == nullptr)
        return D3DERR_INVALIDCALL;
    *device = m_device;
    if (m_device)
        m_device->AddRef();
    return S_OK;
}

IDirect3DSurface9* IDirect3DSurface9::CreateColor(IDirect3DDevice9* device,
                                                  std::shared_ptr<GLContext> context, UINT width, UINT height,
                                                  D3DFORMAT format, DWORD usage, bool lockable) {
    D3DFormatGL gl;
    if (width == 0 || height == 0 || !LookUpD3DFormat(format, gl) || gl.depth || !context->MakeCurrent())
        return nullptr;
    D3DSURFACE_DESC desc;
    desc.Format = format;
    desc.Usage = usage;
    desc.Width = width;
    desc.Height = height;
    auto* surface = new IDirect3DSurface9(device, std::move(context), desc);
    surface->m_ownsObjects = true;
    surface->m_lockable = lockable;
    glGenTextures(1, &surface->m_texture);
    glBindTexture(GL_TEXTURE_2D, surface->m_texture);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(gl.internalFormat), static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), 0, gl.clientFormat, gl.clientType, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    if (glGetError() != GL_NO_ERROR) {
        surface->Release();
        return nullptr;
    }
    return surface;
}

IDirect3DSurface9* IDirect3DSurface9::CreateDepth(IDirect3DDevice9* device,
                                                  std::shared_ptr<GLContext> context, UINT width, UINT height,
                                                  D3DFORMAT format) {
    D3DFormatGL gl;
    if (width == 0 || height == 0 || !LookUpD3DFormat(format, gl) || !gl.depth || !context->MakeCurrent())
        return nullptr;
    D3DSURFACE_DESC desc;
    desc.Format = format;
    desc.Usage = D3DUSAGE_DEPTHSTENCIL;
    desc.Width = width;
    desc.Height = height;
    auto* surface = new IDirect3DSurface9(device, std::move(context), desc);
    surface->m_ownsObjects = true;
    surface->m_lockable = false;
    glGenRenderbuffers(1, &surface->m_renderbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, surface->m_renderbuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, gl.internalFormat, static_cast<GLsizei>(width),
                          static_cast<GLsizei>(height));
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    if (glGetError() != GL_NO_ERROR) {
        surface->Release();
        return nullptr;
    }
    return surface;
}

IDirect3DSurface9* IDirect3DSurface9::CreateLevel(IDirect3DTexture9* container,
                                                  std::shared_ptr<GLContext> context, unsigned texture,
                                                  UINT level, const D3DSURFACE_DESC& desc) {
    IDirect3DDevice9* device = nullptr;
    container->GetDevice(&device);
    if (device)
        device->Release();
    auto* surface = new IDirect3DSurface9(device, std::move(context), desc);
    surface->m_container = container;
    surface->m_texture = texture;
    surface->m_level = level;
    return surface;
}

IDirect3DSurface9::~IDirect3DSurface9() {
    if (!m_ownsObjects || !UseContext())
        return;
    if (m_texture)
        glDeleteTextures(1, &m_texture);
    if (m_renderbuffer)
        glDeleteRenderbuffers(1, &m_renderbuffer);
}

// A level of a texture lives exactly as long as its texture: references to it are references to the
// texture.
ULONG IDirect3DSurface9::AddRef() {
    return m_container ? m_container->AddRef() : IUnknown::AddRef();
}
ULONG IDirect3DSurface9::Release() {
    return m_container ? m_container->Release() : IUnknown::Release();
}

HRESULT IDirect3DSurface9::GetDesc(D3DSURFACE_DESC* desc) {
    if (desc == nullptr)
        return D3DERR_INVALIDCALL;
    *desc = m_desc;
    return S_OK;
}

HRESULT IDirect3DSurface9::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    D3DFormatGL gl;
    if (locked == nullptr || m_locked || !m_lockable || m_texture == 0 || !LookUpD3DFormat(m_desc.Format, gl))
        return D3DERR_INVALIDCALL;
    if (rect &&
        (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
         static_cast<UINT>(rect->right) > m_desc.Width || static_cast<UINT>(rect->bottom) > m_desc.Height))
        return D3DERR_INVALIDCALL;
    if (!UseContext())
        return D3DERR_DEVICELOST;
    if (rect && (flags & D3DLOCK_READONLY) && ReadRect(*rect, gl, locked)) {
        m_locked = true;
        m_lockFlags = flags;
        return S_OK;
    }
    const UINT pitch = m_desc.Width * gl.bytesPerPixel;
    m_lockBuffer.assign(static_cast<std::size_t>(pitch) * m_desc.Height, 0);
    if (!(flags & D3DLOCK_DISCARD)) {
        glBindTexture(GL_TEXTURE_2D, m_texture);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, static_cast<GLint>(m_level), gl.clientFormat, gl.clientType,
                      m_lockBuffer.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        // X8R8G8B8 has no alpha: its unused byte reads as opaque, whatever blending left there.
        if (m_desc.Format == D3DFMT_X8R8G8B8)
            for (std::size_t i = 3; i < m_lockBuffer.size(); i += 4)
                m_lockBuffer[i] = 0xFF;
    }
    const UINT left = rect ? static_cast<UINT>(rect->left) : 0;
    const UINT top = rect ? static_cast<UINT>(rect->top) : 0;
    locked->Pitch = static_cast<INT>(pitch);
    locked->pBits = m_lockBuffer.data() + static_cast<std::size_t>(top) * pitch + left * gl.bytesPerPixel;
    m_locked = true;
    m_lockFlags = flags;
    return S_OK;
}

// A read of part of a surface reads that part alone (the manipulator reads one pixel a frame): the
// level goes on a framebuffer of its own for the read. Pitch is then the rectangle's row. False where
// the format cannot be read that way, and the caller reads the whole level instead.
bool IDirect3DSurface9::ReadRect(const RECT& rect, const D3DFormatGL& gl, D3DLOCKED_RECT* locked) {
    if (m_texture == 0 || gl.depth)
        return false;
    GLint previous = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previous);
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_texture,
                           static_cast<GLint>(m_level));
    const bool complete = glCheckFramebufferStatus(GL_READ_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    const auto width = static_cast<UINT>(rect.right - rect.left);
    const auto height = static_cast<UINT>(rect.bottom - rect.top);
    const UINT pitch = width * gl.bytesPerPixel;
    if (complete) {
        m_lockBuffer.assign(static_cast<std::size_t>(pitch) * height, 0);
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(rect.left, rect.top, static_cast<GLsizei>(width), static_cast<GLsizei>(height),
                     gl.clientFormat, gl.clientType, m_lockBuffer.data());
        if (m_desc.Format == D3DFMT_X8R8G8B8)
            for (std::size_t i = 3; i < m_lockBuffer.size(); i += 4)
                m_lockBuffer[i] = 0xFF;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previous));
    glDeleteFramebuffers(1, &framebuffer);
    if (!complete || glGetError() != GL_NO_ERROR)
        return false;
    locked->Pitch = static_cast<INT>(pitch);
    locked->pBits = m_lockBuffer.data();
    return true;
}

HRESULT IDirect3DSurface9::UnlockRect() {
    if (!m_locked)
        return D3DERR_INVALIDCALL;
    m_locked = false;
    D3DFormatGL gl;
    if (!(m_lockFlags & D3DLOCK_READONLY) && LookUpD3DFormat(m_desc.Format, gl) && UseContext()) {
        glBindTexture(GL_TEXTURE_2D, m_texture);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexSubImage2D(GL_TEXTURE_2D, static_cast<GLint>(m_level), 0, 0, static_cast<GLsizei>(m_desc.Width),
                        static_cast<GLsizei>(m_desc.Height), gl.clientFormat, gl.clientType,
                        m_lockBuffer.data());
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    m_lockBuffer.clear();
    m_lockBuffer.shrink_to_fit();
    return S_OK;
}
