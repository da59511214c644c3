#include "GltfWriter.h"

#include "Handedness.h"
#include "ModelFormat.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace {

constexpr int kArrayBuffer = TINYGLTF_TARGET_ARRAY_BUFFER;
constexpr int kElementArrayBuffer = TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER;

std::string MimeTypeOf(const std::vector<unsigned char>& bytes) {
    static const unsigned char png[] = {0x89, 'P', 'N', 'G'};
    if (bytes.size() >= 4 && std::equal(png, png + 4, bytes.begin()))
        return "image/png";
    if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF)
        return "image/jpeg";
    return "";
}

bool ReadFile(const std::string& path, std::vector<unsigned char>& bytes) {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored))
        return false;
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// As the mesh loader looks for X textures: in the model's folder as written, else by bare name there.
std::string TextureFilePath(const std::string& folder, std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    const std::filesystem::path base =
        folder.empty() ? std::filesystem::path(".") : std::filesystem::path(folder);
    std::error_code ignored;
    const std::filesystem::path asWritten = base / name;
    if (std::filesystem::is_regular_file(asWritten, ignored))
        return asWritten.string();
    return (base / std::filesystem::path(name).filename()).string();
}

bool AllUnit(const std::vector<D3DXVECTOR3>& normals) {
    return std::all_of(normals.begin(), normals.end(),
                       [](const D3DXVECTOR3& n) { return std::fabs(D3DXVec3Length(&n) - 1.0f) < 1e-3f; });
}

class GltfBuilder {
public:
    GltfBuilder(bool binary, std::string stem) : m_binary(binary), m_stem(std::move(stem)) {
        m_out.asset.version = "2.0";
        m_out.asset.generator = "3DFieldsmith fsmith";
        m_out.buffers.emplace_back();
        if (!binary)
            m_out.buffers[0].uri = m_stem + ".bin";
    }

    void AddModel(const GltfExportModel& model) {
        ModelData data = model.data;
        Handedness::Mirror(data);
        tinygltf::Mesh mesh;
        mesh.name = model.name;
        const int position = AddVec3(data.positions, true);
        const int normal = AllUnit(data.normals) ? AddVec3(data.normals, false) : -1;
        const int uv = AddVec2(data.texCoords);
        const int firstMaterial = static_cast<int>(m_out.materials.size());
        for (const ModelMaterial& material : data.materials)
            AddMaterial(material, model.folder);
        for (std::size_t attribute = 0; attribute < data.materials.size(); ++attribute) {
            std::vector<std::uint32_t> indices;
            for (std::size_t face = 0; face < data.faces.size(); ++face)
                if (data.attributes[face] == attribute)
                    indices.insert(indices.end(), data.faces[face].begin(), data.faces[face].end());
            if (indices.empty())
                continue;
            tinygltf::Primitive primitive;
            primitive.mode = TINYGLTF_MODE_TRIANGLES;
            primitive.attributes["POSITION"] = position;
            if (normal >= 0)
                primitive.attributes["NORMAL"] = normal;
            primitive.attributes["TEXCOORD_0"] = uv;
            primitive.indices = AddIndices(indices);
            primitive.material = firstMaterial + static_cast<int>(attribute);
            mesh.primitives.push_back(std::move(primitive));
        }
        m_out.meshes.push_back(std::move(mesh));
    }

    void AddNode(const GltfExportNode& placed) {
        tinygltf::Node node;
        node.name = placed.name;
        node.mesh = static_cast<int>(placed.model);
        const std::array<float, 16> matrix = Handedness::ToGltfMatrix(placed.world);
        node.matrix.assign(matrix.begin(), matrix.end());
        m_out.scenes.resize(1);
        m_out.scenes[0].nodes.push_back(static_cast<int>(m_out.nodes.size()));
        m_out.nodes.push_back(std::move(node));
    }

    tinygltf::Model& Result() {
        m_out.defaultScene = 0;
        m_out.buffers[0].data = m_bytes;
        return m_out;
    }
    const std::vector<std::string>& Warnings() const { return m_warnings; }
    // Image files a .gltf names, to be written beside it.
    const std::map<std::string, std::vector<unsigned char>>& ImageFiles() const { return m_imageFiles; }

private:
    int AddView(const void* data, std::size_t size, int target) {
        while (m_bytes.size() % 4 != 0)
            m_bytes.push_back(0);
        tinygltf::BufferView view;
        view.buffer = 0;
        view.byteOffset = m_bytes.size();
        view.byteLength = size;
        view.target = target;
        const auto* bytes = static_cast<const unsigned char*>(data);
        m_bytes.insert(m_bytes.end(), bytes, bytes + size);
        m_out.bufferViews.push_back(view);
        return static_cast<int>(m_out.bufferViews.size() - 1);
    }

    int AddAccessor(int view, std::size_t count, int type, int componentType) {
        tinygltf::Accessor accessor;
        accessor.bufferView = view;
        accessor.count = count;
        accessor.type = type;
        accessor.componentType = componentType;
        m_out.accessors.push_back(accessor);
        return static_cast<int>(m_out.accessors.size() - 1);
    }

