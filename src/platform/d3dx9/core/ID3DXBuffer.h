// A block of bytes handed out by D3DX: assembled shader code, error text, material lists.
#pragma once

#include "Unknown.h"

#include <string>
#include <vector>

class ID3DXBuffer : public IUnknown {
public:
    explicit ID3DXBuffer(std::size_t size) : m_bytes(size) {}
    static ID3DXBuffer* FromText(const std::string& text);

    void* GetBufferPointer() { return m_bytes.data(); }
    DWORD GetBufferSize() const { return static_cast<DWORD>(m_bytes.size()); }

private:
    std::vector<unsigned char> m_bytes;
};

using LPD3DXBUFFER = ID3DXBuffer*;

HRESULT D3DXCreateBuffer(DWORD size, LPD3DXBUFFER* buffer);
