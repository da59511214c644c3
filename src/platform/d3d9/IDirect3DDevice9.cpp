#include "d3d9.h"

#include "D3DFormatGL.h"

#include <algorithm>
#include <cstring>
#include <epoxy/gl.h>

namespace {

constexpr GLsizeiptr kStreamBytes = 4 << 20;
// GL sizes are signed ints; a larger buffer is a corrupt length, not one to allocate.
constexpr UINT kMaxBufferBytes = 0x7FFFFFFF;

GLenum BlendFactor(DWORD blend) {
    switch (blend) {
    case D3DBLEND_ZERO:
        return GL_ZERO;
    case D3DBLEND_ONE:
        return GL_ONE;
    case D3DBLEND_SRCCOLOR:
        return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
        return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
        return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
        return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA:
        return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA:
        return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR:
        return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
        return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT:
        return GL_SRC_ALPHA_SATURATE;
    default:
        return GL_ONE;
    }
}

GLenum BlendEquation(DWORD op) {
    switch (op) {
    case D3DBLENDOP_SUBTRACT:
        return GL_FUNC_SUBTRACT;
    case D3DBLENDOP_REVSUBTRACT:
        return GL_FUNC_REVERSE_SUBTRACT;
    case D3DBLENDOP_MIN:
        return GL_MIN;
    case D3DBLENDOP_MAX:
        return GL_MAX;
    default:
        return GL_FUNC_ADD;
    }
}

GLenum CompareFunction(DWORD function) {
    switch (function) {
    case D3DCMP_NEVER:
        return GL_NEVER;
    case D3DCMP_LESS:
        return GL_LESS;
    case D3DCMP_EQUAL:
        return GL_EQUAL;
    case D3DCMP_LESSEQUAL:
        return GL_LEQUAL;
    case D3DCMP_GREATER:
        return GL_GREATER;
    case D3DCMP_NOTEQUAL:
        return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL:
        return GL_GEQUAL;
    default:
        return GL_ALWAYS;
    }
}

GLint AddressMode(DWORD mode) {
    switch (mode) {
    case D3DTADDRESS_MIRROR:
        return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP:
        return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER:
        return GL_CLAMP_TO_BORDER;
    default:
        return GL_REPEAT;
    }
}

GLint MinFilter(DWORD minFilter, DWORD mipFilter) {
    const bool linear = minFilter >= D3DTEXF_LINEAR;
    if (mipFilter == D3DTEXF_NONE)
        return linear ? GL_LINEAR : GL_NEAREST;
    if (mipFilter == D3DTEXF_POINT)
        return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
}

// Vertices per primitive count, and the GL primitive.
bool Primitive(D3DPRIMITIVETYPE type, UINT count, GLenum& mode, UINT& vertices) {
    switch (type) {
    case D3DPT_POINTLIST:
        mode = GL_POINTS;
        vertices = count;
        return true;
    case D3DPT_LINELIST:
        mode = GL_LINES;
        vertices = count * 2;
        return true;
    case D3DPT_LINESTRIP:
        mode = GL_LINE_STRIP;
        vertices = count + 1;
        return true;
    case D3DPT_TRIANGLELIST:
        mode = GL_TRIANGLES;
        vertices = count * 3;
        return true;
    case D3DPT_TRIANGLESTRIP:
        mode = GL_TRIANGLE_STRIP;
        vertices = count + 2;
        return true;
    case D3DPT_TRIANGLEFAN:
        mode = GL_TRIANGLE_FAN;
        vertices = count + 2;
        return true;
    default:
        return false;
    }
}

D3DXMATRIX Identity() {
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

D3DXCOLOR ColorOf(DWORD argb) {
    return D3DXCOLOR(argb);
}

} // namespace

IDirect3DDevice9* IDirect3DDevice9::Create(std::shared_ptr<GLContext> context,
                                           const D3DPRESENT_PARAMETERS& parameters) {
    if (!context || !context->MakeCurrent() || !epoxy_has_gl_extension("GL_ARB_clip_control"))
        return nullptr;
    auto* device = new IDirect3DDevice9(std::move(context));
    if (!device->m_program->IsValid() || !device->CreateSwapChain(parameters)) {
        device->Release();
        return nullptr;
    }
    device->SetDefaultStates();
    return device;
}

IDirect3DDevice9::IDirect3DDevice9(std::shared_ptr<GLContext> context) : m_context(std::move(context)) {
    // Direct3D's conventions: the first row in memory is the top row, depth runs from 0 to 1.
    glClipControl(GL_UPPER_LEFT, GL_ZERO_TO_ONE);
    glDisable(GL_DITHER);
    glDisable(GL_FRAMEBUFFER_SRGB);
    glEnable(GL_SCISSOR_TEST);
    glGenFramebuffers(1, &m_framebuffer);
    glGenVertexArrays(1, &m_vertexArray);
    glGenBuffers(1, &m_vertexBuffer);
    glGenBuffers(1, &m_indexBuffer);
    glGenSamplers(static_cast<GLsizei>(m_samplers.size()), m_samplers.data());
    glBindVertexArray(m_vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, m_vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, kStreamBytes, nullptr, GL_STREAM_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_indexBuffer);
    m_program = std::make_unique<FixedFunctionProgram>();
    m_pixelConstants.assign(8, {0, 0, 0, 0});
}

IDirect3DDevice9::~IDirect3DDevice9() {
    if (!m_context->MakeCurrent())
        return;
    for (auto& texture : m_textures)
        texture.Reset();
    m_pixelShader.Reset();
    m_stream.Reset();
    m_indices.Reset();
    ReleaseSwapChain();
    m_program.reset();
    glDeleteSamplers(static_cast<GLsizei>(m_samplers.size()), m_samplers.data());
    glDeleteBuffers(1, &m_vertexBuffer);
    glDeleteBuffers(1, &m_indexBuffer);
    glDeleteVertexArrays(1, &m_vertexArray);
    glDeleteFramebuffers(1, &m_framebuffer);
}

bool IDirect3DDevice9::CreateSwapChain(const D3DPRESENT_PARAMETERS& parameters) {
    m_parameters = parameters;
    const UINT width = parameters.BackBufferWidth ? parameters.BackBufferWidth : 640;
    const UINT height = parameters.BackBufferHeight ? parameters.BackBufferHeight : 480;
    m_parameters.BackBufferWidth = width;
    m_parameters.BackBufferHeight = height;
    D3DFORMAT format = parameters.BackBufferFormat;
    if (format != D3DFMT_A8R8G8B8)
        format = D3DFMT_X8R8G8B8;
    m_backBuffer.Reset(
        IDirect3DSurface9::CreateColor(this, m_context, width, height, format, D3DUSAGE_RENDERTARGET,
                                       (parameters.Flags & D3DPRESENTFLAG_LOCKABLE_BACKBUFFER) != 0));
    if (!m_backBuffer)
        return false;
    if (parameters.EnableAutoDepthStencil) {
        m_autoDepth.Reset(IDirect3DSurface9::CreateDepth(this, m_context, width, height,
                                                         parameters.AutoDepthStencilFormat));
        if (!m_autoDepth)
            return false;
    }
    m_renderTarget.Share(m_backBuffer.Get());
    m_depthStencil.Share(m_autoDepth.Get());
    m_targetsAttached = false;
    m_viewport = D3DVIEWPORT9{0, 0, width, height, 0.0f, 1.0f};
    return true;
}

void IDirect3DDevice9::ReleaseSwapChain() {
    m_targetsAttached = false;
    m_renderTarget.Reset();
    m_depthStencil.Reset();
    m_backBuffer.Reset();
    m_autoDepth.Reset();
}

void IDirect3DDevice9::SetDefaultStates() {
    m_renderStates.fill(0);
    m_renderStates[D3DRS_ZENABLE] = m_parameters.EnableAutoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE;
    m_renderStates[D3DRS_FILLMODE] = D3DFILL_SOLID;
    m_renderStates[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
    m_renderStates[D3DRS_ZWRITEENABLE] = TRUE;
    m_renderStates[D3DRS_LASTPIXEL] = TRUE;
    m_renderStates[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    m_renderStates[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    m_renderStates[D3DRS_CULLMODE] = D3DCULL_CCW;
    m_renderStates[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    m_renderStates[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    m_renderStates[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFFu;
    m_renderStates[D3DRS_CLIPPING] = TRUE;
    m_renderStates[D3DRS_LIGHTING] = TRUE;
    m_renderStates[D3DRS_COLORVERTEX] = TRUE;
    m_renderStates[D3DRS_LOCALVIEWER] = TRUE;
    m_renderStates[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    m_renderStates[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
    m_renderStates[D3DRS_AMBIENTMATERIALSOURCE] = D3DMCS_MATERIAL;
    m_renderStates[D3DRS_EMISSIVEMATERIALSOURCE] = D3DMCS_MATERIAL;
    const float one = 1.0f;
    std::memcpy(&m_renderStates[D3DRS_POINTSIZE], &one, sizeof one);
    m_renderStates[D3DRS_COLORWRITEENABLE] = 0xF;
    m_renderStates[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
    m_renderStates[D3DRS_SRCBLENDALPHA] = D3DBLEND_ONE;
    m_renderStates[D3DRS_DESTBLENDALPHA] = D3DBLEND_ZERO;
    m_renderStates[D3DRS_BLENDOPALPHA] = D3DBLENDOP_ADD;
    for (DWORD stage = 0; stage < m_stageStates.size(); ++stage) {
        auto& states = m_stageStates[stage];
        states.fill(0);
        states[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        states[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        states[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        states[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        states[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        states[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        states[D3DTSS_TEXCOORDINDEX] = stage;
    }
    for (DWORD sampler = 0; sampler < m_samplerStates.size(); ++sampler) {
        auto& states = m_samplerStates[sampler];
        states.fill(0);
        states[D3DSAMP_ADDRESSU] = states[D3DSAMP_ADDRESSV] = states[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
        states[D3DSAMP_MAGFILTER] = states[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
        states[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
        states[D3DSAMP_MAXANISOTROPY] = 1;
        for (auto type : {D3DSAMP_ADDRESSU, D3DSAMP_ADDRESSV, D3DSAMP_MAGFILTER, D3DSAMP_MINFILTER})
            SetSamplerState(sampler, type, states[type]);
    }
    m_transforms.clear();
    m_material = D3DMATERIAL9{};
    m_fvf = 0;
}

HRESULT IDirect3DDevice9::Reset(D3DPRESENT_PARAMETERS* parameters) {
    if (parameters == nullptr || !m_context->MakeCurrent())
        return D3DERR_INVALIDCALL;
    ReleaseSwapChain();
    if (!CreateSwapChain(*parameters))
        return D3DERR_NOTAVAILABLE;
    *parameters = m_parameters;
    SetDefaultStates();
    return S_OK;
}

HRESULT IDirect3DDevice9::Present(const RECT*, const RECT*, HWND, const void*) {
    if (!m_context->MakeCurrent() || !m_backBuffer)
        return D3DERR_DEVICELOST;
    const GLint width = m_context->WindowWidth(), height = m_context->WindowHeight();
    if (width > 0 && height > 0) {
        // The back buffer is stored top row first; the window's framebuffer has its first row at the
        // bottom, so the copy turns it over once.
        glBindFramebuffer(GL_READ_FRAMEBUFFER, m_framebuffer);
        glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                               m_backBuffer->GLTexture(), 0);
        m_targetsAttached = false;
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_context->WindowFramebuffer());
        glDisable(GL_SCISSOR_TEST);
        const auto w = static_cast<GLint>(m_parameters.BackBufferWidth);
        const auto h = static_cast<GLint>(m_parameters.BackBufferHeight);
        glBlitFramebuffer(0, 0, w, h, 0, height, width, 0, GL_COLOR_BUFFER_BIT, GL_LINEAR);
        glEnable(GL_SCISSOR_TEST);
        glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
        m_context->SwapBuffers();
    } else {
        glFlush();
    }
    return S_OK;
}

HRESULT IDirect3DDevice9::GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE,
                                        IDirect3DSurface9** surface) {
    if (surface == nullptr || swapChain != 0 || index != 0 || !m_backBuffer)
        return D3DERR_INVALIDCALL;
    *surface = m_backBuffer.Copy();
    return S_OK;
}

HRESULT IDirect3DDevice9::BeginScene() {
    if (m_inScene)
        return D3DERR_INVALIDCALL;
    m_inScene = true;
    return S_OK;
}

HRESULT IDirect3DDevice9::EndScene() {
    if (!m_inScene)
        return D3DERR_INVALIDCALL;
    m_inScene = false;
    return S_OK;
}

bool IDirect3DDevice9::BindTargets() {
    if (!m_context->MakeCurrent() || !m_renderTarget)
        return false;
    GLint bound = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
    if (!m_targetsAttached || static_cast<unsigned>(bound) != m_framebuffer)
        AttachTargets();
    glViewport(static_cast<GLint>(m_viewport.X), static_cast<GLint>(m_viewport.Y),
               static_cast<GLsizei>(m_viewport.Width), static_cast<GLsizei>(m_viewport.Height));
    glDepthRangef(m_viewport.MinZ, m_viewport.MaxZ);
    glScissor(static_cast<GLint>(m_viewport.X), static_cast<GLint>(m_viewport.Y),
              static_cast<GLsizei>(m_viewport.Width), static_cast<GLsizei>(m_viewport.Height));
    return m_targetsComplete;
}

void IDirect3DDevice9::AttachTargets() {
    glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_renderTarget->GLTexture(),
                           static_cast<GLint>(m_renderTarget->Level()));
    const bool stencil = m_depthStencil && m_depthStencil->GLRenderbuffer() != 0 && [this] {
        D3DSURFACE_DESC desc;
        m_depthStencil->GetDesc(&desc);
        return desc.Format == D3DFMT_D24S8;
    }();
    const unsigned depth = m_depthStencil ? m_depthStencil->GLRenderbuffer() : 0;
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, stencil ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                              GL_RENDERBUFFER, depth);
    m_targetsComplete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    m_targetsAttached = true;
}

HRESULT IDirect3DDevice9::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                                DWORD stencil) {
    if (!BindTargets())
        return D3DERR_INVALIDCALL;
    GLbitfield mask = 0;
    if (flags & D3DCLEAR_TARGET) {
        const D3DXCOLOR c(color);
        glClearColor(c.r, c.g, c.b, c.a);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if ((flags & D3DCLEAR_ZBUFFER) && m_depthStencil) {
        glClearDepthf(std::clamp(z, 0.0f, 1.0f));
        glDepthMask(GL_TRUE);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if ((flags & D3DCLEAR_STENCIL) && m_depthStencil) {
        glClearStencil(static_cast<GLint>(stencil));
        glStencilMask(0xFFFFFFFFu);
        mask |= GL_STENCIL_BUFFER_BIT;
    }
    // Without rectangles the whole viewport is cleared; rectangles are cut to it.
    const LONG vx = static_cast<LONG>(m_viewport.X), vy = static_cast<LONG>(m_viewport.Y);
    const LONG vr = vx + static_cast<LONG>(m_viewport.Width), vb = vy + static_cast<LONG>(m_viewport.Height);
    if (count == 0 || rects == nullptr) {
        glClear(mask);
    } else {
        for (DWORD i = 0; i < count; ++i) {
            const LONG left = std::max(rects[i].x1, vx), top = std::max(rects[i].y1, vy);
            const LONG right = std::min(rects[i].x2, vr), bottom = std::min(rects[i].y2, vb);
            if (left >= right || top >= bottom)
                continue;
            glScissor(left, top, right - left, bottom - top);
            glClear(mask);
        }
    }
    glScissor(vx, vy, vr - vx, vb - vy);
    ApplyRasterState();
    return S_OK;
}

HRESULT IDirect3DDevice9::CreateRenderTarget(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE,
                                             DWORD, BOOL lockable, IDirect3DSurface9** surface, HANDLE*) {
    if (surface == nullptr)
        return D3DERR_INVALIDCALL;
    *surface = IDirect3DSurface9::CreateColor(this, m_context, width, height, format, D3DUSAGE_RENDERTARGET,
                                              lockable != FALSE);
    return *surface ? S_OK : D3DERR_INVALIDCALL;
}

HRESULT IDirect3DDevice9::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                                    D3DMULTISAMPLE_TYPE, DWORD, BOOL,
                                                    IDirect3DSurface9** surface, HANDLE*) {
    if (surface == nullptr)
        return D3DERR_INVALIDCALL;
    *surface = IDirect3DSurface9::CreateDepth(this, m_context, width, height, format);
    return *surface ? S_OK : D3DERR_INVALIDCALL;
}

HRESULT IDirect3DDevice9::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                        D3DPOOL pool, IDirect3DTexture9** texture, HANDLE*) {
    if (texture == nullptr)
        return D3DERR_INVALIDCALL;
    *texture = IDirect3DTexture9::Create(this, m_context, width, height, levels, usage, format, pool);
    return *texture ? S_OK : D3DERR_INVALIDCALL;
}

HRESULT IDirect3DDevice9::GetRenderTarget(DWORD index, IDirect3DSurface9** surface) {
    if (surface == nullptr || index != 0)
        return D3DERR_INVALIDCALL;
    *surface = m_renderTarget.Copy();
    return m_renderTarget ? S_OK : D3DERR_NOTFOUND;
}

HRESULT IDirect3DDevice9::SetRenderTarget(DWORD index, IDirect3DSurface9* surface) {
    if (index != 0 || surface == nullptr || surface->GLTexture() == 0)
        return D3DERR_INVALIDCALL;
    m_renderTarget.Share(surface);
    m_targetsAttached = false;
    // Setting a render target resets the viewport to the whole target.
    D3DSURFACE_DESC desc;
    surface->GetDesc(&desc);
    m_viewport = D3DVIEWPORT9{0, 0, desc.Width, desc.Height, 0.0f, 1.0f};
    return S_OK;
}

HRESULT IDirect3DDevice9::GetDepthStencilSurface(IDirect3DSurface9** surface) {
    if (surface == nullptr)
        return D3DERR_INVALIDCALL;
    *surface = m_depthStencil.Copy();
    return m_depthStencil ? S_OK : D3DERR_NOTFOUND;
}

HRESULT IDirect3DDevice9::SetDepthStencilSurface(IDirect3DSurface9* surface) {
    if (surface && surface->GLRenderbuffer() == 0)
        return D3DERR_INVALIDCALL;
    m_depthStencil.Share(surface);
    m_targetsAttached = false;
    return S_OK;
}

HRESULT IDirect3DDevice9::GetViewport(D3DVIEWPORT9* viewport) {
    if (viewport == nullptr)
        return D3DERR_INVALIDCALL;
    *viewport = m_viewport;
    return S_OK;
}

HRESULT IDirect3DDevice9::SetViewport(const D3DVIEWPORT9* viewport) {
    if (viewport == nullptr || viewport->Width == 0 || viewport->Height == 0)
        return D3DERR_INVALIDCALL;
    m_viewport = *viewport;
    return S_OK;
}

const D3DXMATRIX& IDirect3DDevice9::Transform(D3DTRANSFORMSTATETYPE state) const {
    static const D3DXMATRIX identity = Identity();
    const auto found = m_transforms.find(state);
    return found == m_transforms.end() ? identity : found->second;
}

HRESULT IDirect3DDevice9::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    if (matrix == nullptr)
        return D3DERR_INVALIDCALL;
    m_transforms[state] = *matrix;
    return S_OK;
}

HRESULT IDirect3DDevice9::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    if (matrix == nullptr)
        return D3DERR_INVALIDCALL;
    *matrix = Transform(state);
    return S_OK;
}

HRESULT IDirect3DDevice9::SetMaterial(const D3DMATERIAL9* material) {
    if (material == nullptr)
        return D3DERR_INVALIDCALL;
    m_material = *material;
    return S_OK;
}

HRESULT IDirect3DDevice9::GetMaterial(D3DMATERIAL9* material) {
    if (material == nullptr)
        return D3DERR_INVALIDCALL;
    *material = m_material;
    return S_OK;
}

HRESULT IDirect3DDevice9::SetLight(DWORD index, const D3DLIGHT9* light) {
    if (light == nullptr)
        return D3DERR_INVALIDCALL;
    m_lights[index] = *light;
    return S_OK;
}

HRESULT IDirect3DDevice9::GetLight(DWORD index, D3DLIGHT9* light) {
    const auto found = m_lights.find(index);
    if (light == nullptr || found == m_lights.end())
        return D3DERR_INVALIDCALL;
    *light = found->second;
    return S_OK;
}

HRESULT IDirect3DDevice9::LightEnable(DWORD index, BOOL enable) {
    // Enabling a light that was never set gives it Direct3D's default: white, pointing along +Z.
    if (m_lights.find(index) == m_lights.end()) {
        D3DLIGHT9 light;
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = D3DXCOLOR(1, 1, 1, 0);
        light.Direction = D3DXVECTOR3(0, 0, 1);
        m_lights[index] = light;
    }
    m_lightEnabled[index] = enable != FALSE;
    return S_OK;
}

HRESULT IDirect3DDevice9::GetLightEnable(DWORD index, BOOL* enable) {
    const auto found = m_lightEnabled.find(index);
    if (enable == nullptr || m_lights.find(index) == m_lights.end())
        return D3DERR_INVALIDCALL;
    *enable = found != m_lightEnabled.end() && found->second ? TRUE : FALSE;
    return S_OK;
}

HRESULT IDirect3DDevice9::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (state >= D3DRS_COUNT)
        return D3DERR_INVALIDCALL;
    m_renderStates[state] = value;
    return S_OK;
}

HRESULT IDirect3DDevice9::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    if (value == nullptr || state >= D3DRS_COUNT)
        return D3DERR_INVALIDCALL;
    *value = m_renderStates[state];
    return S_OK;
}

HRESULT IDirect3DDevice9::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    if (stage >= m_textures.size())
        return D3DERR_INVALIDCALL;
    m_textures[stage].Share(texture);
    return S_OK;
}

HRESULT IDirect3DDevice9::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) {
    if (texture == nullptr || stage >= m_textures.size())
        return D3DERR_INVALIDCALL;
    *texture = m_textures[stage].Copy();
    return S_OK;
}

HRESULT IDirect3DDevice9::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    if (stage >= m_stageStates.size() || type >= D3DTSS_COUNT)
        return D3DERR_INVALIDCALL;
    m_stageStates[stage][type] = value;
    return S_OK;
}

HRESULT IDirect3DDevice9::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    if (value == nullptr || stage >= m_stageStates.size() || type >= D3DTSS_COUNT)
        return D3DERR_INVALIDCALL;
    *value = m_stageStates[stage][type];
    return S_OK;
}

HRESULT IDirect3DDevice9::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    if (sampler >= m_samplerStates.size() || type >= D3DSAMP_COUNT)
        return D3DERR_INVALIDCALL;
    auto& states = m_samplerStates[sampler];
    states[type] = value;
    if (!m_context->MakeCurrent())
        return S_OK;
    const GLuint object = m_samplers[sampler];
    glSamplerParameteri(object, GL_TEXTURE_WRAP_S, AddressMode(states[D3DSAMP_ADDRESSU]));
    glSamplerParameteri(object, GL_TEXTURE_WRAP_T, AddressMode(states[D3DSAMP_ADDRESSV]));
    glSamplerParameteri(object, GL_TEXTURE_MAG_FILTER,
                        states[D3DSAMP_MAGFILTER] >= D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST);
    glSamplerParameteri(object, GL_TEXTURE_MIN_FILTER,
                        MinFilter(states[D3DSAMP_MINFILTER], states[D3DSAMP_MIPFILTER]));
    const D3DXCOLOR border(states[D3DSAMP_BORDERCOLOR]);
    glSamplerParameterfv(object, GL_TEXTURE_BORDER_COLOR, &border.r);
    return S_OK;
}

HRESULT IDirect3DDevice9::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) {
    if (value == nullptr || sampler >= m_samplerStates.size() || type >= D3DSAMP_COUNT)
        return D3DERR_INVALIDCALL;
    *value = m_samplerStates[sampler][type];
    return S_OK;
}

HRESULT IDirect3DDevice9::SetFVF(DWORD fvf) {
    m_fvf = fvf;
    return S_OK;
}

HRESULT IDirect3DDevice9::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                             IDirect3DVertexBuffer9** buffer, HANDLE*) {
    if (buffer == nullptr)
        return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    if (length == 0)
        return D3DERR_INVALIDCALL;
    if (length > kMaxBufferBytes)
        return E_OUTOFMEMORY;
    D3DVERTEXBUFFER_DESC desc;
    desc.Usage = usage;
    desc.Pool = pool;
    desc.Size = length;
    desc.FVF = fvf;
    *buffer = IDirect3DVertexBuffer9::Create(this, m_context, desc);
    return S_OK;
}

HRESULT IDirect3DDevice9::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                            IDirect3DIndexBuffer9** buffer, HANDLE*) {
    if (buffer == nullptr)
        return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    if (length == 0 || (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32))
        return D3DERR_INVALIDCALL;
    if (length > kMaxBufferBytes)
        return E_OUTOFMEMORY;
    D3DINDEXBUFFER_DESC desc;
    desc.Format = format;
    desc.Usage = usage;
    desc.Pool = pool;
    desc.Size = length;
    *buffer = IDirect3DIndexBuffer9::Create(this, m_context, desc);
    return S_OK;
}

HRESULT IDirect3DDevice9::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset,
                                          UINT stride) {
    if (stream > 1)
        return D3DERR_INVALIDCALL;
    if (buffer != nullptr) {
        D3DVERTEXBUFFER_DESC desc;
        buffer->GetDesc(&desc);
        if (stride == 0 || offset > desc.Size || (stream == 1 && stride < sizeof(D3DXMATRIX)))
            return D3DERR_INVALIDCALL;
    }
    (stream == 0 ? m_stream : m_instances).Share(buffer);
    (stream == 0 ? m_streamOffset : m_instanceOffset) = offset;
    (stream == 0 ? m_streamStride : m_instanceStride) = stride;
    return S_OK;
}

