#include "d3d9.h"

IDirect3DVertexBuffer9::IDirect3DVertexBuffer9(IDirect3DDevice9* device, std::shared_ptr<GLContext> context,
                                               const D3DVERTEXBUFFER_DESC& desc)
    : IDirect3DResource9(device, std::move(context)), m_desc(desc),
      m_buffer(desc.Size, (desc.Usage & D3DUSAGE_DYNAMIC) != 0) {}

IDirect3DVertexBuffer9::~IDirect3DVertexBuffer9() {
    if (!UseContext())
        m_buffer.Abandon();
}

IDirect3DVertexBuffer9* IDirect3DVertexBuffer9::Create(IDirect3DDevice9* device,
                                                       std::shared_ptr<GLContext> context,
                                                       const D3DVERTEXBUFFER_DESC& desc) {
    return new IDirect3DVertexBuffer9(device, std::move(context), desc);
}

HRESULT IDirect3DVertexBuffer9::Lock(UINT offset, UINT size, void** data, DWORD flags) {
    if (data == nullptr)
        return D3DERR_INVALIDCALL;
    *data = m_buffer.Lock(offset, size == 0 && offset <= m_desc.Size ? m_desc.Size - offset : size,
                          (flags & D3DLOCK_READONLY) == 0);
    return *data != nullptr ? S_OK : D3DERR_INVALIDCALL;
}

HRESULT IDirect3DVertexBuffer9::Unlock() {
    m_buffer.Unlock();
    return S_OK;
}

HRESULT IDirect3DVertexBuffer9::GetDesc(D3DVERTEXBUFFER_DESC* desc) {
    if (desc == nullptr)
        return D3DERR_INVALIDCALL;
    *desc = m_desc;
    return S_OK;
}
