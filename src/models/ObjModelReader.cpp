#include "ObjModelReader.h"

#include "Handedness.h"

#include <tiny_obj_loader.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <tuple>

namespace {

ModelMaterial MaterialOf(const tinyobj::material_t& source) {
    ModelMaterial material;
    material.name = source.name;
    material.diffuse = {source.diffuse[0], source.diffuse[1], source.diffuse[2], source.dissolve};
    material.specular = {source.specular[0], source.specular[1], source.specular[2]};
    material.power = source.shininess;
    material.emissive = {source.emission[0], source.emission[1], source.emission[2]};
    if (source.dissolve < 1.0f)
        material.alphaMode = ModelMaterial::AlphaMode::Blend;
    material.textureFile = source.diffuse_texname;
    return material;
}

class ObjMeshBuilder {
public:
    ObjMeshBuilder(const tinyobj::ObjReader& reader, ModelData& out) : m_reader(reader), m_out(out) {}

    bool Build(std::string& error) {
        const auto& materials = m_reader.GetMaterials();
        for (const tinyobj::material_t& material : materials)
            m_out.materials.push_back(MaterialOf(material));
        for (const tinyobj::shape_t& shape : m_reader.GetShapes())
            if (!AddShape(shape, error))
                return false;
        if (m_out.faces.empty()) {
            error = "it holds no faces";
            return false;
        }
        MakeFlat();
        return true;
    }

private:
    using Corner = std::tuple<int, int, int>;

    bool CheckCorner(const tinyobj::index_t& index, std::string& error) const {
        const auto& attrib = m_reader.GetAttrib();
        const auto inRange = [](int i, std::size_t size, std::size_t width) {
            return i >= 0 && static_cast<std::size_t>(i) < size / width;
        };
        if (!inRange(index.vertex_index, attrib.vertices.size(), 3))
            error = "a face refers to vertex " + std::to_string(index.vertex_index + 1) + " of " +
                    std::to_string(attrib.vertices.size() / 3);
        else if (index.texcoord_index != -1 && !inRange(index.texcoord_index, attrib.texcoords.size(), 2))
            error = "a face refers to texture coordinate " + std::to_string(index.texcoord_index + 1) +
                    " of " + std::to_string(attrib.texcoords.size() / 2);
        else if (index.normal_index != -1 && !inRange(index.normal_index, attrib.normals.size(), 3))
            error = "a face refers to normal " + std::to_string(index.normal_index + 1) + " of " +
                    std::to_string(attrib.normals.size() / 3);
        return error.empty();
    }

    DWORD VertexOf(const tinyobj::index_t& index) {
        const Corner key{index.vertex_index, index.texcoord_index, index.normal_index};
        const auto [found, added] = m_vertices.try_emplace(key, static_cast<DWORD>(m_out.positions.size()));
        if (!added)
            return found->second;
        const auto& attrib = m_reader.GetAttrib();
        const float* v = &attrib.vertices[3 * static_cast<std::size_t>(index.vertex_index)];
        m_out.positions.emplace_back(v[0], v[1], v[2]);
        // OBJ counts v up from the bottom of the image, Direct3D down from the top.
        if (index.texcoord_index >= 0) {
            const float* t = &attrib.texcoords[2 * static_cast<std::size_t>(index.texcoord_index)];
            m_out.texCoords.emplace_back(t[0], 1.0f - t[1]);
        } else
            m_out.texCoords.emplace_back(0.0f, 0.0f);
        if (index.normal_index >= 0) {
            const float* n = &attrib.normals[3 * static_cast<std::size_t>(index.normal_index)];
            D3DXVECTOR3 normal(n[0], n[1], n[2]);
            D3DXVec3Normalize(&normal, &normal);
            m_normals.resize(m_out.positions.size());
            m_normals.back() = normal;
        }
        return found->second;
    }

    DWORD AttributeOf(int materialId) {
        if (materialId >= 0 && static_cast<std::size_t>(materialId) < m_reader.GetMaterials().size())
            return static_cast<DWORD>(materialId);
        if (!m_defaultMaterial) {
            m_defaultMaterial = static_cast<DWORD>(m_out.materials.size());
            m_out.materials.push_back(ModelMaterial{});
        }
        return *m_defaultMaterial;
    }