HRESULT IDirect3DDevice9::GetStreamSource(UINT stream, IDirect3DVertexBuffer9** buffer, UINT* offset,
                                          UINT* stride) {
    if (stream > 1 || buffer == nullptr || offset == nullptr || stride == nullptr)
        return D3DERR_INVALIDCALL;
    *buffer = (stream == 0 ? m_stream : m_instances).Copy();
    *offset = stream == 0 ? m_streamOffset : m_instanceOffset;
    *stride = stream == 0 ? m_streamStride : m_instanceStride;
    return S_OK;
}

HRESULT IDirect3DDevice9::SetStreamSourceFreq(UINT stream, UINT setting) {
    const UINT kind = setting & (D3DSTREAMSOURCE_INDEXEDDATA | D3DSTREAMSOURCE_INSTANCEDATA);
    const UINT count = setting & ~(D3DSTREAMSOURCE_INDEXEDDATA | D3DSTREAMSOURCE_INSTANCEDATA);
    if (stream > 1 || count == 0 || kind == (D3DSTREAMSOURCE_INDEXEDDATA | D3DSTREAMSOURCE_INSTANCEDATA) ||
        (stream == 0 && kind == D3DSTREAMSOURCE_INSTANCEDATA) ||
        (stream == 1 && kind == D3DSTREAMSOURCE_INDEXEDDATA))
        return D3DERR_INVALIDCALL;
    m_streamFrequency[stream] = setting;
    return S_OK;
}

