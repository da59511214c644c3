#include "ModelCommands.h"

#include "BackBufferPng.h"
#include "CShader.h"
#include "D3DZCDIRECT3D.h"
#include "D3DZCXFILE.h"
#include "D3DZCXSkinMesh.h"
#include "D3DZDMXFILE.h"
#include "DataFolder.h"
#include "Fieldsmith.h"
#include "MessageBoxRecorder.h"
#include "ModelCopies.h"
#include "ModelFile.h"
#include "ModelFormat.h"
#include "ModelLoader.h"
#include "NumberText.h"
#include "SettingStatics.h"
#include "XFileMeshBuilder.h"
#include "XFileModel.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>

namespace {

using Args = std::vector<std::string>;

std::string Number(float value) {
    return NumberText::FormatG(value, 9);
}

std::string Floats(const float* values, int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += (i > 0 ? " " : "") + Number(values[i]);
    return text;
}

std::string Quoted(const std::string& name) {
    return name.empty() ? "(unnamed)" : "'" + name + "'";
}

std::string FirstBytes(const std::string& path, std::size_t count) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes(count, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return bytes;
}

// The 16-byte header "xof 0303txt 0032": bytes 8 to 11 name the encoding, 12 to 15 the float size.
std::string FormatName(const std::string& path) {
    const std::string header = FirstBytes(path, 16);
    if (header.size() < 16)
        return "unknown";
    const std::string kind = header.substr(8, 4);
    const std::string name = kind == "txt "   ? "text"
                             : kind == "bin " ? "binary"
                             : kind == "tzip" ? "compressed text"
                             : kind == "bzip" ? "compressed binary"
                                              : "unknown";
    return name + ", " + (header.substr(12, 4) == "0064" ? "64" : "32") + "-bit floats";
}

// Meshes outside frames first, then the frames depth first: the order the loader combines them in.
template <typename Visit> void ForEachMesh(const XFileFrame& frame, Visit&& visit) {
    for (const XFileSharedMesh& mesh : frame.meshes)
        visit(*mesh);
    for (const XFileFrame& child : frame.children)
        ForEachMesh(child, visit);
}

template <typename Visit> void ForEachMesh(const XFileModel& model, Visit&& visit) {
    for (const XFileSharedMesh& mesh : model.meshes)
        visit(*mesh);
    for (const XFileFrame& frame : model.frames)
        ForEachMesh(frame, visit);
}

std::size_t CountFrames(const std::vector<XFileFrame>& frames) {
    std::size_t count = frames.size();
    for (const XFileFrame& frame : frames)
        count += CountFrames(frame.children);
    return count;
}

void PrintFrameTree(std::ostream& out, const std::vector<XFileFrame>& frames, int depth) {
    for (const XFileFrame& frame : frames) {
        out << std::string(2 * static_cast<std::size_t>(depth), ' ') << Quoted(frame.name);
        if (!frame.meshes.empty())
            out << " [" << frame.meshes.size() << (frame.meshes.size() == 1 ? " mesh]" : " meshes]");
        out << '\n';
        PrintFrameTree(out, frame.children, depth + 1);
    }
}

void PrintMaterial(std::ostream& out, std::size_t index, const XFileMaterial& material,
                   const std::string& folder) {
    out << "  material " << index << ' ' << Quoted(material.name) << ": diffuse "
        << Floats(material.faceColor.data(), 4) << ", power " << Number(material.power) << ", specular "
        << Floats(material.specularColor.data(), 3) << ", emissive "
        << Floats(material.emissiveColor.data(), 3) << '\n';
    if (material.textureFilename.empty())
        return;
    const std::string path = D3DZCXFILE::TexturePath(folder, material.textureFilename);
    std::error_code ignored;
    const bool found = std::filesystem::is_regular_file(path, ignored);
    out << "    texture '" << material.textureFilename << "' "
        << (found ? "found at '" : "not found, looked for '") << path << "'\n";
}

// The mesh exactly as the loader builds it for drawing, without needing a graphics device.
void PrintCombinedMesh(std::ostream& out, const XFileModel& model, const std::string& path) {
    const XFileCombinedMesh mesh = XFileMeshBuilder::Build(model);
    if (mesh.faces.empty()) {
        out << "loaded mesh: none, the file holds no mesh with faces\n";
        return;
    }
    out << "vertices: " << mesh.positions.size() << "\nfaces: " << mesh.faces.size()
        << "\nsubsets: " << mesh.attributeTable.size() << '\n';
    for (const D3DXATTRIBUTERANGE& range : mesh.attributeTable)
        out << "  subset " << range.AttribId << ": " << range.FaceCount << " faces\n";
    out << "materials: " << mesh.materials.size() << '\n';
    const std::string folder = D3DZCXFILE::TextureFolder(path);
    for (std::size_t i = 0; i < mesh.materials.size(); ++i)
        PrintMaterial(out, i, mesh.materials[i], folder);
}

void PrintBones(std::ostream& out, const XFileModel& model) {
    std::string lines;
    ForEachMesh(model, [&](const XFileMesh& mesh) {
        if (mesh.skinWeights.empty())
            return;
        lines +=
            "  mesh " + Quoted(mesh.name) + ": " + std::to_string(mesh.skinWeights.size()) + " skin weights:";
        for (const XFileSkinWeights& weights : mesh.skinWeights)
            lines += " " + Quoted(weights.boneName);
        lines += '\n';
    });
    out << "bones:" << (lines.empty() ? " none\n" : "\n" + lines);
}

std::size_t KeyCount(const XFileAnimation& animation) {
    return animation.rotationKeys.size() + animation.scaleKeys.size() + animation.positionKeys.size() +
           animation.matrixKeys.size();
}

void PrintAnimations(std::ostream& out, const XFileModel& model) {
    out << "ticks per second: " << model.ticksPerSecond
        << (model.hasTicksPerSecond ? "" : " (not in the file)")
        << "\nanimation sets: " << model.animationSets.size() << '\n';
    for (const XFileAnimationSet& set : model.animationSets) {
        std::size_t keys = 0;
        for (const XFileAnimation& animation : set.animations)
            keys += KeyCount(animation);
        out << "  set " << Quoted(set.name) << ": " << set.animations.size() << " animations, " << keys
            << " keys\n";
        for (const XFileAnimation& animation : set.animations)
            out << "    frame " << Quoted(animation.frameName) << ": " << animation.rotationKeys.size()
                << " rotation, " << animation.scaleKeys.size() << " scale, " << animation.positionKeys.size()
                << " position, " << animation.matrixKeys.size() << " matrix keys\n";
    }
}

// ---- render -------------------------------------------------------------------------------------------

constexpr float kFieldOfViewDegrees = 45.0f;
constexpr int kMaxPictureSide = 8192;

bool ParseNumber(const std::string& text, float& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end && std::isfinite(value);
}

bool ParseSize(const std::string& text, int& width, int& height) {
    const auto x = text.find('x');
    if (x == std::string::npos)
        return false;
    const char* end = text.data() + text.size();
    const auto w = std::from_chars(text.data(), text.data() + x, width);
    const auto h = std::from_chars(text.data() + x + 1, end, height);
    return w.ec == std::errc() && w.ptr == text.data() + x && h.ec == std::errc() && h.ptr == end &&
           width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide;
}

const std::vector<std::string>& ModeNames() {
    static const std::vector<std::string> names = {"fixed", "base", "toon", "spemap", "shadow"};
    return names;
}

// W,H,NEAR,FAR with a positive box and 0 < NEAR < FAR.
bool ParseShadowBox(const std::string& text, std::array<float, 4>& box) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const std::size_t comma = i < 3 ? text.find(',', start) : text.size();
        if (comma == std::string::npos || !ParseNumber(text.substr(start, comma - start), box[i]))
            return false;
        start = comma + 1;
    }
    return box[0] > 0.0f && box[1] > 0.0f && box[2] > 0.0f && box[3] > box[2];
}

