// The object list headless, on the real main window (Qt's offscreen platform) and the software
// renderer: opening a 10,000-record map that names three models, and one Update plus Draw pass with
// 1,000 objects. Each reports its time as a ratio to a baseline measured in the same run: the open
// against reading the same map file alone, the pass against drawing the same 1,000 meshes directly.
#include "CAPP.h"
#include "CXLIST.h"
#include "CheckedListBox.h"
#include "D3DZCDIRECT3D.h"
#include "D3DZDMXFILE.h"
#include "Fieldsmith.h"
#include "MessageBoxRecorder.h"
#include "MyForm.h"
#include "PopWindow.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::filesystem::path Folder() {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / "fsmith-scene-bench";
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

// A box of 12 triangles with normals and one material, as a text X file.
std::string BoxModel(float r, float g, float b) {
    return "xof 0302txt 0032\nMesh box {\n 8;\n -0.5;-0.5;-0.5;, 0.5;-0.5;-0.5;, 0.5;0.5;-0.5;, "
           "-0.5;0.5;-0.5;,\n"
           " -0.5;-0.5;0.5;, 0.5;-0.5;0.5;, 0.5;0.5;0.5;, -0.5;0.5;0.5;;\n 12;\n"
           " 3;0,3,2;, 3;0,2,1;, 3;4,5,6;, 3;4,6,7;, 3;0,4,7;, 3;0,7,3;,\n"
           " 3;1,2,6;, 3;1,6,5;, 3;3,7,6;, 3;3,6,2;, 3;0,1,5;, 3;0,5,4;;\n"
           " MeshNormals { 8; -0.577;-0.577;-0.577;, 0.577;-0.577;-0.577;, 0.577;0.577;-0.577;,\n"
           " -0.577;0.577;-0.577;, -0.577;-0.577;0.577;, 0.577;-0.577;0.577;, 0.577;0.577;0.577;,\n"
           " -0.577;0.577;0.577;; 12; 3;0,3,2;, 3;0,2,1;, 3;4,5,6;, 3;4,6,7;, 3;0,4,7;, 3;0,7,3;,\n"
           " 3;1,2,6;, 3;1,6,5;, 3;3,7,6;, 3;3,6,2;, 3;0,1,5;, 3;0,5,4;; }\n"
           " MeshMaterialList { 1; 12; 0,0,0,0,0,0,0,0,0,0,0,0;;\n  Material { " +
           std::to_string(r) + ";" + std::to_string(g) + ";" + std::to_string(b) +
           ";1.0;; 8.0; 0.2;0.2;0.2;; 0.0;0.0;0.0;; } }\n}\n";
}

// A map of `count` records cycling through three models on a grid.
std::string WriteMap(int count) {
    const std::string models[3] = {(Folder() / "red.x").string(), (Folder() / "green.x").string(),
                                   (Folder() / "blue.x").string()};
    std::ofstream(models[0]) << BoxModel(1, 0, 0);
    std::ofstream(models[1]) << BoxModel(0, 1, 0);
    std::ofstream(models[2]) << BoxModel(0, 0, 1);
    std::vector<Fieldsmith::_TAG_MAPDATA> records;
    const int side = static_cast<int>(std::ceil(std::sqrt(count)));
    for (int i = 0; i < count; ++i) {
        D3DXMATRIX world;
        D3DXMatrixTranslation(&world, static_cast<float>(i % side) * 1.5f, 0.0f,
                              static_cast<float>(i / side) * 1.5f);
        records.emplace_back(models[i % 3], world);
    }
    const std::string path = (Folder() / ("scene-" + std::to_string(count) + ".map")).string();
    std::ofstream(path, std::ios::binary) << Fieldsmith::MapFileText(records);
    return path;
}

CXLIST& List() {
    return CAPP::GetInstance().GetXList();
}

void ClearScene() {
    List().Release();
    CAPP::GetInstance().GetMainForm()->checkedListBox1->Clear();
    List().GetHistory().Clear();
}