HRESULT IDirect3DDevice9::GetStreamSourceFreq(UINT stream, UINT* setting) {
    if (stream > 1 || setting == nullptr)
        return D3DERR_INVALIDCALL;
    *setting = m_streamFrequency[stream];
    return S_OK;
}

UINT IDirect3DDevice9::InstanceCount() const {
    if ((m_streamFrequency[0] & D3DSTREAMSOURCE_INDEXEDDATA) == 0 ||
        m_streamFrequency[1] != (D3DSTREAMSOURCE_INSTANCEDATA | 1) || !m_instances)
        return 0;
    const UINT copies = m_streamFrequency[0] & ~D3DSTREAMSOURCE_INDEXEDDATA;
    D3DVERTEXBUFFER_DESC desc;
    m_instances->GetDesc(&desc);
    const UINT available = (desc.Size - m_instanceOffset) / m_instanceStride;
    return copies <= available ? copies : 0;
}

void IDirect3DDevice9::BindInstanceMatrices() {
    m_bufferUploads += m_instances->Buffer().Bind(GL_ARRAY_BUFFER) ? 1 : 0;
    for (GLuint row = 0; row < 4; ++row) {
        const GLuint slot = FixedFunctionProgram::InstanceWorld + row;
        glEnableVertexAttribArray(slot);
        glVertexAttribPointer(slot, 4, GL_FLOAT, GL_FALSE, static_cast<GLsizei>(m_instanceStride),
                              reinterpret_cast<const void*>(std::uintptr_t{m_instanceOffset} + 16 * row));
        glVertexAttribDivisor(slot, 1);
    }
}