bool ParseOption(const std::string& name, const std::string& value, ModelCommands::RenderOptions& options,
                 std::string& error) {
    float number = 0.0f;
    std::array<float, 4> box{};
    if (name == "-o")
        options.output = value;
    else if (name == "--mode") {
        if (std::find(ModeNames().begin(), ModeNames().end(), value) == ModeNames().end())
            error = "--mode takes fixed, base, toon, spemap or shadow, not '" + value + "'";
        options.mode = value;
    } else if (name == "--shadow-box") {
        if (ParseShadowBox(value, box))
            options.shadowBox = box;
        else
            error = "--shadow-box takes W,H,NEAR,FAR with 0 < NEAR < FAR, not '" + value + "'";
    } else if (name == "--anim") {
        if (value.empty())
            error = "--anim takes the name or number of an animation set";
        options.anim = value;
    } else if (name == "--size") {
        if (!ParseSize(value, options.width, options.height))
            error = "--size takes WxH, each from 1 to " + std::to_string(kMaxPictureSide) + ", not '" +
                    value + "'";
    } else if (!ParseNumber(value, number))
        error = name + " takes a number, not '" + value + "'";
    else if (name == "--yaw")
        options.yawDegrees = number;
    else if (name == "--pitch")
        options.pitchDegrees = number;
    else if (name == "--time")
        options.animTime = number;
    else if (number > 0.0f)
        options.distance = number;
    else
        error = "--distance must be greater than 0";
    return error.empty();
}

