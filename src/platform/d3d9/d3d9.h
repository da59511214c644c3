// Direct3D 9 on OpenGL 3.3 core: the Direct3D object, the device, surfaces, textures and pixel shaders,
// with Direct3D's names and documented behaviour.
//
// Conventions that make the GL back end behave like Direct3D:
// - every colour surface is a GL texture stored top row first (clip control with an upper-left origin),
//   depth runs from 0 to 1, and LockRect hands out rows as they are, in Direct3D's byte order;
// - matrices go to GLSL as stored (row-major), applied as M * v, which equals Direct3D's v * M;
// - the back buffer is a render target of our own; Present copies it to the window with one flip.
#pragma once

#include "ComPtr.h"
#include "Unknown.h"
#include "d3d9types.h"
#include "gl/FixedFunctionProgram.h"
#include "gl/GLBuffer.h"
#include "gl/GLContext.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

using HANDLE = void*;

struct D3DRECT {
    LONG x1 = 0;
    LONG y1 = 0;
    LONG x2 = 0;
    LONG y2 = 0;
};

struct D3DFormatGL;
class IDirect3DDevice9;
class IDirect3DTexture9;

// Bytes per pixel of a colour format this device stores, 0 for formats it does not.
UINT D3DFormatBytesPerPixel(D3DFORMAT format);
bool D3DFormatIsDepth(D3DFORMAT format);

class IDirect3DResource9 : public IUnknown {
public:
    HRESULT GetDevice(IDirect3DDevice9** device);

protected:
    IDirect3DResource9(IDirect3DDevice9* device, std::shared_ptr<GLContext> context)
        : m_device(device), m_context(std::move(context)) {}
    // Makes the resource's context current so that GL objects can be created or deleted.
    bool UseContext() const { return m_context && m_context->MakeCurrent(); }

    IDirect3DDevice9* m_device;
    std::shared_ptr<GLContext> m_context;
};

class IDirect3DSurface9 : public IDirect3DResource9 {
public:
    HRESULT GetDesc(D3DSURFACE_DESC* desc);
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags);
    HRESULT UnlockRect();

    ULONG AddRef() override;
    ULONG Release() override;

    // The GL objects behind the surface: a texture level for colour, a renderbuffer for depth.
    unsigned GLTexture() const { return m_texture; }
    unsigned GLRenderbuffer() const { return m_renderbuffer; }
    UINT Level() const { return m_level; }

    static IDirect3DSurface9* CreateColor(IDirect3DDevice9* device, std::shared_ptr<GLContext> context,
                                          UINT width, UINT height, D3DFORMAT format, DWORD usage,
                                          bool lockable);
    static IDirect3DSurface9* CreateDepth(IDirect3DDevice9* device, std::shared_ptr<GLContext> context,
                                          UINT width, UINT height, D3DFORMAT format);
    static IDirect3DSurface9* CreateLevel(IDirect3DTexture9* container, std::shared_ptr<GLContext> context,
                                          unsigned texture, UINT level, const D3DSURFACE_DESC& desc);

private:
    friend class IDirect3DBaseTexture9;
    IDirect3DSurface9(IDirect3DDevice9* device, std::shared_ptr<GLContext> context,
                      const D3DSURFACE_DESC& desc)
        : IDirect3DResource9(device, std::move(context)), m_desc(desc) {}
    ~IDirect3DSurface9() override;
    bool ReadRect(const RECT& rect, const D3DFormatGL& gl, D3DLOCKED_RECT* locked);

    D3DSURFACE_DESC m_desc;
    IDirect3DTexture9* m_container = nullptr;
    unsigned m_texture = 0;
    unsigned m_renderbuffer = 0;
    UINT m_level = 0;
    bool m_ownsObjects = false;
    bool m_lockable = true;
    bool m_locked = false;
    DWORD m_lockFlags = 0;
    std::vector<std::uint8_t> m_lockBuffer;
};

class IDirect3DBaseTexture9 : public IDirect3DResource9 {
public:
    DWORD GetLevelCount() const { return static_cast<DWORD>(m_levels.size()); }
    unsigned GLTexture() const { return m_texture; }
    D3DFORMAT Format() const { return m_format; }

protected:
    IDirect3DBaseTexture9(IDirect3DDevice9* device, std::shared_ptr<GLContext> context)
        : IDirect3DResource9(device, std::move(context)) {}
    ~IDirect3DBaseTexture9() override;