void IDirect3DDevice9::UnbindInstanceMatrices() {
    for (GLuint row = 0; row < 4; ++row) {
        glVertexAttribDivisor(FixedFunctionProgram::InstanceWorld + row, 0);
        glDisableVertexAttribArray(FixedFunctionProgram::InstanceWorld + row);
    }
}

HRESULT IDirect3DDevice9::SetIndices(IDirect3DIndexBuffer9* buffer) {
    m_indices.Share(buffer);
    return S_OK;
}

HRESULT IDirect3DDevice9::GetIndices(IDirect3DIndexBuffer9** buffer) {
    if (buffer == nullptr)
        return D3DERR_INVALIDCALL;
    *buffer = m_indices.Copy();
    return S_OK;
}

HRESULT IDirect3DDevice9::GetFVF(DWORD* fvf) {
    if (fvf == nullptr)
        return D3DERR_INVALIDCALL;
    *fvf = m_fvf;
    return S_OK;
}

HRESULT IDirect3DDevice9::CreatePixelShader(const DWORD* function, IDirect3DPixelShader9** shader) {
    if (function == nullptr || shader == nullptr)
        return D3DERR_INVALIDCALL;
    IDirect3DPixelShader9::Program program;
    if (!IDirect3DPixelShader9::Decode(function, program))
        return D3DERR_INVALIDCALL;
    *shader = new IDirect3DPixelShader9(std::move(program));
    return S_OK;
}