bool IsOptionName(const std::string& arg) {
    return arg == "-o" || arg == "--size" || arg == "--yaw" || arg == "--pitch" || arg == "--distance" ||
           arg == "--mode" || arg == "--shadow-box" || arg == "--anim" || arg == "--time";
}

std::string Lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

// X files start with "xof "; map files are lines of "XFileName{...}".
bool ModelCommands::IsMapFile(const std::string& path) {
    if (Lowercase(std::filesystem::path(path).extension().string()) == ".map")
        return true;
    const std::string start = FirstBytes(path, 4096);
    return start.rfind("xof ", 0) != 0 && start.find("XFileName{") != std::string::npos;
}

namespace {

struct Bounds {
    bool empty = true;
    D3DXVECTOR3 low{0, 0, 0};
    D3DXVECTOR3 high{0, 0, 0};

    void Add(const D3DXVECTOR3& point) {
        if (empty) {
            low = high = point;
            empty = false;
            return;
        }
        low = D3DXVECTOR3(std::min(low.x, point.x), std::min(low.y, point.y), std::min(low.z, point.z));
        high = D3DXVECTOR3(std::max(high.x, point.x), std::max(high.y, point.y), std::max(high.z, point.z));
    }
};

class SceneObject : public ShadedObject {
public:
    SceneObject(D3DZCXFILE* model, const D3DXMATRIX& world) : m_model(model), m_world(world) {}
    D3DZCMATRIX* GetWorld() override { return &m_world; }
    D3DZCXFILE* GetXData() override { return m_model; }

private:
    D3DZCXFILE* m_model;
    D3DZCMATRIX m_world;
};

struct Scene {
    std::vector<SceneObject> objects;
    D3DZCXSkinMesh* skinned = nullptr; // drawn at the origin after the objects
    D3DXVECTOR3 target{0, 0, 0};
    Bounds bounds; // of everything drawn, in world space
};

// The mesh's box in its own space, its eight corners placed by the world matrix.
void AddMeshBounds(Bounds& bounds, const ID3DXMesh& mesh, const D3DXMATRIX& world) {
    Bounds local;
    for (DWORD i = 0; i < mesh.GetNumVertices(); ++i)
        local.Add(mesh.Position(i));
    for (int corner = 0; corner < 8; ++corner) {
        const D3DXVECTOR3 point((corner & 1) ? local.high.x : local.low.x,
                                (corner & 2) ? local.high.y : local.low.y,
                                (corner & 4) ? local.high.z : local.low.z);
        D3DXVECTOR3 placed;
        D3DXVec3TransformCoord(&placed, &point, &world);
        bounds.Add(placed);
    }
}

void AddObject(Scene& scene, D3DZCXFILE* model, const D3DXMATRIX& world) {
    scene.objects.emplace_back(model, world);
    AddMeshBounds(scene.bounds, *model->GetMesh(), world);
}

bool LoadModelScene(const std::string& path, Scene& scene, std::ostream& err) {
    D3DZCXFILE* model = D3DZDMXFILE::GetInstance().Load(path);
    if (model->GetMesh() == nullptr) {
        err << "fsmith: " << ModelLoader::LastError(path) << '\n';
        return false;
    }
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    AddObject(scene, model, identity);
    return true;
}

// Models are named as the editor stored them and found, as the editor finds them, from the working
// directory. Each model is read once, however many records place it.
D3DZCXFILE* LoadRecordModel(const std::string& name, std::map<std::string, std::string>& failures) {
    D3DZDMXFILE& cache = D3DZDMXFILE::GetInstance();
    const bool fresh = cache.GetXFile(name) == nullptr;
    D3DZCXFILE* model = cache.Load(name);
    if (model->GetMesh() == nullptr && fresh)
        failures[name] = ModelLoader::LastError(name);
    return model->GetMesh() ? model : nullptr;
}

D3DXVECTOR3 TranslationCentre(const std::vector<Fieldsmith::_TAG_MAPDATA>& records) {
    Bounds translations;
    for (const auto& record : records)
        translations.Add(D3DXVECTOR3(record.world._41, record.world._42, record.world._43));
    return (translations.low + translations.high) * 0.5f;
}

bool LoadMapScene(const std::string& path, Scene& scene, std::ostream& err) {
    std::vector<Fieldsmith::_TAG_MAPDATA> records;
    errno = 0;
    if (!Fieldsmith::LoadMapFile(path, records)) {
        err << "fsmith: cannot read '" << path << "'"
            << (errno ? std::string(": ") + std::strerror(errno) : "") << '\n';
        return false;
    }
    std::map<std::string, std::string> failures;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (D3DZCXFILE* model = LoadRecordModel(records[i].name, failures)) {
            AddObject(scene, model, records[i].world);
            continue;
        }
        const std::string& reason = failures[records[i].name];
        err << "fsmith: cannot load model '" << records[i].name << "' (record " << i + 1 << ")"
            << (reason.empty() ? "" : ": " + reason) << '\n';
    }
    scene.target = TranslationCentre(records);
    return true;
}

