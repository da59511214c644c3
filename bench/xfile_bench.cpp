// Reading a large X file: a 708 by 708 vertex grid (501,264 vertices, 499,849 quads) with normals,
// texture coordinates and a one-material list, inside a frame with a transform, written once per run
// as text and as binary (32-bit floats) into a temporary folder. Our parse (XFileModel::Load) and our
// full mesh load (D3DXLoadMeshFromXA on a headless device) report file vertices per second.
//
// Built with Assimp (the pkg-config module "assimp"), the same files are also read with Assimp's
// Importer::ReadFile and aiProcess_Triangulate, which matches the fan triangulation of our mesh load,
// and each of our benchmarks reports its time as a ratio to Assimp's on the same file in the same
// process: "x_assimp" by wall clock and "x_assimp_cpu" by process CPU time. Both sides are timed alike,
// best of kRounds tries each; the shared machines this runs on swing wall-clock times with their load,
// CPU time much less. Below 1.0 we are faster.
#include "XFileModel.h"
#include "d3d9.h"
#include "d3dx9mesh.h"

#include <benchmark/benchmark.h>

#ifdef FSMITH_BENCH_ASSIMP
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#endif

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::uint32_t kSide = 708;
constexpr std::uint32_t kVertices = kSide * kSide;
constexpr std::uint32_t kQuads = (kSide - 1) * (kSide - 1);

// The grid's content, shared by the text and the binary writer.
struct Grid {
    std::vector<float> positions; // x, y, z per vertex
    std::vector<float> normals;   // x, y, z per vertex
    std::vector<float> uvs;       // u, v per vertex
    std::vector<std::uint32_t> quads;

    Grid() {
        positions.reserve(3 * kVertices);
        normals.reserve(3 * kVertices);
        uvs.reserve(2 * kVertices);
        for (std::uint32_t row = 0; row < kSide; ++row)
            for (std::uint32_t column = 0; column < kSide; ++column) {
                const float x = static_cast<float>(column) - kSide / 2.0f;
                const float z = static_cast<float>(row) - kSide / 2.0f;
                // Rolling ground: y = 2 sin(x/20) cos(z/30), with its exact normal.
                const float y = 2.0f * std::sin(x / 20.0f) * std::cos(z / 30.0f);
                const float dx = 0.1f * std::cos(x / 20.0f) * std::cos(z / 30.0f);
                const float dz = -2.0f / 30.0f * std::sin(x / 20.0f) * std::sin(z / 30.0f);
                const float length = std::sqrt(dx * dx + 1.0f + dz * dz);
                positions.insert(positions.end(), {x, y, z});
                normals.insert(normals.end(), {-dx / length, 1.0f / length, -dz / length});
                uvs.insert(uvs.end(),
                           {static_cast<float>(column) / (kSide - 1), static_cast<float>(row) / (kSide - 1)});
            }
        quads.reserve(4 * kQuads);
        for (std::uint32_t row = 0; row + 1 < kSide; ++row)
            for (std::uint32_t column = 0; column + 1 < kSide; ++column) {
                const std::uint32_t corner = row * kSide + column;
                quads.insert(quads.end(), {corner, corner + kSide, corner + kSide + 1, corner + 1});
            }
    }
};

// Six decimals, as exporters write them; the binary file holds the floats these round from.
void AppendFloat(std::string& out, float value) {
    char buffer[48];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    out.append(buffer, result.ptr);
}

