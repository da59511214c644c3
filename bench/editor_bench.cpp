// The editor's whole frame, headless on the software renderer: the real main window on Qt's offscreen
// platform and the start-up of the program. The frame's pacing sleep is replaced by a counter, so
// frame figures are the work of a frame alone; the idle figure runs the real loop with its sleep.
//
// Every timed frame ends by reading one pixel of the back buffer, which waits for the renderer to
// finish it as a window's buffer swap would. Each figure has its baseline measured in the same run:
// the same scene drawn one object after another, a draw for each, with nothing left out, and every
// frame drawn, as the editor did before it culled, drew copies and skipped unchanged frames.
// - EditorFrame/1000: 1,000 sample crates, one selected (frames_per_s, x_baseline; pick_ms, the
//   manipulator's pick timed on its own after a drawn frame whose cursor moved one pixel, against
//   pick_whole_surface_ms, the read of the whole pick surface the pick used to make);
// - EditorFrame/10000/all_visible and /start_camera: 10,000 objects of the three sample models, all
//   in view, or spread so the start camera sees about a tenth (visible_share);
// - EditorIdle: the sample map open and no input for 10 seconds (cpu_per_wall, the process's CPU
//   time over wall time, against baseline_cpu_per_wall).
#include "CAPP.h"
#include "CWindowCheck.h"
#include "CXLIST.h"
#include "CamData.h"
#include "CheckedListBox.h"
#include "D3DZCDIRECT3D.h"
#include "EditorLoop.h"
#include "Fieldsmith.h"
#include "FrameChangeTracker.h"
#include "KeyStateTracker.h"
#include "MessageBoxRecorder.h"
#include "MyForm.h"
#include "SceneDrawer.h"
#include "Win32Time.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::filesystem::path MapPath() {
    return std::filesystem::temp_directory_path() / "fsmith-editor-bench.map";
}

// count objects of the given models on a square grid around the origin, spacing apart, its rows moved
// back (towards -z) by `back` of the grid's depth.
void WriteGridMap(int count, float spacing, const std::vector<const char*>& models, float back = 0.0f) {
    std::vector<Fieldsmith::_TAG_MAPDATA> records;
    const int side = static_cast<int>(std::ceil(std::sqrt(count)));
    for (int i = 0; i < count; ++i) {
        D3DXMATRIX world;
        D3DXMatrixTranslation(&world, static_cast<float>(i % side - side / 2) * spacing, 0.0f,
                              (static_cast<float>(i / side - side / 2) - back * static_cast<float>(side)) *
                                  spacing);
        records.emplace_back(models[static_cast<std::size_t>(i) % models.size()], world);
    }
    std::ofstream(MapPath(), std::ios::binary) << Fieldsmith::MapFileText(records);
}