struct Camera {
    D3DXMATRIX view;
    float zNear;
    float zFar;
    D3DZCAMERADATA pose; // the same view as the editor's orbit camera holds it, for the effects
};

float Radians(float degrees) {
    return degrees * D3DX_PI / 180.0f;
}

// How far from the target the scene reaches: the bounding sphere around its box, seen from the target.
float SceneExtent(const Scene& scene) {
    if (scene.bounds.empty)
        return 1.0f;
    const D3DXVECTOR3 centre = (scene.bounds.low + scene.bounds.high) * 0.5f;
    const D3DXVECTOR3 half = scene.bounds.high - centre, offset = centre - scene.target;
    return std::max(D3DXVec3Length(&offset) + D3DXVec3Length(&half), 1e-3f);
}

// Orbits the target: yaw turns about the vertical axis (0 looks along +Z), positive pitch looks down.
Camera MakeCamera(const ModelCommands::RenderOptions& options, const Scene& scene, float aspect) {
    const float extent = SceneExtent(scene);
    const float halfVertical = Radians(kFieldOfViewDegrees) / 2.0f;
    const float halfNarrowest = std::min(halfVertical, std::atan(std::tan(halfVertical) * aspect));
    const float distance = options.distance.value_or(extent / std::sin(halfNarrowest));
    const float yaw = Radians(options.yawDegrees), pitch = Radians(options.pitchDegrees);
    const D3DXVECTOR3 forward(std::sin(yaw) * std::cos(pitch), -std::sin(pitch),
                              std::cos(yaw) * std::cos(pitch));
    const D3DXVECTOR3 right(std::cos(yaw), 0.0f, -std::sin(yaw));
    // Up from forward and right stays defined when looking straight up or down.
    D3DXVECTOR3 up;
    D3DXVec3Cross(&up, &forward, &right);
    const D3DXVECTOR3 eye = scene.target - forward * distance;
    Camera camera;
    D3DXMatrixLookAtLH(&camera.view, &eye, &scene.target, &up);
    camera.pose = {D3DXVECTOR3(0.0f, 0.0f, -distance),
                   D3DXVECTOR3(options.pitchDegrees, options.yawDegrees, 0.0f)};
    camera.zFar = (distance + extent) * 1.01f;
    // The 16-bit depth buffer resolves about near / 65536 of the depth range per step near the
    // camera; a nearer plane makes faces a fraction of a unit apart fight.
    camera.zNear = std::max(camera.zFar * 5e-3f, (distance - extent) * 0.99f);
    return camera;
}

