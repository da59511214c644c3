#include "d3d9.h"

#include <algorithm>
#include <cstring>

IDirect3DIndexBuffer9::IDirect3DIndexBuffer9(IDirect3DDevice9* device, std::shared_ptr<GLContext> context,
                                             const D3DINDEXBUFFER_DESC& desc)
    : IDirect3DResource9(device, std::move(context)), m_desc(desc),
      m_buffer(desc.Size, (desc.Usage & D3DUSAGE_DYNAMIC) != 0) {}

IDirect3DIndexBuffer9::~IDirect3DIndexBuffer9() {
    if (!UseContext())
        m_buffer.Abandon();
}

IDirect3DIndexBuffer9* IDirect3DIndexBuffer9::Create(IDirect3DDevice9* device,
                                                     std::shared_ptr<GLContext> context,
                                                     const D3DINDEXBUFFER_DESC& desc) {
    return new IDirect3DIndexBuffer9(device, std::move(context), desc);
}

HRESULT IDirect3DIndexBuffer9::Lock(UINT offset, UINT size, void** data, DWORD flags) {
    if (data == nullptr)
        return D3DERR_INVALIDCALL;
    *data = m_buffer.Lock(offset, size == 0 && offset <= m_desc.Size ? m_desc.Size - offset : size,
                          (flags & D3DLOCK_READONLY) == 0);
    return *data != nullptr ? S_OK : D3DERR_INVALIDCALL;
}

HRESULT IDirect3DIndexBuffer9::Unlock() {
    m_buffer.Unlock();
    return S_OK;
}

HRESULT IDirect3DIndexBuffer9::GetDesc(D3DINDEXBUFFER_DESC* desc) {
    if (desc == nullptr)
        return D3DERR_INVALIDCALL;
    *desc = m_desc;
    return S_OK;
}

DWORD IDirect3DIndexBuffer9::Index(UINT at) const {
    const unsigned char* bytes = m_buffer.Data() + std::size_t{at} * IndexBytes();
    if (IndexBytes() == 4) {
        std::uint32_t wide;
        std::memcpy(&wide, bytes, 4);
        return wide;
    }
    std::uint16_t narrow;
    std::memcpy(&narrow, bytes, 2);
    return narrow;
}

void IDirect3DIndexBuffer9::UpdateBounds() {
    if (m_boundsVersion == m_buffer.Version() && !m_buffer.Writing())
        return;
    m_lowest = ~DWORD{0};
    m_highest = 0;
    for (UINT i = 0; i < Count(); ++i) {
        const DWORD index = Index(i);
        m_lowest = std::min(m_lowest, index);
        m_highest = std::max(m_highest, index);
    }
    m_boundsVersion = m_buffer.Version();
}

bool IDirect3DIndexBuffer9::Within(UINT start, UINT count, INT base, UINT vertices) {
    if (start > Count() || count > Count() - start)
        return false;
    const auto fits = [base, vertices](DWORD index) {
        const std::int64_t moved = std::int64_t{index} + base;
        return moved >= 0 && moved < std::int64_t{vertices};
    };
    UpdateBounds();
    if (count == 0 || (fits(m_lowest) && fits(m_highest)))
        return true;
    for (UINT i = start; i < start + count; ++i)
        if (!fits(Index(i)))
            return false;
    return true;
}
