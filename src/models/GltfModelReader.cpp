#include "GltfModelReader.h"

#include "Handedness.h"

#include <tiny_gltf.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <set>

namespace {

// Nodes nested deeper than this are taken as a cycle or an attack rather than a model.
constexpr int kMaxNodeDepth = 256;
constexpr int kTriangles = TINYGLTF_MODE_TRIANGLES;

// Images are kept as the bytes of their files, undecoded: the texture loader decodes them with the
// device's own image reader, and the writer copies them unchanged.
bool KeepImageBytes(tinygltf::Image* image, const int, std::string*, std::string*, int, int,
                    const unsigned char* bytes, int size, void*) {
    image->image.assign(bytes, bytes + std::max(size, 0));
    image->as_is = true;
    return true;
}

// One accessor's elements as floats, checked against its buffer view and buffer first.
class AccessorReader {
public:
    explicit AccessorReader(const tinygltf::Model& model) : m_model(model) {}

    // Components per element must be `width`; integer components are normalised where the accessor
    // says so. A missing accessor index gives false with `error` set.
    bool Floats(int index, int width, std::vector<float>& out, std::string& error) const {
        const tinygltf::Accessor* accessor = Find(index, error);
        if (accessor == nullptr)
            return false;
        if (tinygltf::GetNumComponentsInType(static_cast<uint32_t>(accessor->type)) != width) {
            error = "accessor " + std::to_string(index) + " has the wrong type";
            return false;
        }
        const unsigned char* data = nullptr;
        std::size_t stride = 0;
        if (!Locate(*accessor, index, width, data, stride, error))
            return false;
        out.assign(accessor->count * static_cast<std::size_t>(width), 0.0f);
        for (std::size_t i = 0; data != nullptr && i < accessor->count; ++i)
            for (int c = 0; c < width; ++c)
                out[i * width + c] = Component(*accessor, data + i * stride, c);
        return true;
    }

    bool Indices(int index, std::vector<DWORD>& out, std::string& error) const {
        const tinygltf::Accessor* accessor = Find(index, error);
        if (accessor == nullptr)
            return false;
        const int type = accessor->componentType;
        if (accessor->type != TINYGLTF_TYPE_SCALAR || (type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE &&
                                                       type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
                                                       type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT)) {
            error = "index accessor " + std::to_string(index) + " is not of unsigned integers";
            return false;
        }
        const unsigned char* data = nullptr;
        std::size_t stride = 0;
        if (!Locate(*accessor, index, 1, data, stride, error))
            return false;
        out.assign(accessor->count, 0);
        for (std::size_t i = 0; data != nullptr && i < accessor->count; ++i)
            out[i] = Unsigned(type, data + i * stride);
        return true;
    }

private:
    const tinygltf::Accessor* Find(int index, std::string& error) const {
        if (index < 0 || static_cast<std::size_t>(index) >= m_model.accessors.size()) {
            error = "accessor " + std::to_string(index) + " does not exist";
            return nullptr;
        }
        const tinygltf::Accessor& accessor = m_model.accessors[static_cast<std::size_t>(index)];
        if (accessor.sparse.isSparse) {
            error = "accessor " + std::to_string(index) + " is sparse, which is not read";
            return nullptr;
        }
        return &accessor;
    }