HRESULT IDirect3DDevice9::SetPixelShader(IDirect3DPixelShader9* shader) {
    m_pixelShader.Share(shader);
    return S_OK;
}

HRESULT IDirect3DDevice9::GetPixelShader(IDirect3DPixelShader9** shader) {
    if (shader == nullptr)
        return D3DERR_INVALIDCALL;
    *shader = m_pixelShader.Copy();
    return S_OK;
}

HRESULT IDirect3DDevice9::SetPixelShaderConstantF(UINT start, const float* data, UINT count) {
    if (data == nullptr || start + count > 224)
        return D3DERR_INVALIDCALL;
    if (m_pixelConstants.size() < start + count)
        m_pixelConstants.resize(start + count, {0, 0, 0, 0});
    for (UINT i = 0; i < count; ++i)
        std::memcpy(m_pixelConstants[start + i].data(), data + 4 * i, 4 * sizeof(float));
    return S_OK;
}

void IDirect3DDevice9::ApplyRasterState() {
    const auto& rs = m_renderStates;
    if (rs[D3DRS_ZENABLE] != D3DZB_FALSE && m_depthStencil)
        glEnable(GL_DEPTH_TEST);
    else
        glDisable(GL_DEPTH_TEST);
    glDepthFunc(CompareFunction(rs[D3DRS_ZFUNC]));
    glDepthMask(rs[D3DRS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);
    if (rs[D3DRS_ALPHABLENDENABLE]) {
        glEnable(GL_BLEND);
        if (rs[D3DRS_SEPARATEALPHABLENDENABLE]) {
            glBlendFuncSeparate(BlendFactor(rs[D3DRS_SRCBLEND]), BlendFactor(rs[D3DRS_DESTBLEND]),
                                BlendFactor(rs[D3DRS_SRCBLENDALPHA]), BlendFactor(rs[D3DRS_DESTBLENDALPHA]));
            glBlendEquationSeparate(BlendEquation(rs[D3DRS_BLENDOP]), BlendEquation(rs[D3DRS_BLENDOPALPHA]));
        } else {
            glBlendFunc(BlendFactor(rs[D3DRS_SRCBLEND]), BlendFactor(rs[D3DRS_DESTBLEND]));
            glBlendEquation(BlendEquation(rs[D3DRS_BLENDOP]));
        }
    } else {
        glDisable(GL_BLEND);
    }
    // Direct3D's front faces wind clockwise on screen; with the upper-left origin GL sees the same
    // winding, so "cull counter-clockwise" is "cull GL's back faces" with clockwise front faces.
    glFrontFace(GL_CW);
    if (rs[D3DRS_CULLMODE] == D3DCULL_NONE) {
        glDisable(GL_CULL_FACE);
    } else {
        glEnable(GL_CULL_FACE);
        glCullFace(rs[D3DRS_CULLMODE] == D3DCULL_CCW ? GL_BACK : GL_FRONT);
    }
    glPolygonMode(GL_FRONT_AND_BACK, rs[D3DRS_FILLMODE] == D3DFILL_WIREFRAME ? GL_LINE
                                     : rs[D3DRS_FILLMODE] == D3DFILL_POINT   ? GL_POINT
                                                                             : GL_FILL);
    const DWORD mask = rs[D3DRS_COLORWRITEENABLE];
    glColorMask(mask & 1, mask & 2, mask & 4, mask & 8);
}

bool IDirect3DDevice9::PrepareToDraw() {
    if (!BindTargets())
        return false;
    ApplyRasterState();
    return true;
}

void IDirect3DDevice9::ApplyTextureStage0() {
    glActiveTexture(GL_TEXTURE0);
    IDirect3DBaseTexture9* texture = m_textures[0].Get();
    glBindTexture(GL_TEXTURE_2D, texture ? texture->GLTexture() : 0);
    glBindSampler(0, m_samplers[0]);
}

void IDirect3DDevice9::ApplyAllTextureStages() {
    for (std::size_t stage = 0; stage < m_textures.size(); ++stage) {
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(stage));
        glBindTexture(GL_TEXTURE_2D, m_textures[stage] ? m_textures[stage]->GLTexture() : 0);
        glBindSampler(static_cast<GLuint>(stage), m_samplers[stage]);
    }
    glActiveTexture(GL_TEXTURE0);
}