    unsigned m_texture = 0;
    D3DFORMAT m_format = D3DFMT_UNKNOWN;
    std::vector<IDirect3DSurface9*> m_levels;
};

class IDirect3DTexture9 : public IDirect3DBaseTexture9 {
public:
    static IDirect3DTexture9* Create(IDirect3DDevice9* device, std::shared_ptr<GLContext> context, UINT width,
                                     UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool);

    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc);
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface);
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags);
    HRESULT UnlockRect(UINT level);

private:
    using IDirect3DBaseTexture9::IDirect3DBaseTexture9;
};

// Vertices in the device's memory for DrawPrimitive and DrawIndexedPrimitive. Locks hand out a copy
// kept in memory; the device sends it to the renderer on the first draw after a lock that may have
// written to it.
class IDirect3DVertexBuffer9 : public IDirect3DResource9 {
public:
    static IDirect3DVertexBuffer9* Create(IDirect3DDevice9* device, std::shared_ptr<GLContext> context,
                                          const D3DVERTEXBUFFER_DESC& desc);

    // Size 0 locks from the offset to the end; a range past the end is refused.
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags);
    HRESULT Unlock();
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc);

    // For the device and D3DX: the contents, and the GL buffer behind them.
    const unsigned char* Contents() const { return m_buffer.Data(); }
    GLBuffer& Buffer() { return m_buffer; }
    const GLBuffer& Buffer() const { return m_buffer; }

private:
    IDirect3DVertexBuffer9(IDirect3DDevice9* device, std::shared_ptr<GLContext> context,
                           const D3DVERTEXBUFFER_DESC& desc);
    ~IDirect3DVertexBuffer9() override;

    D3DVERTEXBUFFER_DESC m_desc;
    GLBuffer m_buffer;
};

// 16- or 32-bit indices in the device's memory for DrawIndexedPrimitive, kept like vertex buffers.
class IDirect3DIndexBuffer9 : public IDirect3DResource9 {
public:
    static IDirect3DIndexBuffer9* Create(IDirect3DDevice9* device, std::shared_ptr<GLContext> context,
                                         const D3DINDEXBUFFER_DESC& desc);

    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags);
    HRESULT Unlock();
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc);

    // For the device and D3DX.
    const unsigned char* Contents() const { return m_buffer.Data(); }
    GLBuffer& Buffer() { return m_buffer; }
    const GLBuffer& Buffer() const { return m_buffer; }
    UINT IndexBytes() const { return m_desc.Format == D3DFMT_INDEX32 ? 4 : 2; }
    UINT Count() const { return m_desc.Size / IndexBytes(); }
    DWORD Index(UINT at) const;
    // Whether count indices from start, each moved by base, all name one of `vertices` vertices. The
    // buffer's lowest and highest index answer most calls without reading the range.
    bool Within(UINT start, UINT count, INT base, UINT vertices);

private:
    IDirect3DIndexBuffer9(IDirect3DDevice9* device, std::shared_ptr<GLContext> context,
                          const D3DINDEXBUFFER_DESC& desc);
    ~IDirect3DIndexBuffer9() override;
    void UpdateBounds();

    D3DINDEXBUFFER_DESC m_desc;
    GLBuffer m_buffer;
    DWORD m_lowest = 0;
    DWORD m_highest = 0;
    unsigned m_boundsVersion = ~0u;
};

class IDirect3DPixelShader9 : public IUnknown {
public:
    // The programs this device runs: the output colour is a constant register, the diffuse colour or
    // the texture colour, optionally times the diffuse colour.
    enum class Source { Constant, Diffuse, Texture, TextureTimesDiffuse };
    struct Program {
        Source source = Source::Constant;
        int constantRegister = 0;
        // Constants defined in the program itself ("def") override the device's for this shader.
        std::map<int, std::array<float, 4>> definitions;
    };

    explicit IDirect3DPixelShader9(Program program) : m_program(std::move(program)) {}
    // Reads back the program from the tokens D3DXAssembleShader writes; false for anything else.
    static bool Decode(const DWORD* tokens, Program& program);
    const Program& GetProgram() const { return m_program; }

private:
    Program m_program;
};

class IDirect3DDevice9 : public IUnknown {
public:
    // Builds the device on a current context; null when the targets cannot be made.
    static IDirect3DDevice9* Create(std::shared_ptr<GLContext> context,
                                    const D3DPRESENT_PARAMETERS& parameters);

