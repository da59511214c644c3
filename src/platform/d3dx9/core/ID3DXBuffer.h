// A block of bytes handed out by D3DX: assembled shader code, error text, material lists, adjacency.
// Contents that are costly to make and often never read (a loaded mesh's adjacency) may be made when the
// buffer is first read instead: the size is known at once, and the bytes are the same whenever they are
// looked at.
#pragma once

#include "Unknown.h"

#include <functional>
#include <string>
#include <vector>

class ID3DXBuffer : public IUnknown {
public:
    using Filler = std::function<void(unsigned char* bytes)>;

    explicit ID3DXBuffer(std::size_t size) : m_bytes(size), m_size(size) {}
    // `fill` writes all `size` bytes on the first GetBufferPointer; it is dropped after that.
    ID3DXBuffer(std::size_t size, Filler fill) : m_size(size), m_fill(std::move(fill)) {}
    static ID3DXBuffer* FromText(const std::string& text);

    void* GetBufferPointer();
    DWORD GetBufferSize() const { return static_cast<DWORD>(m_size); }

private:
    std::vector<unsigned char> m_bytes;
    std::size_t m_size;
    Filler m_fill;
};

using LPD3DXBUFFER = ID3DXBuffer*;

HRESULT D3DXCreateBuffer(DWORD size, LPD3DXBUFFER* buffer);