namespace {

// Where each vertex element sits within one vertex of the given format.
struct VertexLayout {
    int weights = 0; // blend weights stored as floats
    bool indices = false;
    GLintptr normal = -1, diffuse = -1, specular = -1, texCoord = -1, weightOffset = 12, indexOffset = -1;
};

VertexLayout LayoutOf(DWORD fvf) {
    VertexLayout layout;
    GLintptr offset = 12;
    const DWORD position = fvf & D3DFVF_POSITION_MASK;
    if (position >= D3DFVF_XYZB1 && position <= D3DFVF_XYZB5) {
        const int stored = static_cast<int>((position - D3DFVF_XYZRHW) / 2);
        int betas = stored;
        if (fvf & (D3DFVF_LASTBETA_UBYTE4 | D3DFVF_LASTBETA_D3DCOLOR)) {
            layout.indices = true;
            --betas;
            layout.indexOffset = offset + 4 * betas;
        }
        layout.weights = betas;
        offset += 4 * stored;
    } else if (position == D3DFVF_XYZRHW) {
        offset = 16;
    }
    if (fvf & D3DFVF_NORMAL) {
        layout.normal = offset;
        offset += 12;
    }
    if (fvf & D3DFVF_PSIZE)
        offset += 4;
    if (fvf & D3DFVF_DIFFUSE) {
        layout.diffuse = offset;
        offset += 4;
    }
    if (fvf & D3DFVF_SPECULAR) {
        layout.specular = offset;
        offset += 4;
    }
    if ((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT)
        layout.texCoord = offset;
    return layout;
}

void Attribute(GLuint slot, GLint size, GLenum type, bool normalized, GLsizei stride, GLintptr offset) {
    if (offset < 0) {
        glDisableVertexAttribArray(slot);
        return;
    }
    glEnableVertexAttribArray(slot);
    glVertexAttribPointer(slot, size, type, normalized ? GL_TRUE : GL_FALSE, stride,
                          reinterpret_cast<const void*>(offset));
}

} // namespace

HRESULT IDirect3DDevice9::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices,
                                          UINT stride) {
    GLenum mode = 0;
    UINT vertexCount = 0;
    if (!Primitive(type, primitiveCount, mode, vertexCount))
        return D3DERR_INVALIDCALL;
    return Draw(type, primitiveCount, vertices, vertexCount, stride, nullptr, D3DFMT_UNKNOWN);
}

