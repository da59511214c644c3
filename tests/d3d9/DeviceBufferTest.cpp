// Vertex and index buffers on the headless device: drawing from them matches drawing from memory,
// their contents reach the renderer once and again only after a lock that may have written, and
// ranges or indices outside them are refused.
#include "HeadlessDevice.h"
#include "TestMatrices.h"
#include "TestVertices.h"

#include <cstring>
#include <functional>
#include <vector>

namespace {

// Two quads side by side in clip space: red on the left, green on the right.
const std::vector<ColorVertex> kQuads = {
    {-1, 1, 0.5f, 0xFFFF0000}, {0, 1, 0.5f, 0xFFFF0000},  {-1, -1, 0.5f, 0xFFFF0000},
    {0, -1, 0.5f, 0xFFFF0000}, {0, 1, 0.5f, 0xFF00FF00},  {1, 1, 0.5f, 0xFF00FF00},
    {0, -1, 0.5f, 0xFF00FF00}, {1, -1, 0.5f, 0xFF00FF00},
};
const std::vector<WORD> kQuadIndices = {0, 1, 2, 2, 1, 3, 4, 5, 6, 6, 5, 7};

class DeviceBuffers : public HeadlessDevice {
protected:
    void SetUp() override {
        HeadlessDevice::SetUp();
        if (!m_device)
            return;
        const D3DXMATRIX identity = Identity();
        for (auto state : {D3DTS_WORLD, D3DTS_VIEW, D3DTS_PROJECTION})
            m_device->SetTransform(state, &identity);
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        m_device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
        m_vertices = VertexBuffer(kQuads);
        m_indices = IndexBuffer(kQuadIndices);
        ASSERT_TRUE(m_vertices && m_indices);
        m_device->SetStreamSource(0, m_vertices.Get(), 0, sizeof(ColorVertex));
        m_device->SetIndices(m_indices.Get());
    }

    void TearDown() override {
        m_vertices.Reset();
        m_indices.Reset();
        HeadlessDevice::TearDown();
    }

    std::vector<DWORD> Drawn(const std::function<HRESULT()>& draw, HRESULT expected = S_OK) {
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        EXPECT_EQ(draw(), expected);
        return BackBufferPixels();
    }

    ComPtr<IDirect3DVertexBuffer9> m_vertices;
    ComPtr<IDirect3DIndexBuffer9> m_indices;
};

} // namespace

TEST_F(DeviceBuffers, DrawingFromBuffersMatchesDrawingFromMemory) {
    const auto fromMemory = Drawn([&] {
        return m_device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 8, 4, kQuadIndices.data(),
                                                D3DFMT_INDEX16, kQuads.data(), sizeof(ColorVertex));
    });
    EXPECT_EQ(Pixel(fromMemory, kWidth / 4, kHeight / 2), 0xFFFF0000u);
    EXPECT_EQ(Drawn([&] { return m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 8, 0, 4); }),
              fromMemory);
    // The right quad alone, through a base vertex and a start index, and as a strip from the buffer.
    const auto right =
        Drawn([&] { return m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 4, 0, 4, 0, 2); });
    EXPECT_EQ(Pixel(right, kWidth / 4, kHeight / 2), 0xFF000000u);
    EXPECT_EQ(Pixel(right, 3 * kWidth / 4, kHeight / 2), 0xFF00FF00u);
    EXPECT_EQ(Drawn([&] { return m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 4, 6, 2); }),
              right);
    EXPECT_EQ(Drawn([&] { return m_device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 4, 2); }), right);
}

TEST_F(DeviceBuffers, ContentsAreSentOnceAndAgainOnlyAfterAWritingLock) {
    const auto draw = [&] { return m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 8, 0, 4); };
    const std::uint64_t before = m_device->BufferUploads();
    for (int i = 0; i < 50; ++i)
        draw();
    EXPECT_EQ(m_device->BufferUploads() - before, 2u) << "vertices and indices, once each";

    void* data = nullptr;
    m_vertices->Lock(0, 0, &data, D3DLOCK_READONLY);
    m_vertices->Unlock();
    const auto unchanged = Drawn(draw);
    EXPECT_EQ(m_device->BufferUploads() - before, 2u) << "a read-only lock changes nothing";

    // The left quad turned blue through a lock of its four vertices alone.
    ASSERT_EQ(m_vertices->Lock(0, 4 * sizeof(ColorVertex), &data, 0), S_OK);
    for (int v = 0; v < 4; ++v)
        static_cast<ColorVertex*>(data)[v].color = 0xFF0000FF;
    m_vertices->Unlock();
    const auto edited = Drawn(draw);
    EXPECT_EQ(m_device->BufferUploads() - before, 3u);
    EXPECT_EQ(Pixel(unchanged, kWidth / 4, kHeight / 2), 0xFFFF0000u);
    EXPECT_EQ(Pixel(edited, kWidth / 4, kHeight / 2), 0xFF0000FFu);
    EXPECT_EQ(Pixel(edited, 3 * kWidth / 4, kHeight / 2), 0xFF00FF00u);
}