    HRESULT TestCooperativeLevel() { return S_OK; }
    HRESULT Reset(D3DPRESENT_PARAMETERS* parameters);
    HRESULT Present(const RECT* source, const RECT* dest, HWND window, const void* dirty);
    HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface);
    HRESULT BeginScene();
    HRESULT EndScene();
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil);

    HRESULT CreateRenderTarget(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                               DWORD quality, BOOL lockable, IDirect3DSurface9** surface, HANDLE* shared);
    HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                      D3DMULTISAMPLE_TYPE multiSample, DWORD quality, BOOL discard,
                                      IDirect3DSurface9** surface, HANDLE* shared);
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, HANDLE* shared);
    HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface);
    HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface);
    HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface);
    HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface);
    HRESULT GetViewport(D3DVIEWPORT9* viewport);
    HRESULT SetViewport(const D3DVIEWPORT9* viewport);

    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix);
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix);
    HRESULT SetMaterial(const D3DMATERIAL9* material);
    HRESULT GetMaterial(D3DMATERIAL9* material);
    HRESULT SetLight(DWORD index, const D3DLIGHT9* light);
    HRESULT GetLight(DWORD index, D3DLIGHT9* light);
    HRESULT LightEnable(DWORD index, BOOL enable);
    HRESULT GetLightEnable(DWORD index, BOOL* enable);
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value);
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value);
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture);
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture);
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value);
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value);
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value);
    HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value);
    HRESULT SetFVF(DWORD fvf);
    HRESULT GetFVF(DWORD* fvf);
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer9** buffer, HANDLE* shared);
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer9** buffer, HANDLE* shared);
    // Stream 0 holds the vertices, which the format set with SetFVF describes. Stream 1 takes part
    // only in instanced drawing, which Direct3D leaves to vertex shaders and which here the
    // fixed-function pipeline does too: with stream 0's frequency D3DSTREAMSOURCE_INDEXEDDATA | n and
    // stream 1's D3DSTREAMSOURCE_INSTANCEDATA | 1, DrawIndexedPrimitive draws the geometry n times,
    // each copy placed by the next world matrix (16 floats, Direct3D's row-major order) of stream 1
    // instead of the world transform. Vertex blending is not applied to such copies.
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride);
    HRESULT GetStreamSource(UINT stream, IDirect3DVertexBuffer9** buffer, UINT* offset, UINT* stride);
    HRESULT SetStreamSourceFreq(UINT stream, UINT setting);
    HRESULT GetStreamSourceFreq(UINT stream, UINT* setting);
    HRESULT SetIndices(IDirect3DIndexBuffer9* buffer);
    HRESULT GetIndices(IDirect3DIndexBuffer9** buffer);
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount);
    // Indices or vertices outside the bound buffers are refused, not drawn.
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex, UINT vertexCount,
                                 UINT startIndex, UINT primitiveCount);
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride);
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount,
                                   UINT primitiveCount, const void* indices, D3DFORMAT indexFormat,
                                   const void* vertices, UINT stride);

    HRESULT CreatePixelShader(const DWORD* function, IDirect3DPixelShader9** shader);
    HRESULT SetPixelShader(IDirect3DPixelShader9* shader);
    HRESULT GetPixelShader(IDirect3DPixelShader9** shader);
    HRESULT SetPixelShaderConstantF(UINT start, const float* data, UINT count);

    // For the rest of the platform layer (fonts, sprites, effects, meshes): the context, and binding
    // the current targets, viewport and raster state before drawing with a program of their own.
    const std::shared_ptr<GLContext>& Context() const { return m_context; }
    bool PrepareToDraw();
    DWORD RenderState(D3DRENDERSTATETYPE state) const { return m_renderStates[state]; }
    const D3DXMATRIX& Transform(D3DTRANSFORMSTATETYPE state) const;
    // While non-zero, draws run this program (an effect pass's) instead of the fixed-function one, with
    // the vertex attributes at the fixed-function program's locations and every stage's texture bound.
    // copiesProgram, where non-zero, is the same pass built to read the world matrix of each instanced
    // copy from stream 1 at the fixed-function program's InstanceWorld slots; it draws the copies.
    void SetOverrideProgram(unsigned program, unsigned copiesProgram = 0) {
        m_overrideProgram = program;
        m_overrideCopiesProgram = copiesProgram;
    }
    unsigned OverrideProgram() const { return m_overrideProgram; }
    // How many times a vertex or index buffer's contents were sent to the renderer, for tests.
    std::uint64_t BufferUploads() const { return m_bufferUploads; }