double SecondsToReadMap(const std::string& path) {
    double best = 1e30;
    for (int run = 0; run < 5; ++run) {
        std::vector<Fieldsmith::_TAG_MAPDATA> records;
        const auto start = Clock::now();
        Fieldsmith::LoadMapFile(path, records);
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

void BM_OpenTenThousandRecordMap(benchmark::State& state) {
    const std::string path = WriteMap(10000);
    const double baseline = SecondsToReadMap(path);
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ClearScene();
        state.ResumeTiming();
        const auto start = Clock::now();
        List().OpenMapFile(path.c_str());
        total += std::chrono::duration<double>(Clock::now() - start).count();
    }
    state.counters["objects"] = List().GetMaxSize();
    state.counters["x_reading_the_map"] = total / static_cast<double>(state.iterations()) / baseline;
    ClearScene();
}

void Present() {
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

void BeginFrame() {
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000050, 1.0f, 0);
    device->BeginScene();
}

double SecondsToDrawMeshesDirectly() {
    double best = 1e30;
    for (int run = 0; run < 5; ++run) {
        const auto start = Clock::now();
        BeginFrame();
        for (unsigned int i = 0; i < List().GetMaxSize(); ++i) {
            D3DZCDIRECT3D::GetInstance().SetWorldTrans(List().GetWorld(i));
            List().GetObject(i)->GetXData()->Draw(1.0f);
        }
        Present();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

void BM_UpdateAndDrawThousandObjects(benchmark::State& state) {
    ClearScene();
    const std::string path = WriteMap(1000);
    List().OpenMapFile(path.c_str());
    const D3DXVECTOR3 eye(20, 30, -20), at(20, 0, 20), up(0, 1, 0);
    D3DXMATRIX view, projection;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DZCDIRECT3D::GetInstance().SetView(&view);
    D3DZCDIRECT3D::GetInstance().SetProj(&projection, 45.0f, 1099.0f / 579.0f, 0.1f, 2000.0f);
    const double baseline = SecondsToDrawMeshesDirectly();
    double total = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        CAPP::GetInstance().SampleInput();
        List().Update();
        BeginFrame();
        List().Draw();
        Present();
        total += std::chrono::duration<double>(Clock::now() - start).count();
    }
    state.counters["passes_per_s"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["x_direct_draws"] = total / static_cast<double>(state.iterations()) / baseline;
    ClearScene();
}

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Times the last step undone and redone in turn; seconds per undo and per redo.
std::pair<double, double> UndoRedoSeconds(benchmark::State& state) {
    double undo = 0, redo = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        List().Undo();
        undo += Seconds(start);
        start = Clock::now();
        List().Redo();
        redo += Seconds(start);
    }
    const double n = static_cast<double>(state.iterations());
    return {undo / n, redo / n};
}

// Undoing the open of a 10,000-record map removes its objects; redoing it re-creates them from the
// step's records, their meshes found in the cache. Against the open itself, in the same run.
void BM_UndoRedoTenThousandRecordMapOpen(benchmark::State& state) {
    ClearScene();
    const std::string path = WriteMap(10000);
    auto start = Clock::now();
    List().OpenMapFile(path.c_str());
    const double open = Seconds(start);
    const auto [undo, redo] = UndoRedoSeconds(state);
    state.counters["undo_ms"] = undo * 1000;
    state.counters["redo_ms"] = redo * 1000;
    state.counters["x_open"] = (undo + redo) / 2 / open;
    ClearScene();
}

// One matrix step (a drag or an entry) on one of 1,000 objects, undone and redone, against one
// update pass over the same list.
void BM_UndoRedoMatrixStep(benchmark::State& state) {
    ClearScene();
    List().OpenMapFile(WriteMap(1000).c_str());
    MyForm& form = *CAPP::GetInstance().GetMainForm();
    form.checkedListBox1->SetSelectedIndex(500);
    PopWindow* pop = form.m_PopForm;
    pop->SetxValue(1.5f);
    pop->SetButtonPush(true);
    CAPP::GetInstance().SampleInput();
    auto start = Clock::now();
    List().Update();
    const double pass = Seconds(start);
    const auto [undo, redo] = UndoRedoSeconds(state);
    state.counters["undo_us"] = undo * 1e6;
    state.counters["redo_us"] = redo * 1e6;
    state.counters["x_update_pass"] = (undo + redo) / 2 / pass;
    ClearScene();
}

BENCHMARK(BM_OpenTenThousandRecordMap)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_UpdateAndDrawThousandObjects)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoRedoTenThousandRecordMapOpen)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_UndoRedoMatrixStep)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    MessageBoxRecorder messages;
    CAPP::GetInstance().InitWindows();
    if (D3DZCDIRECT3D::GetInstance().Init(nullptr, 0, 1099, 579) == nullptr)
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    ClearScene();
    D3DZDMXFILE::GetInstance().AllClear();
    D3DZCDIRECT3D::GetInstance().Release();
    CAPP::GetInstance().DestroyWindows();
    std::filesystem::remove_all(Folder());
    return 0;
}