void AppendUint(std::string& out, std::uint32_t value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

// Rows of `width` floats, each field ended by ';', rows separated by ",\n" and the list by ";\n".
void AppendFloatRows(std::string& out, const std::vector<float>& values, std::size_t width) {
    for (std::size_t i = 0; i < values.size(); i += width) {
        out += "   ";
        for (std::size_t k = 0; k < width; ++k) {
            AppendFloat(out, values[i + k]);
            out += ';';
        }
        out += i + width < values.size() ? ",\n" : ";\n";
    }
}

void AppendQuads(std::string& out, const std::vector<std::uint32_t>& quads) {
    AppendUint(out, kQuads);
    out += ";\n";
    for (std::size_t i = 0; i < quads.size(); i += 4) {
        out += "   4;";
        for (std::size_t k = 0; k < 4; ++k) {
            AppendUint(out, quads[i + k]);
            out += k < 3 ? ',' : ';';
        }
        out += i + 4 < quads.size() ? ",\n" : ";\n";
    }
}

std::string TextFile(const Grid& grid) {
    std::string out = "xof 0302txt 0032\n\nFrame Ground {\n FrameTransformMatrix {\n  ";
    const float transform[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 0, -5, 1};
    for (int i = 0; i < 16; ++i) {
        AppendFloat(out, transform[i]);
        out += i < 15 ? "," : ";;\n }\n";
    }
    out += " Mesh GroundMesh {\n  ";
    AppendUint(out, kVertices);
    out += ";\n";
    AppendFloatRows(out, grid.positions, 3);
    out += "  ";
    AppendQuads(out, grid.quads);
    out += "  MeshNormals {\n   ";
    AppendUint(out, kVertices);
    out += ";\n";
    AppendFloatRows(out, grid.normals, 3);
    out += "   ";
    AppendQuads(out, grid.quads);
    out += "  }\n  MeshTextureCoords {\n   ";
    AppendUint(out, kVertices);
    out += ";\n";
    AppendFloatRows(out, grid.uvs, 2);
    out += "  }\n  MeshMaterialList {\n   1;\n   ";
    AppendUint(out, kQuads);
    out += ";\n";
    for (std::uint32_t face = 0; face < kQuads; ++face)
        out += face + 1 < kQuads ? "   0,\n" : "   0;\n";
    out += "   Material {\n    0.800000;0.800000;0.800000;1.000000;;\n    8.000000;\n"
           "    0.200000;0.200000;0.200000;;\n    0.000000;0.000000;0.000000;;\n   }\n  }\n }\n}\n";
    return out;
}

// The binary token stream: names, braces, and one integer or float list per member or run of
// members, as binary exporters write it.
class BinaryWriter {
public:
    BinaryWriter() { m_bytes.append("xof 0302bin 0032"); }

    void Token(std::uint16_t token) { U16(token); }
    void Name(std::string_view name) {
        U16(1);
        U32(static_cast<std::uint32_t>(name.size()));
        m_bytes.append(name);
    }
    void Integers(const std::vector<std::uint32_t>& values) {
        U16(6);
        U32(static_cast<std::uint32_t>(values.size()));
        for (std::uint32_t value : values)
            U32(value);
    }
    void Floats(const std::vector<float>& values) {
        U16(7);
        U32(static_cast<std::uint32_t>(values.size()));
        for (float value : values) {
            std::uint32_t bits;
            std::memcpy(&bits, &value, 4);
            U32(bits);
        }
    }
    const std::string& Bytes() const { return m_bytes; }

private:
    void U16(std::uint16_t value) {
        m_bytes += static_cast<char>(value & 0xFF);
        m_bytes += static_cast<char>(value >> 8);
    }
    void U32(std::uint32_t value) {
        U16(static_cast<std::uint16_t>(value));
        U16(static_cast<std::uint16_t>(value >> 16));
    }
    std::string m_bytes;
};

constexpr std::uint16_t kOBrace = 10, kCBrace = 11;

std::vector<std::uint32_t> FaceList(const std::vector<std::uint32_t>& quads) {
    std::vector<std::uint32_t> list{kQuads};
    list.reserve(1 + 5 * kQuads);
    for (std::size_t i = 0; i < quads.size(); i += 4)
        list.insert(list.end(), {4, quads[i], quads[i + 1], quads[i + 2], quads[i + 3]});
    return list;
}

std::string BinaryFile(const Grid& grid) {
    BinaryWriter out;
    const std::vector<std::uint32_t> faces = FaceList(grid.quads);
    out.Name("Frame");
    out.Name("Ground");
    out.Token(kOBrace);
    out.Name("FrameTransformMatrix");
    out.Token(kOBrace);
    out.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 0, -5, 1});
    out.Token(kCBrace);
    out.Name("Mesh");
    out.Name("GroundMesh");
    out.Token(kOBrace);
    out.Integers({kVertices});
    out.Floats(grid.positions);
    out.Integers(faces);
    out.Name("MeshNormals");
    out.Token(kOBrace);
    out.Integers({kVertices});
    out.Floats(grid.normals);
    out.Integers(faces);
    out.Token(kCBrace);
    out.Name("MeshTextureCoords");
    out.Token(kOBrace);
    out.Integers({kVertices});
    out.Floats(grid.uvs);
    out.Token(kCBrace);
    out.Name("MeshMaterialList");
    out.Token(kOBrace);
    std::vector<std::uint32_t> materials{1, kQuads};
    materials.resize(2 + kQuads, 0);
    out.Integers(materials);
    out.Name("Material");
    out.Token(kOBrace);
    out.Floats({0.8f, 0.8f, 0.8f, 1.0f, 8.0f, 0.2f, 0.2f, 0.2f, 0.0f, 0.0f, 0.0f});
    out.Token(kCBrace);
    out.Token(kCBrace);
    out.Token(kCBrace);
    out.Token(kCBrace);
    return out.Bytes();
}