    int AddVec3(const std::vector<D3DXVECTOR3>& values, bool withBounds) {
        const int view = AddView(values.data(), values.size() * sizeof(D3DXVECTOR3), kArrayBuffer);
        const int index = AddAccessor(view, values.size(), TINYGLTF_TYPE_VEC3, TINYGLTF_COMPONENT_TYPE_FLOAT);
        if (withBounds) {
            tinygltf::Accessor& accessor = m_out.accessors[static_cast<std::size_t>(index)];
            accessor.minValues.assign(3, INFINITY);
            accessor.maxValues.assign(3, -INFINITY);
            for (const D3DXVECTOR3& v : values)
                for (std::size_t c = 0; c < 3; ++c) {
                    accessor.minValues[c] = std::min<double>(accessor.minValues[c], (&v.x)[c]);
                    accessor.maxValues[c] = std::max<double>(accessor.maxValues[c], (&v.x)[c]);
                }
        }
        return index;
    }

    int AddVec2(const std::vector<D3DXVECTOR2>& values) {
        const int view = AddView(values.data(), values.size() * sizeof(D3DXVECTOR2), kArrayBuffer);
        return AddAccessor(view, values.size(), TINYGLTF_TYPE_VEC2, TINYGLTF_COMPONENT_TYPE_FLOAT);
    }

    int AddIndices(const std::vector<std::uint32_t>& indices) {
        const int view = AddView(indices.data(), indices.size() * sizeof(std::uint32_t), kElementArrayBuffer);
        return AddAccessor(view, indices.size(), TINYGLTF_TYPE_SCALAR, TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT);
    }

    // The texture's image, or -1 with a warning where it cannot be carried.
    int AddImage(const ModelMaterial& material, const std::string& folder) {
        std::vector<unsigned char> bytes = material.textureBytes;
        const std::string where =
            material.textureFile.empty() ? "an embedded image" : "'" + material.textureFile + "'";
        if (bytes.empty() && !ReadFile(TextureFilePath(folder, material.textureFile), bytes)) {
            m_warnings.push_back("texture " + where + " not found; left out");
            return -1;
        }
        const std::string mime = MimeTypeOf(bytes);
        if (mime.empty()) {
            m_warnings.push_back("texture " + where +
                                 " is neither PNG nor JPEG, which glTF carries; left out");
            return -1;
        }
        tinygltf::Image image;
        if (m_binary) {
            image.bufferView = AddView(bytes.data(), bytes.size(), 0);
            m_out.bufferViews.back().target = 0;
            image.mimeType = mime;
        } else {
            image.uri =
                m_stem + "_" + std::to_string(m_out.images.size()) + (mime == "image/png" ? ".png" : ".jpg");
            m_imageFiles[image.uri] = std::move(bytes);
        }
        m_out.images.push_back(std::move(image));
        tinygltf::Texture texture;
        texture.source = static_cast<int>(m_out.images.size() - 1);
        m_out.textures.push_back(texture);
        return static_cast<int>(m_out.textures.size() - 1);
    }

    void AddMaterial(const ModelMaterial& source, const std::string& folder) {
        tinygltf::Material material;
        material.name = source.name;
        const auto unit = [](float value) { return std::clamp(static_cast<double>(value), 0.0, 1.0); };
        auto& pbr = material.pbrMetallicRoughness;
        pbr.baseColorFactor = {unit(source.diffuse[0]), unit(source.diffuse[1]), unit(source.diffuse[2]),
                               unit(source.diffuse[3])};
        // Direct3D materials are plain lit colours: not metallic, fully rough.
        pbr.metallicFactor = 0.0;
        pbr.roughnessFactor = 1.0;
        material.emissiveFactor = {unit(source.emissive[0]), unit(source.emissive[1]),
                                   unit(source.emissive[2])};
        if (source.alphaMode == ModelMaterial::AlphaMode::Blend)
            material.alphaMode = "BLEND";
        else if (source.alphaMode == ModelMaterial::AlphaMode::Mask) {
            material.alphaMode = "MASK";
            material.alphaCutoff = source.alphaCutoff;
        }
        if (source.HasTexture())
            pbr.baseColorTexture.index = AddImage(source, folder);
        m_out.materials.push_back(std::move(material));
    }

    bool m_binary;
    std::string m_stem;
    tinygltf::Model m_out;
    std::vector<unsigned char> m_bytes;
    std::vector<std::string> m_warnings;
    std::map<std::string, std::vector<unsigned char>> m_imageFiles;
};

bool WriteBytes(const std::filesystem::path& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

} // namespace

bool GltfWriter::Write(const GltfExportScene& scene, const std::string& path,
                       std::vector<std::string>& warnings, std::string& error) {
    const bool binary = ModelFormat::Of(path) == ModelFormat::Glb;
    if (!binary && ModelFormat::Of(path) != ModelFormat::Gltf) {
        error = "'" + path + "' must end in .glb or .gltf";
        return false;
    }
    if (scene.nodes.empty()) {
        error = "nothing to export";
        return false;
    }
    const std::filesystem::path target(path);
    GltfBuilder builder(binary, target.stem().string());
    for (const GltfExportModel& model : scene.models)
        builder.AddModel(model);
    for (const GltfExportNode& node : scene.nodes)
        builder.AddNode(node);
    warnings = builder.Warnings();
    for (const auto& [name, bytes] : builder.ImageFiles())
        if (!WriteBytes(target.parent_path() / name, bytes)) {
            error = "cannot write '" + (target.parent_path() / name).string() + "'";
            return false;
        }
    tinygltf::TinyGLTF writer;
    // Images are written above, byte for byte; the library's own writer would re-encode decoded pixels.
    writer.SetImageWriter(nullptr, nullptr);
    if (!writer.WriteGltfSceneToFile(&builder.Result(), path, false, false, true, binary)) {
        error = "cannot write '" + path + "'";
        return false;
    }
    return true;
}