HRESULT IDirect3DDevice9::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount,
                                                 UINT primitiveCount, const void* indices,
                                                 D3DFORMAT indexFormat, const void* vertices, UINT stride) {
    if (indices == nullptr || (indexFormat != D3DFMT_INDEX16 && indexFormat != D3DFMT_INDEX32))
        return D3DERR_INVALIDCALL;
    return Draw(type, primitiveCount, vertices, minIndex + vertexCount, stride, indices, indexFormat);
}

FixedFunctionProgram::Inputs IDirect3DDevice9::GatherInputs() const {
    FixedFunctionProgram::Inputs in;
    const auto& rs = m_renderStates;
    for (unsigned i = 0; i < 4; ++i)
        in.world[i] = Transform(D3DTS_WORLDMATRIX(i));
    in.view = Transform(D3DTS_VIEW);
    in.projection = Transform(D3DTS_PROJECTION);
    const DWORD blend = rs[D3DRS_VERTEXBLEND];
    in.blendMatrices = blend >= D3DVBF_1WEIGHTS && blend <= D3DVBF_3WEIGHTS ? static_cast<int>(blend) + 1 : 1;
    in.indexedBlend = rs[D3DRS_INDEXEDVERTEXBLENDENABLE] != 0;
    in.fvf = m_fvf;
    in.lighting = rs[D3DRS_LIGHTING] != 0 && (m_fvf & D3DFVF_POSITION_MASK) != D3DFVF_XYZRHW;
    in.globalAmbient = ColorOf(rs[D3DRS_AMBIENT]);
    in.material = m_material;
    in.diffuseSource = static_cast<int>(rs[D3DRS_DIFFUSEMATERIALSOURCE]);
    in.ambientSource = static_cast<int>(rs[D3DRS_AMBIENTMATERIALSOURCE]);
    in.specularSource = static_cast<int>(rs[D3DRS_SPECULARMATERIALSOURCE]);
    in.emissiveSource = static_cast<int>(rs[D3DRS_EMISSIVEMATERIALSOURCE]);
    in.colorVertex = rs[D3DRS_COLORVERTEX] != 0;
    in.specularEnable = rs[D3DRS_SPECULARENABLE] != 0;
    in.localViewer = rs[D3DRS_LOCALVIEWER] != 0;
    in.normalizeNormals = rs[D3DRS_NORMALIZENORMALS] != 0;
    for (const auto& [index, enabled] : m_lightEnabled) {
        const auto light = m_lights.find(index);
        if (!enabled || light == m_lights.end() || in.lightCount == 8)
            continue;
        // Point and spot lights are not used here; they light as directional lights along their direction.
        in.lights[static_cast<std::size_t>(in.lightCount++)] = {
            light->second.Direction, light->second.Diffuse, light->second.Specular, light->second.Ambient};
    }
    const auto& stage = m_stageStates[0];
    in.textureBound = static_cast<bool>(m_textures[0]);
    in.colorOp = static_cast<int>(stage[D3DTSS_COLOROP]);
    in.colorArg1 = static_cast<int>(stage[D3DTSS_COLORARG1]);
    in.colorArg2 = static_cast<int>(stage[D3DTSS_COLORARG2]);
    in.alphaOp = static_cast<int>(stage[D3DTSS_ALPHAOP]);
    in.alphaArg1 = static_cast<int>(stage[D3DTSS_ALPHAARG1]);
    in.alphaArg2 = static_cast<int>(stage[D3DTSS_ALPHAARG2]);
    in.textureFactor = ColorOf(rs[D3DRS_TEXTUREFACTOR]);
    if (m_pixelShader) {
        const auto& program = m_pixelShader->GetProgram();
        in.pixelShaderSource = static_cast<int>(program.source);
        const auto defined = program.definitions.find(program.constantRegister);
        const auto& constant = defined != program.definitions.end()
                                   ? defined->second
                                   : m_pixelConstants[static_cast<std::size_t>(program.constantRegister) %
                                                      m_pixelConstants.size()];
        in.pixelConstant = D3DXCOLOR(constant[0], constant[1], constant[2], constant[3]);
    }
    in.alphaTest = rs[D3DRS_ALPHATESTENABLE] != 0;
    in.alphaFunc = static_cast<int>(rs[D3DRS_ALPHAFUNC]);
    in.alphaRef = static_cast<float>(rs[D3DRS_ALPHAREF] & 0xFF);
    in.instanced = m_drawingCopies;
    return in;
}