private:
    explicit IDirect3DDevice9(std::shared_ptr<GLContext> context);
    ~IDirect3DDevice9() override;

    bool CreateSwapChain(const D3DPRESENT_PARAMETERS& parameters);
    void ReleaseSwapChain();
    void SetDefaultStates();
    void ApplyRasterState();
    void ApplyTextureStage0();
    void ApplyAllTextureStages();
    FixedFunctionProgram::Inputs GatherInputs() const;
    bool BindTargets();
    void AttachTargets();
    HRESULT Draw(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT vertexCount,
                 UINT stride, const void* indices, D3DFORMAT indexFormat);
    // Targets, raster state, program and textures for a draw; false when nothing can be drawn.
    bool BeginDraw();
    // The vertex attributes of the current format, from `offset` in the bound array buffer.
    void BindVertexLayout(UINT stride, std::intptr_t offset);
    // Binds the stream's buffer and says how many whole vertices it holds past the offset.
    bool BindStream(UINT& vertices);
    // The copies an instanced draw makes (stream 1 bound and long enough), else 0.
    UINT InstanceCount() const;
    void BindInstanceMatrices();
    void UnbindInstanceMatrices();

    std::shared_ptr<GLContext> m_context;
    D3DPRESENT_PARAMETERS m_parameters;
    ComPtr<IDirect3DSurface9> m_backBuffer;
    ComPtr<IDirect3DSurface9> m_autoDepth;
    ComPtr<IDirect3DSurface9> m_renderTarget;
    ComPtr<IDirect3DSurface9> m_depthStencil;
    std::array<ComPtr<IDirect3DBaseTexture9>, 8> m_textures;
    ComPtr<IDirect3DPixelShader9> m_pixelShader;
    D3DVIEWPORT9 m_viewport;

    std::array<DWORD, D3DRS_COUNT> m_renderStates{};
    std::array<std::array<DWORD, D3DTSS_COUNT>, 8> m_stageStates{};
    std::array<std::array<DWORD, D3DSAMP_COUNT>, 8> m_samplerStates{};
    std::map<DWORD, D3DXMATRIX> m_transforms;
    std::map<DWORD, D3DLIGHT9> m_lights;
    std::map<DWORD, bool> m_lightEnabled;
    D3DMATERIAL9 m_material;
    DWORD m_fvf = 0;
    std::vector<std::array<float, 4>> m_pixelConstants;

    std::unique_ptr<FixedFunctionProgram> m_program;
    unsigned m_overrideProgram = 0;
    unsigned m_overrideCopiesProgram = 0;
    unsigned m_framebuffer = 0;
    // Re-attaching the targets makes the driver validate the framebuffer again, and a software
    // renderer finishes the pending drawing first; so they are attached again only after they change.
    bool m_targetsAttached = false;
    bool m_targetsComplete = false;
    unsigned m_vertexArray = 0;
    unsigned m_vertexBuffer = 0;
    unsigned m_indexBuffer = 0;
    std::array<unsigned, 8> m_samplers{};
    bool m_inScene = false;
    ComPtr<IDirect3DVertexBuffer9> m_stream;
    UINT m_streamOffset = 0;
    UINT m_streamStride = 0;
    ComPtr<IDirect3DVertexBuffer9> m_instances;
    UINT m_instanceOffset = 0;
    UINT m_instanceStride = 0;
    std::array<UINT, 2> m_streamFrequency{1, 1};
    bool m_drawingCopies = false; // the program's inputs are gathered for an instanced draw
    ComPtr<IDirect3DIndexBuffer9> m_indices;
    std::uint64_t m_bufferUploads = 0;
};

class IDirect3D9 : public IUnknown {
public:
    UINT GetAdapterCount() { return 1; }
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode);
    // HAL asks for a GPU; REF accepts Mesa's software rasteriser. Hardware vertex processing also
    // needs the GPU to take the four blend matrices of vertex blending in its vertex stage, which every
    // GL 3.3 GPU does; software vertex processing accepts any GPU context.
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device);

    // The desktop mode reported for windowed devices; the toolkit sets the real one when it has it.
    static void SetDesktopMode(const D3DDISPLAYMODE& mode);

    // Lets tests pretend the machine has (or lacks) a GPU: decides which device types can be created.
    using DeviceTypeFilter = std::function<bool(D3DDEVTYPE type, DWORD behaviorFlags)>;
    static void SetDeviceTypeFilter(DeviceTypeFilter filter);
};

IDirect3D9* Direct3DCreate9(UINT sdkVersion);