// The two files, written on first use and removed with their folder when the program ends.
class Files {
public:
    static const Files& Get() {
        static const Files files;
        return files;
    }
    const std::string& Path(bool binary) const { return binary ? m_binary : m_text; }

    Files(const Files&) = delete;
    Files& operator=(const Files&) = delete;

private:
    Files()
        : m_folder(std::filesystem::temp_directory_path() / ("fsmith-xbench-" + std::to_string(getpid()))) {
        std::filesystem::create_directories(m_folder);
        m_text = (m_folder / "grid-text.x").string();
        m_binary = (m_folder / "grid-binary.x").string();
        const Grid grid;
        Write(m_text, TextFile(grid));
        Write(m_binary, BinaryFile(grid));
    }
    ~Files() {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    static void Write(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    std::filesystem::path m_folder;
    std::string m_text, m_binary;
};

IDirect3DDevice9* Device() {
    static IDirect3DDevice9* device = [] {
        IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS parameters;
        parameters.BackBufferWidth = 64;
        parameters.BackBufferHeight = 64;
        parameters.Windowed = TRUE;
        parameters.EnableAutoDepthStencil = TRUE;
        parameters.AutoDepthStencilFormat = D3DFMT_D16;
        IDirect3DDevice9* created = nullptr;
        for (D3DDEVTYPE type : {D3DDEVTYPE_HAL, D3DDEVTYPE_REF})
            if (!created)
                d3d->CreateDevice(0, type, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters,
                                  &created);
        return created;
    }();
    return device;
}

// Every benchmark here, Assimp's reads included, is tried this many times and keeps its best; one read of
// the text grid takes about a second under Assimp, so more tries would make the run long.
constexpr int kRounds = 5;

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The best wall-clock and process CPU time of several tries of the same work.
struct BestTimes {
    double wall = 1e300;
    double cpu = 1e300;

    // Runs `work` once, keeping its times when they beat the best so far; returns what `work` returned.
    template <typename Work> bool Try(Work&& work) {
        const auto wallStart = std::chrono::steady_clock::now();
        const double cpuStart = CpuSeconds();
        const bool succeeded = work();
        cpu = std::min(cpu, CpuSeconds() - cpuStart);
        wall = std::min(wall,
                        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count());
        return succeeded;
    }
};

const char* Label(bool binary) {
    return binary ? "binary" : "text";
}

#ifdef FSMITH_BENCH_ASSIMP
constexpr unsigned kAssimpFlags = aiProcess_Triangulate;

// Assimp's read, checked to have found the whole grid (it does not count shared vertices: it makes
// one per face corner, so the check is on faces).
bool AssimpRead(Assimp::Importer& importer, const std::string& path) {
    const aiScene* scene = importer.ReadFile(path, kAssimpFlags);
    if (scene == nullptr)
        return false;
    unsigned faces = 0;
    for (unsigned i = 0; i < scene->mNumMeshes; ++i)
        faces += scene->mMeshes[i]->mNumFaces;
    return faces == 2 * kQuads;
}

// Assimp's best of kRounds reads, measured once per file for the whole run; null if Assimp fails.
const BestTimes* AssimpTimes(bool binary) {
    static std::optional<BestTimes> times[2];
    std::optional<BestTimes>& best = times[binary ? 1 : 0];
    if (!best) {
        best.emplace();
        for (int round = 0; round < kRounds; ++round) {
            Assimp::Importer importer;
            if (!best->Try([&] { return AssimpRead(importer, Files::Get().Path(binary)); })) {
                best->wall = 0;
                break;
            }
        }
    }
    return best->wall > 0 ? &*best : nullptr;
}
#endif

// Times `body` per iteration and reports file vertices per second (from the mean wall-clock time) and,
// with Assimp, x_assimp and x_assimp_cpu (from the best of the iterations, as Assimp's are).
template <typename Body> void TimeAgainstAssimp(benchmark::State& state, bool binary, Body body) {
    const std::string& path = Files::Get().Path(binary);
    BestTimes best;
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!best.Try([&] { return body(path); }))
            return state.SkipWithError("the file did not load");
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double perIteration = total / static_cast<double>(state.iterations());
    state.counters["vertices_per_s"] = benchmark::Counter(kVertices / perIteration);
#ifdef FSMITH_BENCH_ASSIMP
    if (const BestTimes* assimp = AssimpTimes(binary)) {
        state.counters["x_assimp"] = best.wall / assimp->wall;
        state.counters["x_assimp_cpu"] = best.cpu / assimp->cpu;
    }
#endif
    state.SetLabel(Label(binary));
}

void BM_XFileParse(benchmark::State& state) {
    TimeAgainstAssimp(state, state.range(0) != 0, [](const std::string& path) {
        XFileModel model;
        std::string error;
        const bool loaded = XFileModel::Load(path, model, error);
        benchmark::DoNotOptimize(model.frames.data());
        return loaded && model.frames.size() == 1 && model.frames[0].meshes.size() == 1 &&
               model.frames[0].meshes[0]->positions.size() == kVertices;
    });
}

// The editor's call: a managed mesh with its materials; with range(1), its adjacency too.
void BM_XFileMeshLoad(benchmark::State& state) {
    IDirect3DDevice9* device = Device();
    if (!device)
        return state.SkipWithError("no device");
    const bool adjacency = state.range(1) != 0;
    TimeAgainstAssimp(state, state.range(0) != 0, [&](const std::string& path) {
        ID3DXBuffer *adjacencyBuffer = nullptr, *materials = nullptr;
        DWORD count = 0;
        ID3DXMesh* mesh = nullptr;
        const HRESULT result =
            D3DXLoadMeshFromXA(path.c_str(), D3DXMESH_MANAGED, device, adjacency ? &adjacencyBuffer : nullptr,
                               &materials, nullptr, &count, &mesh);
        const bool loaded = SUCCEEDED(result) && mesh->GetNumVertices() == kVertices &&
                            mesh->GetNumFaces() == 2 * kQuads && count == 1;
        if (mesh)
            mesh->Release();
        if (materials)
            materials->Release();
        if (adjacencyBuffer)
            adjacencyBuffer->Release();
        return loaded;
    });
    if (adjacency)
        state.SetLabel(std::string(Label(state.range(0) != 0)) + ", adjacency");
}

#ifdef FSMITH_BENCH_ASSIMP
void BM_AssimpReadFile(benchmark::State& state) {
    const bool binary = state.range(0) != 0;
    const std::string& path = Files::Get().Path(binary);
    for (auto _ : state) {
        Assimp::Importer importer;
        if (!AssimpRead(importer, path))
            return state.SkipWithError(importer.GetErrorString());
    }
    state.counters["vertices_per_s"] =
        benchmark::Counter(kVertices, benchmark::Counter::kIsIterationInvariantRate);
    state.SetLabel(std::string(Label(binary)) + ", aiProcess_Triangulate");
}
#endif

} // namespace

BENCHMARK(BM_XFileParse)->Arg(0)->Arg(1)->Iterations(kRounds)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XFileMeshLoad)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Iterations(kRounds)
    ->Unit(benchmark::kMillisecond);
#ifdef FSMITH_BENCH_ASSIMP
BENCHMARK(BM_AssimpReadFile)->Arg(0)->Arg(1)->Iterations(kRounds)->Unit(benchmark::kMillisecond);
#endif

BENCHMARK_MAIN();