// The editor's start-up light as light 0, with lighting on; the settings hold the same light, whose
// direction the shadowed effect reads.
void SetStartUpLight(D3DZCDIRECT3D& d3d) {
    using S = SettingStatics;
    S::SetStartUpLight();
    const D3DXVECTOR3 direction(S::m_fLightDirX, S::m_fLightDirY, S::m_fLightDirZ);
    d3d.SetDirectionalLight(TRUE, 0, &direction,
                            D3DXCOLOR(S::m_fLightDifR, S::m_fLightDifG, S::m_fLightDifB, S::m_fLightDifA),
                            D3DXCOLOR(S::m_fLightAmbR, S::m_fLightAmbG, S::m_fLightAmbB, S::m_fLightAmbA),
                            D3DXCOLOR(S::m_fLightSpeR, S::m_fLightSpeG, S::m_fLightSpeB, S::m_fLightSpeA));
    d3d.LightEnable(TRUE);
}

// Every object with the shader set's draw, opaque ones as copies of their models as the editor draws
// them, except in the toon mode (see the editor's object list).
void DrawEach(Scene& scene, void (CShader::*draw)(ShadedObject*)) {
    CShader& shaders = CShader::GetInstance();
    ModelCopies copies(
        [&shaders, draw](D3DZCXFILE& model, IDirect3DVertexBuffer9* matrices, UINT offset, UINT count) {
            shaders.DrawCopies(draw, model, matrices, offset, count);
        });
    for (SceneObject& object : scene.objects) {
        if (draw != &CShader::DrawToon && copies.Add(object.GetXData(), *object.GetWorld()))
            continue;
        copies.Draw();
        (shaders.*draw)(&object);
    }
    copies.Draw();
}

// As the editor does it: first every object into the shadow map, from 30 units against the light's
// direction, then every object sampling the map.
void DrawShadowed(D3DZCDIRECT3D& d3d, Scene& scene, const D3DXVECTOR4& box) {
    CShader& shaders = CShader::GetInstance();
    D3DXVECTOR3 lightPosition = d3d.GetLightDir(0) * -30.0f;
    D3DXVECTOR4 lightBox = box;
    shaders.GetShadowMap().Begin(&lightPosition, &lightBox);
    DrawEach(scene, &CShader::DrawCreateShadow);
    shaders.GetShadowMap().End();
    DrawEach(scene, &CShader::DrawShadow);
}

void DrawWithEffects(D3DZCDIRECT3D& d3d, Scene& scene, const ModelCommands::RenderOptions& options) {
    if (options.mode == "shadow") {
        const auto box = options.shadowBox.value_or(std::array<float, 4>{
            static_cast<float>(options.width), static_cast<float>(options.height), 0.1f, 2000.0f});
        DrawShadowed(d3d, scene, D3DXVECTOR4(box[0], box[1], box[2], box[3]));
        return;
    }
    void (CShader::*draw)(ShadedObject*) = options.mode == "base"   ? &CShader::DrawBase
                                           : options.mode == "toon" ? &CShader::DrawToon
                                                                    : &CShader::DrawSpeMap;
    DrawEach(scene, draw);
}

void DrawScene(D3DZCDIRECT3D& d3d, Scene& scene, const Camera& camera, float aspect,
               const ModelCommands::RenderOptions& options) {
    d3d.Begin();
    d3d.SetView(&camera.view);
    D3DXMATRIX projection;
    d3d.SetProj(&projection, kFieldOfViewDegrees, aspect, camera.zNear, camera.zFar);
    SetStartUpLight(d3d);
    if (options.mode == "fixed") {
        ModelCopies copies;
        for (SceneObject& object : scene.objects) {
            if (copies.Add(object.GetXData(), *object.GetWorld()))
                continue;
            copies.Draw();
            d3d.SetWorldTrans(object.GetWorld());
            object.GetXData()->Draw(1.0f);
        }
        copies.Draw();
        if (scene.skinned != nullptr) {
            D3DXMATRIX identity;
            D3DXMatrixIdentity(&identity);
            scene.skinned->Draw(&identity);
        }
    } else {
        CShader::GetInstance().SetCamera(&camera.pose);
        DrawWithEffects(d3d, scene, options);
        CShader::GetInstance().SetCamera(nullptr);
    }
    d3d.GetDevice()->EndScene();
}