    // Where element 0 starts and how far apart elements are; data stays null for an accessor without
    // a buffer view, whose elements are all zero.
    bool Locate(const tinygltf::Accessor& accessor, int index, int width, const unsigned char*& data,
                std::size_t& stride, std::string& error) const {
        const int componentSize =
            tinygltf::GetComponentSizeInBytes(static_cast<uint32_t>(accessor.componentType));
        const std::string name = "accessor " + std::to_string(index);
        if (componentSize <= 0) {
            error = name + " has an unknown component type";
            return false;
        }
        const std::size_t elementSize =
            static_cast<std::size_t>(componentSize) * static_cast<std::size_t>(width);
        // Even an accessor without data must not promise more elements than memory could hold.
        if (accessor.count > std::numeric_limits<std::uint32_t>::max()) {
            error = name + " has too many elements";
            return false;
        }
        if (accessor.bufferView < 0)
            return true;
        if (static_cast<std::size_t>(accessor.bufferView) >= m_model.bufferViews.size()) {
            error = name + " refers to buffer view " + std::to_string(accessor.bufferView) +
                    ", which does not exist";
            return false;
        }
        const tinygltf::BufferView& view = m_model.bufferViews[static_cast<std::size_t>(accessor.bufferView)];
        if (view.buffer < 0 || static_cast<std::size_t>(view.buffer) >= m_model.buffers.size()) {
            error = "buffer view " + std::to_string(accessor.bufferView) +
                    " refers to a buffer that does not exist";
            return false;
        }
        const std::vector<unsigned char>& buffer =
            m_model.buffers[static_cast<std::size_t>(view.buffer)].data;
        stride = view.byteStride != 0 ? view.byteStride : elementSize;
        const std::uint64_t viewEnd = std::uint64_t{view.byteOffset} + view.byteLength;
        const std::uint64_t needed = accessor.count == 0
                                         ? 0
                                         : std::uint64_t{accessor.byteOffset} +
                                               (accessor.count - 1) * std::uint64_t{stride} + elementSize;
        if (viewEnd > buffer.size() || needed > view.byteLength) {
            error = name + " reaches past the end of its buffer (a missing or short buffer)";
            return false;
        }
        data = buffer.data() + view.byteOffset + accessor.byteOffset;
        return true;
    }

    static DWORD Unsigned(int type, const unsigned char* at) {
        if (type == TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE)
            return *at;
        if (type == TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT) {
            std::uint16_t value;
            std::memcpy(&value, at, sizeof value);
            return value;
        }
        std::uint32_t value;
        std::memcpy(&value, at, sizeof value);
        return value;
    }

    static float Component(const tinygltf::Accessor& accessor, const unsigned char* element, int c) {
        const int type = accessor.componentType;
        const int size = tinygltf::GetComponentSizeInBytes(static_cast<uint32_t>(type));
        const unsigned char* at = element + c * size;
        if (type == TINYGLTF_COMPONENT_TYPE_FLOAT) {
            float value;
            std::memcpy(&value, at, sizeof value);
            return value;
        }
        if (type == TINYGLTF_COMPONENT_TYPE_DOUBLE) {
            double value;
            std::memcpy(&value, at, sizeof value);
            return static_cast<float>(value);
        }
        const bool isSigned = type == TINYGLTF_COMPONENT_TYPE_BYTE || type == TINYGLTF_COMPONENT_TYPE_SHORT ||
                              type == TINYGLTF_COMPONENT_TYPE_INT;
        double value = 0;
        if (isSigned) {
            std::int32_t raw = 0;
            if (size == 1)
                raw = static_cast<std::int8_t>(*at);
            else if (size == 2) {
                std::int16_t v;
                std::memcpy(&v, at, sizeof v);
                raw = v;
            } else
                std::memcpy(&raw, at, sizeof raw);
            value = raw;
        } else
            value = Unsigned(type, at);
        if (!accessor.normalized)
            return static_cast<float>(value);
        const double range = size == 1   ? (isSigned ? 127.0 : 255.0)
                             : size == 2 ? (isSigned ? 32767.0 : 65535.0)
                                         : (isSigned ? 2147483647.0 : 4294967295.0);
        return static_cast<float>(std::max(value / range, -1.0));
    }

    const tinygltf::Model& m_model;
};

D3DXMATRIX LocalMatrix(const tinygltf::Node& node) {
    D3DXMATRIX local;
    if (node.matrix.size() == 16) {
        // glTF stores column-major matrices for column vectors; read row by row that is the same
        // transform for row vectors.
        float m[16];
        for (int i = 0; i < 16; ++i)
            m[i] = static_cast<float>(node.matrix[static_cast<std::size_t>(i)]);
        return D3DXMATRIX(m);
    }
    D3DXMATRIX scale, rotation, translation;
    D3DXMatrixIdentity(&scale);
    D3DXMatrixIdentity(&rotation);
    D3DXMatrixIdentity(&translation);
    if (node.scale.size() == 3)
        D3DXMatrixScaling(&scale, static_cast<float>(node.scale[0]), static_cast<float>(node.scale[1]),
                          static_cast<float>(node.scale[2]));
    if (node.rotation.size() == 4) {
        D3DXQUATERNION q(static_cast<float>(node.rotation[0]), static_cast<float>(node.rotation[1]),
                         static_cast<float>(node.rotation[2]), static_cast<float>(node.rotation[3]));
        D3DXQuaternionNormalize(&q, &q);
        D3DXMatrixRotationQuaternion(&rotation, &q);
    }
    if (node.translation.size() == 3)
        D3DXMatrixTranslation(&translation, static_cast<float>(node.translation[0]),
                              static_cast<float>(node.translation[1]),
                              static_cast<float>(node.translation[2]));
    // Row vectors: scale first, then rotate, then move (glTF's T * R * S for column vectors).
    D3DXMatrixMultiply(&local, &scale, &rotation);
    D3DXMatrixMultiply(&local, &local, &translation);
    return local;
}

class GltfMeshBuilder {
public:
    explicit GltfMeshBuilder(const tinygltf::Model& model) : m_model(model), m_accessors(model) {}

