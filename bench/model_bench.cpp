// Loading a large glTF model against the same mesh as an X file, in the same run: a 708 by 708 vertex
// grid (501,264 vertices, 999,698 triangles) with normals and texture coordinates, written once per run
// as a .glb (by our exporter) and as a text X file into a temporary folder. Both are loaded in full
// into a managed mesh on a headless device: ModelLoader::Load for the glTF, D3DXLoadMeshFromXA for the
// X file. The glTF benchmark reports "x_xfile": its time as a ratio to the X file's, measured once in
// the same process; below 1.0 glTF loads faster. Target: at most 1.0.
#include "GltfWriter.h"
#include "ModelLoader.h"
#include "d3d9.h"
#include "d3dx9mesh.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

constexpr DWORD kSide = 708;

ModelData Grid() {
    ModelData grid;
    for (DWORD y = 0; y < kSide; ++y)
        for (DWORD x = 0; x < kSide; ++x) {
            const float u = static_cast<float>(x) / (kSide - 1), v = static_cast<float>(y) / (kSide - 1);
            grid.positions.emplace_back(u * 100.0f, 0.0f, v * 100.0f);
            grid.normals.emplace_back(0.0f, 1.0f, 0.0f);
            grid.texCoords.emplace_back(u, v);
        }
    for (DWORD y = 0; y + 1 < kSide; ++y)
        for (DWORD x = 0; x + 1 < kSide; ++x) {
            const DWORD a = y * kSide + x, b = a + 1, c = a + kSide, d = c + 1;
            grid.faces.push_back({a, c, b});
            grid.faces.push_back({b, c, d});
        }
    grid.attributes.assign(grid.faces.size(), 0);
    grid.materials.emplace_back();
    return grid;
}

void Floats(std::string& out, const float* values, int count, const char* end) {
    char text[32];
    for (int i = 0; i < count; ++i) {
        std::snprintf(text, sizeof text, "%g;", values[i]);
        out += text;
    }
    out += end;
}

// The same vertices and triangles as a text X file, with normals and texture coordinates.
std::string XText(const ModelData& grid) {
    const std::size_t n = grid.positions.size(), f = grid.faces.size();
    std::string out = "xof 0303txt 0032\nMesh grid {\n" + std::to_string(n) + ";\n";
    for (std::size_t i = 0; i < n; ++i)
        Floats(out, &grid.positions[i].x, 3, i + 1 < n ? ",\n" : ";\n");
    const auto faces = [&](std::string& text) {
        text += std::to_string(f) + ";\n";
        char line[64];
        for (std::size_t i = 0; i < f; ++i) {
            std::snprintf(line, sizeof line, "3;%u,%u,%u;%s", grid.faces[i][0], grid.faces[i][1],
                          grid.faces[i][2], i + 1 < f ? ",\n" : ";\n");
            text += line;
        }
    };
    faces(out);
    out += "MeshNormals {\n" + std::to_string(n) + ";\n";
    for (std::size_t i = 0; i < n; ++i)
        Floats(out, &grid.normals[i].x, 3, i + 1 < n ? ",\n" : ";\n");
    faces(out);
    out += "}\nMeshTextureCoords {\n" + std::to_string(n) + ";\n";
    for (std::size_t i = 0; i < n; ++i)
        Floats(out, &grid.texCoords[i].x, 2, i + 1 < n ? ",\n" : ";\n");
    out += "}\n}\n";
    return out;
}

class Files {
public:
    Files()
        : m_folder(std::filesystem::temp_directory_path() /
                   ("fsmith-model-bench-" + std::to_string(getpid()))) {
        std::filesystem::create_directories(m_folder);
        GltfExportScene scene;
        scene.models.push_back({"grid", "", Grid()});
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        scene.nodes.push_back({"grid", identity, 0});
        std::vector<std::string> warnings;
        std::string error;
        GltfWriter::Write(scene, Glb(), warnings, error);
        std::ofstream(X(), std::ios::binary) << XText(scene.models[0].data);
    }
    ~Files() { std::filesystem::remove_all(m_folder); }
    std::string Glb() const { return (m_folder / "grid.glb").string(); }
    std::string X() const { return (m_folder / "grid.x").string(); }

private:
    std::filesystem::path m_folder;
};

const Files& TheFiles() {
    static const Files files;
    return files;
}

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

bool LoadX() {
    ID3DXMesh* mesh = nullptr;
    const bool loaded = SUCCEEDED(D3DXLoadMeshFromXA(TheFiles().X().c_str(), D3DXMESH_MANAGED, Device(),
                                                     nullptr, nullptr, nullptr, nullptr, &mesh));
    if (mesh)
        mesh->Release();
    return loaded;
}

bool LoadGltf() {
    ID3DXMesh* mesh = nullptr;
    std::vector<ModelMaterial> materials;
    const bool loaded =
        SUCCEEDED(ModelLoader::Load(TheFiles().Glb(), D3DXMESH_MANAGED, Device(), &mesh, nullptr, materials));
    if (mesh)
        mesh->Release();
    return loaded;
}

double SecondsOf(bool (*load)()) {
    const auto start = std::chrono::steady_clock::now();
    load();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_LoadXText(benchmark::State& state) {
    if (!LoadX())
        state.SkipWithError("the X file does not load");
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadX());
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}

void BM_LoadGlb(benchmark::State& state) {
    if (!LoadGltf())
        state.SkipWithError(
            ("the glTF file does not load: " + ModelLoader::LastError(TheFiles().Glb())).c_str());
    const double xSeconds = SecondsOf(LoadX);
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(LoadGltf());
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
    state.counters["x_xfile"] = total / static_cast<double>(state.iterations()) / xSeconds;
}

} // namespace

BENCHMARK(BM_LoadXText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadGlb)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