    bool AddShape(const tinyobj::shape_t& shape, std::string& error) {
        const auto& mesh = shape.mesh;
        std::size_t at = 0;
        for (std::size_t face = 0; face < mesh.num_face_vertices.size(); ++face) {
            const std::size_t size = mesh.num_face_vertices[face];
            if (at + size > mesh.indices.size()) {
                error = "a face lists more corners than the file holds";
                return false;
            }
            std::vector<DWORD> corners;
            bool hasNormals = true;
            for (std::size_t k = 0; k < size; ++k) {
                if (!CheckCorner(mesh.indices[at + k], error))
                    return false;
                hasNormals = hasNormals && mesh.indices[at + k].normal_index >= 0;
                corners.push_back(VertexOf(mesh.indices[at + k]));
            }
            at += size;
            const DWORD attribute =
                AttributeOf(face < mesh.material_ids.size() ? mesh.material_ids[face] : -1);
            for (std::size_t k = 1; k + 1 < size; ++k) {
                m_faceIsFlat.push_back(!hasNormals);
                m_out.faces.push_back({corners[0], corners[k], corners[k + 1]});
                m_out.attributes.push_back(attribute);
            }
        }
        return true;
    }

    // Faces without normals come apart into flat-shaded triangles; the others keep the file's normals.
    // MakeFlatNormals works on a tail of faces, so the flat ones move to the end, in their order.
    void MakeFlat() {
        m_normals.resize(m_out.positions.size());
        m_out.normals = m_normals;
        if (std::find(m_faceIsFlat.begin(), m_faceIsFlat.end(), true) == m_faceIsFlat.end())
            return;
        ModelData& d = m_out;
        std::vector<std::array<DWORD, 3>> smooth, flat;
        std::vector<DWORD> smoothAttr, flatAttr;
        for (std::size_t face = 0; face < d.faces.size(); ++face) {
            const bool isFlat = m_faceIsFlat[face];
            (isFlat ? flat : smooth).push_back(d.faces[face]);
            (isFlat ? flatAttr : smoothAttr).push_back(d.attributes[face]);
        }
        const std::size_t first = smooth.size();
        d.faces = std::move(smooth);
        d.faces.insert(d.faces.end(), flat.begin(), flat.end());
        d.attributes = std::move(smoothAttr);
        d.attributes.insert(d.attributes.end(), flatAttr.begin(), flatAttr.end());
        d.MakeFlatNormals(first);
    }

    const tinyobj::ObjReader& m_reader;
    ModelData& m_out;
    std::map<Corner, DWORD> m_vertices;
    std::vector<D3DXVECTOR3> m_normals;
    std::vector<bool> m_faceIsFlat;
    std::optional<DWORD> m_defaultMaterial;
};

bool Convert(const tinyobj::ObjReader& reader, const std::string& name, ModelData& out, std::string& error) {
    if (!reader.Valid()) {
        std::string reason = reader.Error();
        while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r'))
            reason.pop_back();
        error = "'" + name + "' is not a readable OBJ file: " + (reason.empty() ? "parse error" : reason);
        return false;
    }
    ModelData model;
    std::string fault;
    if (!ObjMeshBuilder(reader, model).Build(fault)) {
        error = "'" + name + "': " + fault;
        return false;
    }
    model.DropUnusedVertices();
    Handedness::Mirror(model);
    out = std::move(model);
    return true;
}

tinyobj::ObjReaderConfig Config(const std::string& mtlFolder) {
    tinyobj::ObjReaderConfig config;
    config.triangulate = false; // fanned here, so that faces keep their materials and corners in order
    config.vertex_color = false;
    config.mtl_search_path = mtlFolder;
    return config;
}

} // namespace

bool ObjModelReader::Read(const std::string& path, ModelData& out, std::string& error) {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored)) {
        error = "cannot read '" + path + "': no such file";
        return false;
    }
    const std::string folder = std::filesystem::path(path).parent_path().string();
    tinyobj::ObjReader reader;
    reader.ParseFromFile(path, Config(folder.empty() ? "./" : folder + "/"));
    return Convert(reader, path, out, error);
}

bool ObjModelReader::ReadText(const std::string& objText, const std::string& mtlText, ModelData& out,
                              std::string& error) {
    tinyobj::ObjReader reader;
    reader.ParseFromString(objText, mtlText, Config(""));
    return Convert(reader, "(text)", out, error);
}