// The folder that holds Data/: the working directory's, as for the editor, then the installation's
// beside the tool, then the nearest folder above the tool's own file that has it, so the tool also
// runs from a build tree.
std::optional<std::filesystem::path> DataRoot(const std::filesystem::path& working,
                                              const std::filesystem::path& tool) {
    if (auto found = DataFolder::Find(working, tool))
        return found;
    std::error_code ignored;
    for (std::filesystem::path folder = tool.parent_path(); !folder.empty(); folder = folder.parent_path()) {
        if (std::filesystem::is_regular_file(folder / DataFolder::kMarker, ignored))
            return folder;
        if (folder == folder.root_path())
            break;
    }
    return std::nullopt;
}

// Chooses the data folder, where one is found: the effects come from it, and a model a map names as
// "Data/..." that is not in the working directory is looked for there.
bool UseDataFolder(std::ostream* err) {
    std::error_code ignored;
    const std::filesystem::path working = std::filesystem::current_path(ignored);
    const std::filesystem::path tool = DataFolder::RunningExecutable();
    const auto root = DataRoot(working, tool);
    if (root) {
        DataFolder::Use(*root, working);
        return true;
    }
    if (err != nullptr)
        *err << "fsmith: cannot find " << DataFolder::kMarker << " in " << working.string() << ", in "
             << DataFolder::InstalledFolder(tool).string() << " or above the tool\n";
    return false;
}

bool LoadShaderSet(std::ostream& err, const MessageBoxRecorder& messages) {
    if (!UseDataFolder(&err))
        return false;
    CShader::GetInstance().Init();
    for (const auto& message : messages.Messages())
        err << "fsmith: " << message.caption << ": " << message.text << '\n';
    return messages.Messages().empty();
}

// The set a --anim value names: a number counts from 0, anything else is a set's name.
bool FindAnimationSet(ID3DXAnimationController& controller, const std::string& wanted, UINT& index) {
    const UINT count = controller.GetNumAnimationSets();
    UINT number = 0;
    const char* end = wanted.data() + wanted.size();
    const auto parsed = std::from_chars(wanted.data(), end, number);
    if (parsed.ec == std::errc() && parsed.ptr == end) {
        index = number;
        return number < count;
    }
    for (index = 0; index < count; ++index) {
        ID3DXAnimationSet* set = nullptr;
        controller.GetAnimationSet(index, &set);
        const bool same = wanted == set->GetName();
        set->Release();
        if (same)
            return true;
    }
    return false;
}

void AddBonePositions(const D3DXFRAME* frame, const D3DXMATRIX& parent, Bounds& bones) {
    for (; frame != nullptr; frame = frame->pFrameSibling) {
        D3DXMATRIX combined;
        D3DXMatrixMultiply(&combined, &frame->TransformationMatrix, &parent);
        if (static_cast<const D3DZANIMEFRAME*>(frame)->m_dwBoneId != D3DZANIMEFRAME::kNoBone)
            bones.Add(D3DXVECTOR3(combined._41, combined._42, combined._43));
        AddBonePositions(frame->pFrameFirstChild, combined, bones);
    }
}

// The pose moves the skin away from where the file's static mesh stands: the camera aims at the posed
// bones, with room for a box the size of the static mesh around them.
void FramePosedScene(const D3DZCXSkinMesh& skin, Scene& scene) {
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    Bounds mesh, bones;
    if (skin.GetMesh() != nullptr)
        AddMeshBounds(mesh, *skin.GetMesh(), identity);
    AddBonePositions(skin.GetFrameRoot(), identity, bones);
    if (mesh.empty)
        return;
    const D3DXVECTOR3 centre = bones.empty ? (mesh.low + mesh.high) * 0.5f : (bones.low + bones.high) * 0.5f;
    const D3DXVECTOR3 half = (mesh.high - mesh.low) * 0.5f;
    scene.bounds.Add(centre - half);
    scene.bounds.Add(centre + half);
    scene.target = centre;
}