bool IDirect3DDevice9::BeginDraw() {
    if (!PrepareToDraw())
        return false;
    if (m_overrideProgram) {
        glUseProgram(m_drawingCopies ? m_overrideCopiesProgram : m_overrideProgram);
        ApplyAllTextureStages();
    } else {
        m_program->Use(GatherInputs());
        ApplyTextureStage0();
    }
    glBindVertexArray(m_vertexArray);
    return true;
}

void IDirect3DDevice9::BindVertexLayout(UINT stride, std::intptr_t offset) {
    const VertexLayout layout = LayoutOf(m_fvf);
    const auto size = static_cast<GLsizei>(stride);
    const auto at = [offset](GLintptr element) { return element < 0 ? element : element + offset; };
    Attribute(FixedFunctionProgram::Position, 3, GL_FLOAT, false, size, at(0));
    Attribute(FixedFunctionProgram::Normal, 3, GL_FLOAT, false, size, at(layout.normal));
    Attribute(FixedFunctionProgram::Diffuse, GL_BGRA, GL_UNSIGNED_BYTE, true, size, at(layout.diffuse));
    Attribute(FixedFunctionProgram::Specular, GL_BGRA, GL_UNSIGNED_BYTE, true, size, at(layout.specular));
    Attribute(FixedFunctionProgram::TexCoord, 2, GL_FLOAT, false, size, at(layout.texCoord));
    Attribute(FixedFunctionProgram::Weights, std::max(layout.weights, 1), GL_FLOAT, false, size,
              layout.weights > 0 ? at(layout.weightOffset) : -1);
    Attribute(FixedFunctionProgram::Indices, 4, GL_UNSIGNED_BYTE, false, size, at(layout.indexOffset));
    if (layout.weights == 0)
        glVertexAttrib4f(FixedFunctionProgram::Weights, 1, 0, 0, 0);
    if (!layout.indices)
        glVertexAttrib4f(FixedFunctionProgram::Indices, 0, 1, 2, 3);
}

HRESULT IDirect3DDevice9::Draw(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices,
                               UINT vertexCount, UINT stride, const void* indices, D3DFORMAT indexFormat) {
    GLenum mode = 0;
    UINT count = 0;
    if (vertices == nullptr || stride == 0 || !Primitive(type, primitiveCount, mode, count))
        return D3DERR_INVALIDCALL;
    if (count == 0)
        return S_OK;
    const GLsizeiptr vertexBytes = static_cast<GLsizeiptr>(vertexCount) * stride;
    if (!BeginDraw())
        return D3DERR_INVALIDCALL;
    glBindBuffer(GL_ARRAY_BUFFER, m_vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, std::max<GLsizeiptr>(vertexBytes, 1), vertices, GL_STREAM_DRAW);
    BindVertexLayout(stride, 0);
    if (indices == nullptr) {
        glDrawArrays(mode, 0, static_cast<GLsizei>(count));
    } else {
        const GLsizeiptr indexBytes =
            static_cast<GLsizeiptr>(count) * (indexFormat == D3DFMT_INDEX16 ? 2 : 4);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_indexBuffer);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, indexBytes, indices, GL_STREAM_DRAW);
        glDrawElements(mode, static_cast<GLsizei>(count),
                       indexFormat == D3DFMT_INDEX16 ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT, nullptr);
    }
    return S_OK;
}

bool IDirect3DDevice9::BindStream(UINT& vertices) {
    if (!m_stream || m_streamStride == 0)
        return false;
    D3DVERTEXBUFFER_DESC desc;
    m_stream->GetDesc(&desc);
    vertices = (desc.Size - m_streamOffset) / m_streamStride;
    m_bufferUploads += m_stream->Buffer().Bind(GL_ARRAY_BUFFER) ? 1 : 0;
    BindVertexLayout(m_streamStride, m_streamOffset);
    return true;
}

HRESULT IDirect3DDevice9::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
    GLenum mode = 0;
    UINT count = 0;
    if (!Primitive(type, primitiveCount, mode, count) || !m_stream)
        return D3DERR_INVALIDCALL;
    if (count == 0)
        return S_OK;
    UINT vertices = 0;
    if (!BeginDraw() || !BindStream(vertices) || startVertex > vertices || count > vertices - startVertex)
        return D3DERR_INVALIDCALL;
    glDrawArrays(mode, static_cast<GLint>(startVertex), static_cast<GLsizei>(count));
    return S_OK;
}

HRESULT IDirect3DDevice9::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT, UINT,
                                               UINT startIndex, UINT primitiveCount) {
    GLenum mode = 0;
    UINT count = 0;
    if (!Primitive(type, primitiveCount, mode, count) || !m_stream || !m_indices)
        return D3DERR_INVALIDCALL;
    if (count == 0)
        return S_OK;
    const UINT copies = InstanceCount();
    // An effect's pass draws copies only when built to read their matrices.
    if ((m_streamFrequency[0] & D3DSTREAMSOURCE_INDEXEDDATA) != 0 &&
        (copies == 0 || (m_overrideProgram != 0 && m_overrideCopiesProgram == 0)))
        return D3DERR_INVALIDCALL;
    UINT vertices = 0;
    m_drawingCopies = copies > 0;
    const bool ready = BeginDraw();
    m_drawingCopies = false;
    if (!ready || !BindStream(vertices) || !m_indices->Within(startIndex, count, baseVertex, vertices))
        return D3DERR_INVALIDCALL;
    m_bufferUploads += m_indices->Buffer().Bind(GL_ELEMENT_ARRAY_BUFFER) ? 1 : 0;
    const UINT indexBytes = m_indices->IndexBytes();
    const GLenum indexType = indexBytes == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT;
    const auto* first = reinterpret_cast<const void*>(std::uintptr_t{startIndex} * indexBytes);
    if (copies == 0) {
        glDrawElementsBaseVertex(mode, static_cast<GLsizei>(count), indexType, first, baseVertex);
        return S_OK;
    }
    BindInstanceMatrices();
    glDrawElementsInstancedBaseVertex(mode, static_cast<GLsizei>(count), indexType, first,
                                      static_cast<GLsizei>(copies), baseVertex);
    UnbindInstanceMatrices();
    return S_OK;
}
