// The headless device at the editor's view size: one-line draw calls, and whole frames of a clear, 250
// lines (the grid's count) and a present. Each reports its rate and its time as a ratio to an empty
// frame (clear and present only) measured in the same run.
#include "d3d9.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

namespace {

constexpr UINT kWidth = 1099, kHeight = 579;

struct LineVertex {
    float x, y, z;
    DWORD color;
};

IDirect3DDevice9* Device() {
    static IDirect3DDevice9* device = [] {
        IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS parameters;
        parameters.BackBufferWidth = kWidth;
        parameters.BackBufferHeight = kHeight;
        parameters.Windowed = TRUE;
        parameters.EnableAutoDepthStencil = TRUE;
        parameters.AutoDepthStencilFormat = D3DFMT_D16;
        IDirect3DDevice9* created = nullptr;
        for (D3DDEVTYPE type : {D3DDEVTYPE_HAL, D3DDEVTYPE_REF})
            if (!created)
                d3d->CreateDevice(0, type, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters,
                                  &created);
        if (created) {
            created->SetRenderState(D3DRS_LIGHTING, FALSE);
            created->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
        }
        return created;
    }();
    return device;
}

std::vector<LineVertex> GridLines() {
    std::vector<LineVertex> lines;
    for (int i = 0; i < 250; ++i) {
        const float t = -1.0f + 2.0f * static_cast<float>(i) / 250.0f;
        lines.push_back({t, -1, 0.5f, 0x80808080});
        lines.push_back({-t, 1, 0.5f, 0x80808080});
    }
    return lines;
}

void Frame(IDirect3DDevice9* device, const std::vector<LineVertex>* lines) {
    device->BeginScene();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    if (lines)
        for (std::size_t i = 0; i < lines->size(); i += 2)
            device->DrawPrimitiveUP(D3DPT_LINELIST, 1, &(*lines)[i], sizeof(LineVertex));
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

// Frames end with a read-back of one pixel so that queued GL work is timed, not just submitted.
void Finish(IDirect3DDevice9* device) {
    IDirect3DSurface9* back = nullptr;
    device->GetRenderTarget(0, &back);
    RECT one{0, 0, 1, 1};
    D3DLOCKED_RECT locked;
    back->LockRect(&locked, &one, D3DLOCK_READONLY);
    back->UnlockRect();
    back->Release();
}

double SecondsPerEmptyFrame() {
    static const double seconds = [] {
        IDirect3DDevice9* device = Device();
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 30; ++i) {
            Frame(device, nullptr);
            Finish(device);
        }
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / 30;
    }();
    return seconds;
}

void BM_EmptyFrame(benchmark::State& state) {
    IDirect3DDevice9* device = Device();
    if (!device)
        return state.SkipWithError("no device");
    for (auto _ : state) {
        Frame(device, nullptr);
        Finish(device);
    }
    state.counters["frames_per_s"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_FrameOf250Lines(benchmark::State& state) {
    IDirect3DDevice9* device = Device();
    if (!device)
        return state.SkipWithError("no device");
    const auto lines = GridLines();
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        Frame(device, &lines);
        Finish(device);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["frames_per_s"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["x_empty_frame"] =
        total / static_cast<double>(state.iterations()) / SecondsPerEmptyFrame();
}

void BM_OneLineDrawCalls(benchmark::State& state) {
    IDirect3DDevice9* device = Device();
    if (!device)
        return state.SkipWithError("no device");
    const auto lines = GridLines();
    std::size_t next = 0;
    for (auto _ : state) {
        device->DrawPrimitiveUP(D3DPT_LINELIST, 1, &lines[next], sizeof(LineVertex));
        next = (next + 2) % lines.size();
    }
    Finish(device);
    state.counters["draws_per_s"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
}

} // namespace

BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameOf250Lines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneLineDrawCalls)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