    bool Build(ModelData& out, std::string& error) {
        if (!CheckExtensions(error) || !AddScene(error))
            return false;
        if (m_out.faces.empty()) {
            error = "its default scene holds no triangles";
            return false;
        }
        NoteLeftOut();
        out = std::move(m_out);
        return true;
    }

private:
    bool CheckExtensions(std::string& error) const {
        for (const std::string& extension : m_model.extensionsRequired) {
            error = "it requires the extension " + extension + ", which is not supported";
            return false;
        }
        return true;
    }

    bool AddScene(std::string& error) {
        std::vector<int> roots;
        if (!m_model.scenes.empty()) {
            const int chosen = m_model.defaultScene >= 0 ? m_model.defaultScene : 0;
            if (static_cast<std::size_t>(chosen) >= m_model.scenes.size()) {
                error = "its default scene " + std::to_string(chosen) + " does not exist";
                return false;
            }
            roots = m_model.scenes[static_cast<std::size_t>(chosen)].nodes;
        } else {
            // No scene: every node that is nobody's child.
            std::set<int> children;
            for (const tinygltf::Node& node : m_model.nodes)
                children.insert(node.children.begin(), node.children.end());
            for (int i = 0; i < static_cast<int>(m_model.nodes.size()); ++i)
                if (children.count(i) == 0)
                    roots.push_back(i);
        }
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        for (const int root : roots)
            if (!AddNode(root, identity, 0, error))
                return false;
        return true;
    }

    bool AddNode(int index, const D3DXMATRIX& parent, int depth, std::string& error) {
        if (index < 0 || static_cast<std::size_t>(index) >= m_model.nodes.size()) {
            error = "node " + std::to_string(index) + " does not exist";
            return false;
        }
        if (depth > kMaxNodeDepth || m_onPath.count(index) != 0) {
            error = "node " + std::to_string(index) + " is its own ancestor or nested too deeply";
            return false;
        }
        const tinygltf::Node& node = m_model.nodes[static_cast<std::size_t>(index)];
        D3DXMATRIX world;
        const D3DXMATRIX local = LocalMatrix(node);
        D3DXMatrixMultiply(&world, &local, &parent);
        if (node.mesh >= 0 && !AddMesh(node.mesh, world, error))
            return false;
        m_onPath.insert(index);
        for (const int child : node.children)
            if (!AddNode(child, world, depth + 1, error))
                return false;
        m_onPath.erase(index);
        return true;
    }

    bool AddMesh(int index, const D3DXMATRIX& world, std::string& error) {
        if (static_cast<std::size_t>(index) >= m_model.meshes.size()) {
            error = "mesh " + std::to_string(index) + " does not exist";
            return false;
        }
        const tinygltf::Mesh& mesh = m_model.meshes[static_cast<std::size_t>(index)];
        for (const tinygltf::Primitive& primitive : mesh.primitives) {
            if (!AddPrimitive(primitive, world, error)) {
                error = "mesh " + std::to_string(index) + (mesh.name.empty() ? "" : " '" + mesh.name + "'") +
                        ": " + error;
                return false;
            }
        }
        return true;
    }

