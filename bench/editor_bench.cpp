// The editor's whole frame, headless on the software renderer: the real main window on Qt's offscreen
// platform, the start-up of the program, and 1,000 placed objects of the sample crate, one of them
// selected so that the manipulator is drawn and picked every frame. The frame's pacing sleep is
// replaced by a counter, so the figures are the work of a frame alone.
//
// Every frame ends by reading one pixel of the back buffer, which waits for the renderer to finish
// it as a window's buffer swap would. Reported, with the baseline measured in the same run:
// - frames_per_s: whole frames per second;
// - x_direct_draws: a frame's time over drawing the same 1,000 meshes directly;
// - pick_readback_ms: what the manipulator's per-frame read of the pick surface adds, found as the
//   difference to frames in which a held left button keeps the last pick and skips the read.
#include "CAPP.h"
#include "CWindowCheck.h"
#include "CXLIST.h"
#include "CamData.h"
#include "CheckedListBox.h"
#include "D3DZCDIRECT3D.h"
#include "D3DZDMXFILE.h"
#include "Fieldsmith.h"
#include "KeyStateTracker.h"
#include "MessageBoxRecorder.h"
#include "MyForm.h"
#include "VirtualKeys.h"
#include "Win32Time.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kObjects = 1000;

std::filesystem::path MapPath() {
    return std::filesystem::temp_directory_path() / "fsmith-editor-bench.map";
}

// The sample crate on a square grid around the origin, with the sample's own relative path.
void WriteCrateMap() {
    std::vector<Fieldsmith::_TAG_MAPDATA> records;
    const int side = static_cast<int>(std::ceil(std::sqrt(kObjects)));
    for (int i = 0; i < kObjects; ++i) {
        D3DXMATRIX world;
        D3DXMatrixTranslation(&world, static_cast<float>(i % side - side / 2) * 1.5f, 0.0f,
                              static_cast<float>(i / side - side / 2) * 1.5f);
        records.emplace_back("Data/Sample/crate.x", world);
    }
    std::ofstream(MapPath(), std::ios::binary) << Fieldsmith::MapFileText(records);
}

void FinishFrame() {
    IDirect3DSurface9* back = nullptr;
    if (D3DZCDIRECT3D::GetInstance().GetDevice()->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back) != S_OK)
        return;
    const RECT pixel{0, 0, 1, 1};
    D3DLOCKED_RECT locked;
    if (back->LockRect(&locked, &pixel, D3DLOCK_READONLY) == S_OK) {
        benchmark::DoNotOptimize(*static_cast<const DWORD*>(locked.pBits));
        back->UnlockRect();
    }
    back->Release();
}

double SecondsToDrawMeshesDirectly() {
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    CXLIST& list = CAPP::GetInstance().GetXList();
    double best = 1e30;
    for (int run = 0; run < 5; ++run) {
        const auto start = Clock::now();
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000050, 1.0f, 0);
        device->BeginScene();
        for (unsigned int i = 0; i < list.GetMaxSize(); ++i) {
            D3DZCDIRECT3D::GetInstance().SetWorldTrans(list.GetWorld(i));
            list.GetObject(i)->GetXData()->Draw(1.0f);
        }
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
        FinishFrame();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

double TimedFrame() {
    const auto start = Clock::now();
    CAPP::GetInstance().Loop();
    FinishFrame();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_EditorFrameWithThousandObjects(benchmark::State& state) {
    KeyStateTracker& keys = KeyStateTracker::GetInstance();
    const double baseline = SecondsToDrawMeshesDirectly();
    double picking = 0, keeping = 0;
    for (auto _ : state) {
        picking += TimedFrame();
        state.PauseTiming();
        keys.KeyDown(VK_LBUTTON);
        CAPP::GetInstance().Loop(); // the press itself
        keeping += TimedFrame();
        keys.KeyUp(VK_LBUTTON);
        CAPP::GetInstance().Loop();
        state.ResumeTiming();
    }
    const auto frames = static_cast<double>(state.iterations());
    state.counters["frames_per_s"] = frames / picking;
    state.counters["x_direct_draws"] = picking / frames / baseline;
    state.counters["pick_readback_ms"] = (picking - keeping) / frames * 1000.0;
    state.counters["objects"] = CAPP::GetInstance().GetXList().GetMaxSize();
}

BENCHMARK(BM_EditorFrameWithThousandObjects)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The program's start-up on a headless device: nothing installs a window factory, so the device
// draws into an offscreen framebuffer of the view's size.
bool StartHeadless() {
    CAPP& app = CAPP::GetInstance();
    app.InitWindows();
    if (!app.DataInit())
        return false;
    CamData::GetInstance().Init();
    CamData::GetInstance().SetFollowTarget(&app.GetXList());
    D3DZCDIRECT3D::GetInstance().CullMode(D3DCULL_CCW);
    // Far enough out to see the whole grid.
    app.GetMainForm()->SetMouseWheel(-60);
    WriteCrateMap();
    app.GetXList().OpenMapFile(MapPath().string().c_str());
    return app.GetXList().GetMaxSize() == static_cast<unsigned int>(kObjects) &&
           app.GetMainForm()->checkedListBox1->SelectedIndex() >= 0;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    std::filesystem::current_path(FSMITH_SOURCE_DIR); // the editor reads Data/ from here
    MessageBoxRecorder messages;
    DWORD slept = 0;
    SetSleepFunction([&slept](DWORD milliseconds) { slept += milliseconds; });
    const bool started = StartHeadless();
    if (started)
        benchmark::RunSpecifiedBenchmarks();
    CAPP::GetInstance().Release();
    CAPP::GetInstance().DestroyWindows();
    std::filesystem::remove(MapPath());
    return started ? 0 : 1;
}