TEST_F(DeviceBuffers, RangesAndIndicesOutsideTheBuffersAreRefused) {
    void* data = nullptr;
    EXPECT_EQ(m_vertices->Lock(8 * sizeof(ColorVertex), 1, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_vertices->Lock(0, 0, nullptr, 0), D3DERR_INVALIDCALL);
    IDirect3DVertexBuffer9* none = reinterpret_cast<IDirect3DVertexBuffer9*>(0x1);
    EXPECT_EQ(m_device->CreateVertexBuffer(0, 0, 0, D3DPOOL_MANAGED, &none, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(m_device->CreateVertexBuffer(0xFFFFFFFF, 0, 0, D3DPOOL_MANAGED, &none, nullptr), E_OUTOFMEMORY);
    IDirect3DIndexBuffer9* badFormat = nullptr;
    EXPECT_EQ(m_device->CreateIndexBuffer(6, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &badFormat, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetStreamSource(1, m_vertices.Get(), 0, sizeof(ColorVertex)), D3DERR_INVALIDCALL);

    const std::vector<DWORD> black(kWidth * kHeight, 0xFF000000u);
    struct Case {
        const char* what;
        INT base;
        UINT startIndex, primitives;
    };
    for (const Case& c : {Case{"past the indices", 0, 6, 3}, Case{"base past the vertices", 1, 6, 2},
                          Case{"negative base", -1, 0, 2}}) {
        EXPECT_EQ(Drawn(
                      [&] {
                          return m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, c.base, 0, 8,
                                                                c.startIndex, c.primitives);
                      },
                      D3DERR_INVALIDCALL),
                  black)
            << c.what;
    }
    EXPECT_EQ(Drawn([&] { return m_device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 5, 2); }, D3DERR_INVALIDCALL),
              black);
    // A stray index refuses the draws that use it; the others still draw.
    Fill(m_indices.Get(), std::vector<WORD>{0, 1, 2, 2, 1, 8}.data(), 6 * sizeof(WORD));
    EXPECT_EQ(Drawn([&] { return m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 8, 0, 2); },
                    D3DERR_INVALIDCALL),
              black);
    EXPECT_NE(Drawn([&] { return m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 8, 6, 2); }),
              black);
    m_device->SetIndices(nullptr);
    EXPECT_EQ(Drawn([&] { return m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 8, 0, 2); },
                    D3DERR_INVALIDCALL),
              black);
}

TEST_F(DeviceBuffers, InstancedCopiesDrawAsOneDrawPerWorldMatrixWould) {
    // Half-size copies: moved, mirrored (its winding flips, so culling shows it from the other side)
    // and stretched; the left quad's front faces the default cull mode keeps.
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    const D3DXMATRIX half = Scaling(0.5f, 0.5f, 1);
    const std::vector<D3DXMATRIX> worlds = {half * Translation(0.5f, 0.5f, 0), Scaling(-0.5f, 0.5f, 1),
                                            Scaling(0.25f, -1, 1) * Translation(0, -0.5f, 0)};
    const auto oneByOne = Drawn([&] {
        for (const D3DXMATRIX& world : worlds) {
            m_device->SetTransform(D3DTS_WORLD, &world);
            if (HRESULT hr = m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 8, 0, 4); hr != S_OK)
                return hr;
        }
        return S_OK;
    });
    const ComPtr<IDirect3DVertexBuffer9> matrices = VertexBuffer(worlds);
    const D3DXMATRIX far = Translation(5, 5, 0);
    m_device->SetTransform(D3DTS_WORLD, &far); // copies ignore the world transform
    const auto copies = [&](UINT count) {
        m_device->SetStreamSourceFreq(0, D3DSTREAMSOURCE_INDEXEDDATA | count);
        m_device->SetStreamSourceFreq(1, D3DSTREAMSOURCE_INSTANCEDATA | 1);
        return m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 8, 0, 4);
    };
    EXPECT_EQ(m_device->SetStreamSource(1, matrices.Get(), 0, sizeof(D3DXMATRIX)), S_OK);
    const auto instanced = Drawn([&] { return copies(3); });
    EXPECT_EQ(instanced, oneByOne);
    EXPECT_NE(Pixel(instanced, 3 * kWidth / 4, kHeight / 4), 0xFF000000u);

    const std::vector<DWORD> black(kWidth * kHeight, 0xFF000000u);
    EXPECT_EQ(Drawn([&] { return copies(4); }, D3DERR_INVALIDCALL), black) << "more copies than matrices";
    m_device->SetStreamSource(1, nullptr, 0, 0);
    EXPECT_EQ(Drawn([&] { return copies(1); }, D3DERR_INVALIDCALL), black) << "no matrices";
    EXPECT_EQ(m_device->SetStreamSourceFreq(1, D3DSTREAMSOURCE_INDEXEDDATA | 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetStreamSourceFreq(0, 0), D3DERR_INVALIDCALL);
    m_device->SetStreamSourceFreq(0, 1);
    m_device->SetStreamSourceFreq(1, 1);
    EXPECT_EQ(Drawn([&] { return m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 8, 0, 4); }), black)
        << "plain draws use the world transform again";
}