    bool AddPrimitive(const tinygltf::Primitive& primitive, const D3DXMATRIX& world, std::string& error) {
        if (primitive.mode != kTriangles && primitive.mode != -1) {
            error = "primitive mode " + std::to_string(primitive.mode) +
                    " (points, lines or strips) is not read; only triangles are";
            return false;
        }
        if (!primitive.targets.empty())
            ++m_morphed;
        const auto attribute = [&](const char* name) {
            const auto found = primitive.attributes.find(name);
            return found == primitive.attributes.end() ? -1 : found->second;
        };
        std::vector<float> positions, normals, uvs;
        if (attribute("POSITION") < 0) {
            error = "a primitive has no POSITION";
            return false;
        }
        if (!m_accessors.Floats(attribute("POSITION"), 3, positions, error) ||
            (attribute("NORMAL") >= 0 && !m_accessors.Floats(attribute("NORMAL"), 3, normals, error)) ||
            (attribute("TEXCOORD_0") >= 0 && !m_accessors.Floats(attribute("TEXCOORD_0"), 2, uvs, error)))
            return false;
        const std::size_t count = positions.size() / 3;
        if ((!normals.empty() && normals.size() / 3 != count) || (!uvs.empty() && uvs.size() / 2 != count)) {
            error = "its attributes differ in length";
            return false;
        }
        std::vector<DWORD> indices;
        if (primitive.indices >= 0) {
            if (!m_accessors.Indices(primitive.indices, indices, error))
                return false;
        } else {
            indices.resize(count);
            for (std::size_t i = 0; i < count; ++i)
                indices[i] = static_cast<DWORD>(i);
        }
        if (indices.size() % 3 != 0) {
            error = "its " + std::to_string(indices.size()) + " indices do not make whole triangles";
            return false;
        }
        for (const DWORD index : indices)
            if (index >= count) {
                error = "index " + std::to_string(index) + " is out of range (" + std::to_string(count) +
                        " vertices)";
                return false;
            }
        const DWORD material = MaterialIndex(primitive.material);
        AddVertices(positions, normals, uvs, world);
        const auto base = static_cast<DWORD>(m_out.positions.size() - count);
        const std::size_t firstFace = m_out.faces.size();
        for (std::size_t i = 0; i < indices.size(); i += 3) {
            m_out.faces.push_back({base + indices[i], base + indices[i + 1], base + indices[i + 2]});
            m_out.attributes.push_back(material);
        }
        if (normals.empty())
            m_out.MakeFlatNormals(firstFace);
        return true;
    }

    void AddVertices(const std::vector<float>& positions, const std::vector<float>& normals,
                     const std::vector<float>& uvs, const D3DXMATRIX& world) {
        D3DXMATRIX normalMatrix = world, inverse;
        if (D3DXMatrixInverse(&inverse, nullptr, &world) != nullptr)
            D3DXMatrixTranspose(&normalMatrix, &inverse);
        const std::size_t count = positions.size() / 3;
        m_out.positions.reserve(m_out.positions.size() + count);
        m_out.normals.reserve(m_out.normals.size() + count);
        m_out.texCoords.reserve(m_out.texCoords.size() + count);
        for (std::size_t i = 0; i < count; ++i) {
            D3DXVECTOR3 position(&positions[3 * i]), placed, normal(0.0f, 0.0f, 0.0f);
            D3DXVec3TransformCoord(&placed, &position, &world);
            m_out.positions.push_back(placed);
            if (!normals.empty()) {
                const D3DXVECTOR3 given(&normals[3 * i]);
                D3DXVec3TransformNormal(&normal, &given, &normalMatrix);
                D3DXVec3Normalize(&normal, &normal);
            }
            m_out.normals.push_back(normal);
            m_out.texCoords.push_back(uvs.empty() ? D3DXVECTOR2(0.0f, 0.0f) : D3DXVECTOR2(&uvs[2 * i]));
        }
    }

    // The image bytes of a texture, or nothing where the texture, its image or its data is missing.
    void AddTexture(int textureIndex, ModelMaterial& material) const {
        if (textureIndex < 0 || static_cast<std::size_t>(textureIndex) >= m_model.textures.size())
            return;
        const int source = m_model.textures[static_cast<std::size_t>(textureIndex)].source;
        if (source < 0 || static_cast<std::size_t>(source) >= m_model.images.size())
            return;
        const tinygltf::Image& image = m_model.images[static_cast<std::size_t>(source)];
        material.textureBytes = image.image;
        material.textureMimeType = image.mimeType;
        if (!image.uri.empty() && image.uri.rfind("data:", 0) != 0)
            material.textureFile = image.uri;
    }

