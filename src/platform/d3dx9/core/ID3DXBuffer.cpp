#include "ID3DXBuffer.h"

#include "d3d9types.h"

#include <cstring>
#include <utility>

void* ID3DXBuffer::GetBufferPointer() {
    if (m_fill) {
        const Filler fill = std::exchange(m_fill, nullptr);
        m_bytes.resize(m_size);
        fill(m_bytes.data());
    }
    return m_bytes.data();
}

ID3DXBuffer* ID3DXBuffer::FromText(const std::string& text) {
    auto* buffer = new ID3DXBuffer(text.size() + 1);
    std::memcpy(buffer->GetBufferPointer(), text.c_str(), text.size() + 1);
    return buffer;
}

HRESULT D3DXCreateBuffer(DWORD size, LPD3DXBUFFER* buffer) {
    if (buffer == nullptr)
        return D3DERR_INVALIDCALL;
    *buffer = new ID3DXBuffer(size);
    return S_OK;
}