// Loads the model as a skinned hierarchy and poses it: the chosen set alone on track 0, at the time.
bool LoadPosedScene(const ModelCommands::RenderOptions& options, D3DZCXSkinMesh& skin, Scene& scene,
                    std::string& posed, std::ostream& err) {
    XFileModel model;
    std::string error;
    if (!XFileModel::Load(options.input, model, error)) {
        err << "fsmith: " << error << '\n';
        return false;
    }
    if (!skin.Load(options.input.c_str(), nullptr) || skin.GetHighLevelController() == nullptr) {
        err << "fsmith: '" << options.input << "' has no "
            << (model.animationSets.empty() ? "animation sets" : "mesh to pose") << '\n';
        return false;
    }
    ID3DXAnimationController& controller = *skin.GetHighLevelController()->GetController();
    UINT index = 0;
    if (!FindAnimationSet(controller, options.anim.value_or("0"), index)) {
        err << "fsmith: '" << options.input << "' has no animation set '" << *options.anim << "'; it has";
        for (UINT i = 0; i < controller.GetNumAnimationSets(); ++i) {
            ID3DXAnimationSet* set = nullptr;
            controller.GetAnimationSet(i, &set);
            err << ' ' << i << " '" << set->GetName() << "'";
            set->Release();
        }
        err << '\n';
        return false;
    }
    ID3DXAnimationSet* set = nullptr;
    controller.GetAnimationSet(index, &set);
    D3DXTRACK_DESC track;
    track.Position = options.animTime.value_or(0.0f);
    track.Enable = TRUE;
    controller.SetTrackAnimationSet(0, set);
    controller.SetTrackDesc(0, &track);
    for (UINT other = 1; other < controller.GetMaxNumTracks(); ++other)
        controller.SetTrackEnable(other, FALSE);
    controller.AdvanceTime(0.0, nullptr);
    posed = "'" + std::string(set->GetName()) + "' at " + Number(static_cast<float>(track.Position)) + " s";
    set->Release();
    scene.skinned = &skin;
    FramePosedScene(skin, scene);
    return true;
}

// Meshes hold device resources: the cache is emptied before the device goes, on every way out.
class DeviceSession {
public:
    DeviceSession(int width, int height) {
        D3DZDMXFILE::GetInstance().AllClear();
        m_device = D3DZCDIRECT3D::GetInstance().Init(nullptr, 0, width, height);
    }
    ~DeviceSession() {
        CShader::GetInstance().Release();
        D3DZDMXFILE::GetInstance().AllClear();
        D3DZCDIRECT3D::GetInstance().Release();
    }
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    IDirect3DDevice9* Device() const { return m_device; }

private:
    IDirect3DDevice9* m_device;
};

// A glTF or OBJ model as the mesh cache builds it, and what of the file a static mesh leaves out.
int ForeignInfo(const std::string& path, std::ostream& out, std::ostream& err) {
    ModelData model;
    std::string error;
    if (!ModelFile::Read(path, model, error)) {
        err << "fsmith: " << error << '\n';
        return 1;
    }
    out << "file: " << path << "\nformat: " << ModelFormat::Name(ModelFormat::Of(path))
        << "\nvertices: " << model.positions.size() << "\nfaces: " << model.faces.size()
        << "\nmaterials: " << model.materials.size() << '\n';
    static const char* const modes[] = {"opaque", "mask", "blend"};
    for (std::size_t i = 0; i < model.materials.size(); ++i) {
        const ModelMaterial& m = model.materials[i];
        const auto faces = std::count(model.attributes.begin(), model.attributes.end(), i);
        out << "  material " << i << ' ' << Quoted(m.name) << ": " << faces << " faces, diffuse "
            << Floats(m.diffuse.data(), 4) << ", power " << Number(m.power) << ", specular "
            << Floats(m.specular.data(), 3) << ", emissive " << Floats(m.emissive.data(), 3) << ", alpha "
            << modes[static_cast<int>(m.alphaMode)] << '\n';
        if (!m.textureBytes.empty())
            out << "    texture " << (m.textureFile.empty() ? "embedded" : "'" + m.textureFile + "'") << ", "
                << m.textureBytes.size() << " bytes\n";
        else if (!m.textureFile.empty())
            out << "    texture '" << m.textureFile << "'\n";
    }
    out << "left out:";
    for (const std::string& note : model.leftOut)
        out << (&note == &model.leftOut.front() ? " " : ", ") << note;
    out << (model.leftOut.empty() ? " nothing\n" : " (the rest pose is loaded)\n");
    return 0;
}

} // namespace