    DWORD MaterialIndex(int index) {
        const auto [found, added] =
            m_materials.try_emplace(index, static_cast<DWORD>(m_out.materials.size()));
        if (!added)
            return found->second;
        ModelMaterial material;
        if (index >= 0 && static_cast<std::size_t>(index) < m_model.materials.size()) {
            const tinygltf::Material& source = m_model.materials[static_cast<std::size_t>(index)];
            material.name = source.name;
            const auto& base = source.pbrMetallicRoughness.baseColorFactor;
            for (std::size_t i = 0; i < 4 && i < base.size(); ++i)
                material.diffuse[i] = static_cast<float>(base[i]);
            for (std::size_t i = 0; i < 3 && i < source.emissiveFactor.size(); ++i)
                material.emissive[i] = static_cast<float>(source.emissiveFactor[i]);
            if (source.alphaMode == "BLEND")
                material.alphaMode = ModelMaterial::AlphaMode::Blend;
            else if (source.alphaMode == "MASK")
                material.alphaMode = ModelMaterial::AlphaMode::Mask;
            material.alphaCutoff = static_cast<float>(source.alphaCutoff);
            AddTexture(source.pbrMetallicRoughness.baseColorTexture.index, material);
        }
        m_out.materials.push_back(std::move(material));
        return found->second;
    }

    void NoteLeftOut() {
        const auto note = [&](std::size_t count, const char* one, const char* many) {
            if (count != 0)
                m_out.leftOut.push_back(std::to_string(count) + " " + (count == 1 ? one : many));
        };
        note(m_model.skins.size(), "skin", "skins");
        note(m_morphed, "primitive with morph targets", "primitives with morph targets");
        note(m_model.animations.size(), "animation", "animations");
    }

    const tinygltf::Model& m_model;
    AccessorReader m_accessors;
    ModelData m_out;
    std::map<int, DWORD> m_materials;
    std::set<int> m_onPath;
    std::size_t m_morphed = 0;
};

bool Finish(bool parsed, const tinygltf::Model& model, const std::string& name, std::string parseError,
            ModelData& out, std::string& error) {
    if (!parsed) {
        while (!parseError.empty() && (parseError.back() == '\n' || parseError.back() == '\r'))
            parseError.pop_back();
        error = "'" + name +
                "' is not a readable glTF file: " + (parseError.empty() ? "parse error" : parseError);
        return false;
    }
    ModelData built;
    std::string fault;
    if (!GltfMeshBuilder(model).Build(built, fault)) {
        error = "'" + name + "': " + fault;
        return false;
    }
    built.DropUnusedVertices();
    Handedness::Mirror(built);
    out = std::move(built);
    return true;
}

bool IsBinary(const unsigned char* bytes, std::size_t size) {
    return size >= 4 && std::memcmp(bytes, "glTF", 4) == 0;
}

} // namespace

bool GltfModelReader::Read(const std::string& path, ModelData& out, std::string& error) {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored)) {
        error = "cannot read '" + path + "': no such file";
        return false;
    }
    tinygltf::TinyGLTF loader;
    loader.SetImageLoader(KeepImageBytes, nullptr);
    tinygltf::Model model;
    std::string parseError, warnings;
    // The first bytes decide, not the name: a .gltf that is really binary still loads.
    char magic[4] = {};
    std::ifstream(path, std::ios::binary).read(magic, 4);
    const bool binary = IsBinary(reinterpret_cast<const unsigned char*>(magic), 4);
    const bool parsed = binary ? loader.LoadBinaryFromFile(&model, &parseError, &warnings, path)
                               : loader.LoadASCIIFromFile(&model, &parseError, &warnings, path);
    return Finish(parsed, model, path, parseError, out, error);
}

bool GltfModelReader::ReadMemory(const unsigned char* bytes, std::size_t size, const std::string& baseDir,
                                 ModelData& out, std::string& error) {
    if (size > std::numeric_limits<unsigned int>::max()) {
        error = "the file is too large";
        return false;
    }
    tinygltf::TinyGLTF loader;
    loader.SetImageLoader(KeepImageBytes, nullptr);
    tinygltf::Model model;
    std::string parseError, warnings;
    const auto length = static_cast<unsigned int>(size);
    const bool parsed =
        IsBinary(bytes, size)
            ? loader.LoadBinaryFromMemory(&model, &parseError, &warnings, bytes, length, baseDir)
            : loader.LoadASCIIFromString(&model, &parseError, &warnings, reinterpret_cast<const char*>(bytes),
                                         length, baseDir);
    return Finish(parsed, model, "(memory)", parseError, out, error);
}