// The scene emptied, the map opened, the camera at its start pose and then wheel steps out.
bool OpenScene(const std::filesystem::path& map, int wheel) {
    CAPP& app = CAPP::GetInstance();
    app.GetXList().Release();
    app.GetMainForm()->checkedListBox1->clear();
    CamData::GetInstance().Reset();
    app.GetMainForm()->SetMouseWheel(wheel);
    app.GetXList().OpenMapFile(map.string().c_str());
    CAPP::GetInstance().Loop();
    return app.GetXList().GetMaxSize() > 0 && app.GetMainForm()->checkedListBox1->SelectedIndex() >= 0;
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

// One whole frame, drawn whatever changed.
double TimedFrame() {
    FrameChangeTracker::GetInstance().RequestRedraw();
    const auto start = Clock::now();
    CAPP::GetInstance().Loop();
    FinishFrame();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The frames as the editor drew them before: every object, one draw after another.
double BaselineFrameSeconds(int frames) {
    SceneDrawer::SetCulling(false);
    SceneDrawer::SetGrouping(false);
    double total = 0;
    for (int i = 0; i < frames; ++i)
        total += TimedFrame();
    SceneDrawer::SetCulling(true);
    SceneDrawer::SetGrouping(true);
    return total / frames;
}

double VisibleShare() {
    CXLIST& list = CAPP::GetInstance().GetXList();
    D3DXMATRIX view, projection, viewProjection;
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    device->GetTransform(D3DTS_VIEW, &view);
    device->GetTransform(D3DTS_PROJECTION, &projection);
    D3DXMatrixMultiply(&viewProjection, &view, &projection);
    int seen = 0;
    for (unsigned int i = 0; i < list.GetMaxSize(); ++i) {
        CXData* object = list.GetObject(i);
        seen += SceneDrawer::MayBeSeen(SceneDrawer::MeshSphere(object->GetXData()), *object->GetWorld(),
                                       viewProjection);
    }
    return static_cast<double>(seen) / list.GetMaxSize();
}

void MoveCursorBy(LONG dx) {
    KeyStateTracker& keys = KeyStateTracker::GetInstance();
    POINT p = keys.CursorScreenPos();
    keys.SetCursorScreenPos(POINT{p.x + dx, p.y});
}

// What reading the whole pick surface took, as the pick did before it read one pixel.
double WholeSurfaceReadMs() {
    IDirect3DSurface9* surface = CWindowCheck::GetInstance().GetPickSurface();
    if (surface == nullptr)
        return 0;
    double best = 1e30;
    for (int run = 0; run < 5; ++run) {
        const auto start = Clock::now();
        D3DLOCKED_RECT locked;
        if (surface->LockRect(&locked, nullptr, D3DLOCK_READONLY) == S_OK) {
            benchmark::DoNotOptimize(*static_cast<const DWORD*>(locked.pBits));
            surface->UnlockRect();
        }
        best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return best;
}

void RunFrames(benchmark::State& state, const std::function<bool()>& open, bool withPick) {
    if (!open()) {
        state.SkipWithError("the scene did not open");
        return;
    }
    const double baseline = BaselineFrameSeconds(10);
    double total = 0;
    for (auto _ : state)
        total += TimedFrame();
    const double frame = total / static_cast<double>(state.iterations());
    state.counters["frames_per_s"] = 1.0 / frame;
    state.counters["baseline_frames_per_s"] = 1.0 / baseline;
    state.counters["x_baseline"] = baseline / frame;
    state.counters["objects"] = CAPP::GetInstance().GetXList().GetMaxSize();
    state.counters["visible_share"] = VisibleShare();
    if (!withPick)
        return;
    // The pick alone, after a drawn frame, for a cursor that moved one pixel: what a frame whose
    // cursor moved adds.
    constexpr int kPicks = 30;
    double picking = 0;
    for (int i = 0; i < kPicks; ++i) {
        TimedFrame();
        MoveCursorBy(i % 2 == 0 ? 1 : -1);
        const auto start = Clock::now();
        CWindowCheck::GetInstance().Check();
        picking += std::chrono::duration<double>(Clock::now() - start).count();
    }
    state.counters["pick_ms"] = picking / kPicks * 1000.0;
    state.counters["pick_whole_surface_ms"] = WholeSurfaceReadMs();
}

void BM_EditorFrame1000(benchmark::State& state) {
    RunFrames(
        state,
        [] {
            WriteGridMap(1000, 1.5f, {"Data/Sample/crate.x"});
            return OpenScene(MapPath(), -60);
        },
        true);
}

const std::vector<const char*> kThreeModels{"Data/Sample/crate.x", "Data/Sample/pillar.x",
                                            "Data/Sample/tree.x"};

void BM_EditorFrame10000AllVisible(benchmark::State& state) {
    RunFrames(
        state,
        [] {
            WriteGridMap(10000, 1.5f, kThreeModels);
            return OpenScene(MapPath(), -190);
        },
        false);
}

// The start camera stands at the grid's middle looking along it, so however wide the spacing it keeps
// a wedge of about a sixth of the grid in view; with the rows also moved back, behind it, it sees
// about a tenth.
constexpr float kStartCameraSpacing = 2.2f;
constexpr float kStartCameraRowsBack = 0.15f;

void BM_EditorFrame10000StartCamera(benchmark::State& state) {
    RunFrames(
        state,
        [] {
            WriteGridMap(10000, kStartCameraSpacing, kThreeModels, kStartCameraRowsBack);
            return OpenScene(MapPath(), -10);
        },
        false);
}

double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The editor's own loop, with its real sleep, for the given wall time; CPU time over wall time.
double IdleCpuPerWall(double seconds) {
    const SleepFunction counting = SetSleepFunction({});
    const auto start = Clock::now();
    const double cpuStart = ProcessCpuSeconds();
    while (std::chrono::duration<double>(Clock::now() - start).count() < seconds)
        RunEditorPass();
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = ProcessCpuSeconds() - cpuStart;
    SetSleepFunction(counting);
    return cpu / wall;
}

void BM_EditorIdle(benchmark::State& state) {
    if (!OpenScene("Data/Sample/Sample.map", -10)) {
        state.SkipWithError("the sample map did not open");
        return;
    }
    const double seconds =
        std::getenv("FSMITH_IDLE_SECONDS") ? std::atof(std::getenv("FSMITH_IDLE_SECONDS")) : 10.0;
    FrameChangeTracker::GetInstance().SetAlwaysDraw(true);
    const double baseline = IdleCpuPerWall(seconds);
    FrameChangeTracker::GetInstance().SetAlwaysDraw(false);
    double idle = 0;
    for (auto _ : state)
        idle = IdleCpuPerWall(seconds);
    state.counters["cpu_per_wall"] = idle;
    state.counters["baseline_cpu_per_wall"] = baseline;
    state.counters["x_baseline"] = baseline / std::max(idle, 1e-9);
}

BENCHMARK(BM_EditorFrame1000)->Name("EditorFrame/1000")->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_EditorFrame10000AllVisible)
    ->Name("EditorFrame/10000/all_visible")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0);
BENCHMARK(BM_EditorFrame10000StartCamera)
    ->Name("EditorFrame/10000/start_camera")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0);
BENCHMARK(BM_EditorIdle)->Name("EditorIdle")->Unit(benchmark::kSecond)->Iterations(1);

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
    return true;
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
