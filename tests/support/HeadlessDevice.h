// A Direct3D device on the headless software renderer, with helpers to read back what was drawn.
#pragma once

#include "ComPtr.h"
#include "d3d9.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

class HeadlessDevice : public ::testing::Test {
protected:
    static constexpr UINT kWidth = 64;
    static constexpr UINT kHeight = 48;

    void SetUp() override {
        m_d3d = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(m_d3d, nullptr);
        D3DPRESENT_PARAMETERS parameters;
        parameters.BackBufferWidth = kWidth;
        parameters.BackBufferHeight = kHeight;
        parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
        parameters.Windowed = TRUE;
        parameters.SwapEffect = D3DSWAPEFFECT_FLIP;
        parameters.EnableAutoDepthStencil = TRUE;
        parameters.AutoDepthStencilFormat = D3DFMT_D16;
        parameters.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
        ASSERT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_REF, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                      &parameters, &m_device),
                  S_OK)
            << "no headless GL 3.3 context (Mesa's EGL and llvmpipe are needed)";
    }

    void TearDown() override {
        if (m_device)
            m_device->Release();
        if (m_d3d)
            m_d3d->Release();
    }

    // Every pixel of a surface as Direct3D's 32-bit ARGB values, top row first.
    static std::vector<DWORD> Pixels(IDirect3DSurface9* surface) {
        D3DSURFACE_DESC desc;
        surface->GetDesc(&desc);
        D3DLOCKED_RECT locked;
        std::vector<DWORD> pixels;
        if (surface->LockRect(&locked, nullptr, D3DLOCK_READONLY) != S_OK)
            return pixels;
        for (UINT y = 0; y < desc.Height; ++y) {
            const auto* row =
                reinterpret_cast<const DWORD*>(static_cast<const char*>(locked.pBits) + y * locked.Pitch);
            pixels.insert(pixels.end(), row, row + desc.Width);
        }
        surface->UnlockRect();
        return pixels;
    }

    std::vector<DWORD> BackBufferPixels() {
        IDirect3DSurface9* back = nullptr;
        m_device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
        auto pixels = Pixels(back);
        back->Release();
        return pixels;
    }

    DWORD Pixel(const std::vector<DWORD>& pixels, UINT x, UINT y) const { return pixels.at(y * kWidth + x); }

    template <class Buffer> static void Fill(Buffer* buffer, const void* data, std::size_t bytes) {
        void* locked = nullptr;
        ASSERT_EQ(buffer->Lock(0, 0, &locked, 0), S_OK);
        std::memcpy(locked, data, bytes);
        buffer->Unlock();
    }

    // Managed buffers holding the given vertices (or matrices) and 16-bit indices.
    template <class T> ComPtr<IDirect3DVertexBuffer9> VertexBuffer(const std::vector<T>& items) {
        ComPtr<IDirect3DVertexBuffer9> buffer;
        const auto bytes = static_cast<UINT>(items.size() * sizeof(T));
        if (m_device->CreateVertexBuffer(bytes, 0, 0, D3DPOOL_MANAGED, buffer.Receive(), nullptr) == S_OK)
            Fill(buffer.Get(), items.data(), bytes);
        return buffer;
    }
    ComPtr<IDirect3DIndexBuffer9> IndexBuffer(const std::vector<WORD>& indices) {
        ComPtr<IDirect3DIndexBuffer9> buffer;
        const auto bytes = static_cast<UINT>(indices.size() * sizeof(WORD));
        if (m_device->CreateIndexBuffer(bytes, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, buffer.Receive(),
                                        nullptr) == S_OK)
            Fill(buffer.Get(), indices.data(), bytes);
        return buffer;
    }

    IDirect3D9* m_d3d = nullptr;
    IDirect3DDevice9* m_device = nullptr;
};