int ModelCommands::XInfo(const std::string& path, std::ostream& out, std::ostream& err) {
    if (ModelFormat::IsForeign(path))
        return ForeignInfo(path, out, err);
    XFileModel model;
    std::string error;
    if (!XFileModel::Load(path, model, error)) {
        err << "fsmith: " << error << '\n';
        return 1;
    }
    std::size_t meshes = 0;
    ForEachMesh(model, [&](const XFileMesh&) { ++meshes; });
    out << "file: " << path << "\nformat: " << FormatName(path) << "\nmeshes: " << meshes << '\n';
    PrintCombinedMesh(out, model, path);
    out << "frames: " << CountFrames(model.frames) << '\n';
    PrintFrameTree(out, model.frames, 1);
    PrintBones(out, model);
    PrintAnimations(out, model);
    return 0;
}

bool ModelCommands::ParseRenderOptions(const Args& args, RenderOptions& options, std::string& error) {
    for (std::size_t i = 0; i < args.size() && error.empty(); ++i) {
        if (IsOptionName(args[i])) {
            if (i + 1 == args.size())
                error = args[i] + " needs a value";
            else
                ParseOption(args[i], args[i + 1], options, error);
            ++i;
        } else if (!args[i].empty() && args[i][0] == '-')
            error = "render does not know the option '" + args[i] + "'";
        else if (options.input.empty())
            options.input = args[i];
        else
            error = "render takes one FILE, not also '" + args[i] + "'";
    }
    if (error.empty() && (options.input.empty() || options.output.empty()))
        error = "render takes FILE -o OUT.png";
    if (error.empty() && (options.anim || options.animTime) && options.mode != "fixed")
        error = "--anim and --time pose a skinned model, which is drawn with --mode fixed only";
    return error.empty();
}

int ModelCommands::Render(const RenderOptions& options, std::ostream& out, std::ostream& err) {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(options.input, ignored)) {
        err << "fsmith: cannot read '" << options.input
            << "': " << (std::filesystem::exists(options.input, ignored) ? "not a file" : "no such file")
            << '\n';
        return 1;
    }
    MessageBoxRecorder messages;
    DeviceSession session(options.width, options.height);
    if (session.Device() == nullptr) {
        err << "fsmith: no graphics device";
        for (const auto& message : messages.Messages())
            err << ": " << message.text;
        err << '\n';
        return 1;
    }
    if (options.mode == "fixed")
        UseDataFolder(nullptr);
    else if (!LoadShaderSet(err, messages))
        return 1;
    const bool isMap = ModelCommands::IsMapFile(options.input);
    const bool posing = options.anim || options.animTime;
    if (isMap && posing) {
        err << "fsmith: --anim and --time pose one X file, not the models of a map\n";
        return 1;
    }
    Scene scene;
    D3DZCXSkinMesh skin; // after the session: its resources go before the device
    std::string posed;
    if (!(posing  ? LoadPosedScene(options, skin, scene, posed, err)
          : isMap ? LoadMapScene(options.input, scene, err)
                  : LoadModelScene(options.input, scene, err)))
        return 1;
    const float aspect = static_cast<float>(options.width) / static_cast<float>(options.height);
    D3DZCDIRECT3D& d3d = D3DZCDIRECT3D::GetInstance();
    DrawScene(d3d, scene, MakeCamera(options, scene, aspect), aspect, options);
    if (!BackBufferPng::Save(session.Device(), options.output)) {
        err << "fsmith: cannot write '" << options.output << "'\n";
        return 1;
    }
    const std::size_t objects = scene.objects.size() + (scene.skinned != nullptr ? 1 : 0);
    out << "wrote " << options.output << " (" << options.width << " x " << options.height << ", " << objects
        << (objects == 1 ? " object" : " objects") << (posed.empty() ? "" : ", " + posed) << ")\n";
    return 0;
}
