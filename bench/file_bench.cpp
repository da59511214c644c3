// Reading and writing the text and binary files at scale. Each read benchmark reports, besides records
// per second, its time as a ratio to a bare C-locale strtod pass over the same numbers, measured in
// the same process: "x_strtod" of 1.0 means the file costs no more than its numbers.
#include "Fieldsmith.h"
#include "NumberText.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>

namespace {

constexpr int kRecords = 100000;

std::string TempPath(const char* name) {
    return (std::filesystem::temp_directory_path() /
            ("fsmith-bench-" + std::to_string(getpid()) + "-" + name))
        .string();
}

// Placed objects as a level designer leaves them: turned about Y, scaled, spread over the map.
std::vector<D3DXMATRIX> SceneMatrices() {
    std::mt19937 random(42);
    std::uniform_real_distribution<float> angle(0.0f, 6.2831853f), scale(0.5f, 3.0f), spread(-500.0f, 500.0f);
    std::vector<D3DXMATRIX> matrices(kRecords);
    for (auto& m : matrices) {
        const float a = angle(random), s = scale(random);
        D3DXMatrixIdentity(&m);
        m._11 = s * std::cos(a);
        m._13 = -s * std::sin(a);
        m._22 = s;
        m._31 = s * std::sin(a);
        m._33 = s * std::cos(a);
        m._41 = spread(random);
        m._43 = spread(random);
        m._42 = static_cast<float>(random() % 4);
    }
    return matrices;
}

std::vector<Fieldsmith::_TAG_MAPDATA> SceneRecords() {
    std::vector<Fieldsmith::_TAG_MAPDATA> records;
    const auto matrices = SceneMatrices();
    for (int i = 0; i < kRecords; ++i)
        records.emplace_back("Data/XFILE/model" + std::to_string(i % 37) + ".x", matrices[i]);
    return records;
}

// The numbers of a text file, NUL-separated, for the bare strtod pass.
std::string NumbersOf(const std::vector<D3DXMATRIX>& matrices) {
    std::string numbers;
    for (const auto& m : matrices)
        for (int i = 0; i < 16; ++i) {
            NumberText::AppendG(numbers, (&m._11)[i]);
            numbers += '\0';
        }
    return numbers;
}

double SecondsOfStrtodPass(const std::string& numbers) {
    double best = 1e9;
    for (int round = 0; round < 7; ++round) {
        const auto start = std::chrono::steady_clock::now();
        float sum = 0;
        for (const char* p = numbers.data(); p < numbers.data() + numbers.size(); p += std::strlen(p) + 1)
            sum += static_cast<float>(NumberText::StrtodClassic(p, nullptr));
        benchmark::DoNotOptimize(sum);
        best =
            std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

double StrtodBaselineSeconds() {
    static const double seconds = SecondsOfStrtodPass(NumbersOf(SceneMatrices()));
    return seconds;
}

template <typename Body> void TimeAgainstStrtod(benchmark::State& state, Body body) {
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        body();
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double perIteration = total / static_cast<double>(state.iterations());
    state.counters["records_per_s"] = benchmark::Counter(kRecords / perIteration);
    state.counters["x_strtod"] = perIteration / StrtodBaselineSeconds();
}

void BM_StrtodBaseline(benchmark::State& state) {
    const std::string numbers = NumbersOf(SceneMatrices());
    for (auto _ : state) {
        float sum = 0;
        for (const char* p = numbers.data(); p < numbers.data() + numbers.size(); p += std::strlen(p) + 1)
            sum += static_cast<float>(NumberText::StrtodClassic(p, nullptr));
        benchmark::DoNotOptimize(sum);
    }
    state.counters["numbers_per_s"] =
        benchmark::Counter(16.0 * kRecords, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_MapWrite(benchmark::State& state) {
    const auto records = SceneRecords();
    const std::string path = TempPath("write.map");
    TimeAgainstStrtod(state, [&] { Fieldsmith::SaveMapFile(path, records); });
    std::filesystem::remove(path);
}

void BM_MapRead(benchmark::State& state) {
    const std::string path = TempPath("read.map");
    Fieldsmith::SaveMapFile(path, SceneRecords());
    TimeAgainstStrtod(state, [&] {
        std::vector<Fieldsmith::_TAG_MAPDATA> records;
        Fieldsmith::LoadMapFile(path, records);
        benchmark::DoNotOptimize(records.data());
    });
    std::filesystem::remove(path);
}

void BM_MatrixListWrite(benchmark::State& state) {
    const auto matrices = SceneMatrices();
    const bool binary = state.range(0) != 0;
    const std::string path = TempPath("write.matList");
    TimeAgainstStrtod(state, [&] { Fieldsmith::SaveMatrixListFile(path, matrices, binary); });
    state.SetLabel(binary ? "binary" : "text");
    std::filesystem::remove(path);
}

void BM_MatrixListRead(benchmark::State& state) {
    const bool binary = state.range(0) != 0;
    const std::string path = TempPath("read.matList");
    Fieldsmith::SaveMatrixListFile(path, SceneMatrices(), binary);
    TimeAgainstStrtod(state, [&] {
        std::vector<D3DXMATRIX> matrices;
        Fieldsmith::LoadMatrixListFile(path, matrices);
        benchmark::DoNotOptimize(matrices.data());
    });
    state.SetLabel(binary ? "binary" : "text");
    std::filesystem::remove(path);
}

} // namespace

BENCHMARK(BM_StrtodBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MatrixListWrite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MatrixListRead)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
