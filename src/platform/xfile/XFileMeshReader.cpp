#include "XFileMeshReader.h"

#include "XFileValueCursor.h"

#include <algorithm>
#include <string_view>

namespace {

template <std::size_t N>
void ReadVectors(XFileValueCursor& values, std::uint32_t count, std::vector<std::array<float, N>>& out) {
    values.Require(0, std::uint64_t{count} * N);
    out.resize(count);
    for (std::array<float, N>& vector : out)
        vector = values.Floats<N>();
}

// "1 vertex", "24 vertices": the counts in messages.
std::string Count(std::size_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

std::string Vertices(const XFileMesh& mesh) {
    return Count(mesh.positions.size(), "vertex", "vertices");
}

} // namespace

XFileMesh XFileMeshReader::Read(const XFileDataObject& object) const {
    XFileMesh mesh;
    mesh.name = object.name;
    XFileValueCursor values(object);
    ReadVectors(values, values.Integer(), mesh.positions);
    const std::uint32_t faceCount = values.Integer();
    values.Require(faceCount, 0);
    mesh.faceSizes.reserve(faceCount);
    mesh.faceIndices.reserve(std::size_t{faceCount} * 3);
    for (std::uint32_t face = 0; face < faceCount; ++face)
        ReadFaces(values, static_cast<std::uint32_t>(mesh.positions.size()), "vertex", "vertices",
                  mesh.faceSizes, mesh.faceIndices);
    for (const XFileDataObject& child : object.children)
        if (const XFileDataObject* target = m_index.Follow(child))
            Attach(*target, mesh);
    return mesh;
}

// Reads one face: its size, then that many indices below `limit`.
void XFileMeshReader::ReadFaces(XFileValueCursor& values, std::uint32_t limit, const char* noun,
                                const char* nouns, std::vector<std::uint32_t>& sizes,
                                std::vector<std::uint32_t>& indices) {
    const std::uint32_t size = values.Integer();
    const std::span<const std::uint32_t> corners = values.Integers(size);
    for (const std::uint32_t index : corners)
        if (index >= limit)
            values.Fail("face " + std::to_string(sizes.size()) + " uses " + noun + " " +
                        std::to_string(index) + ", but there " + (limit == 1 ? "is " : "are ") +
                        Count(limit, noun, nouns));
    indices.insert(indices.end(), corners.begin(), corners.end());
    sizes.push_back(size);
}

// The first object of each kind counts; repeated ones are ignored as the mesh already has that part.
void XFileMeshReader::Attach(const XFileDataObject& child, XFileMesh& mesh) const {
    using Index = XFileObjectIndex;
    if (Index::IsType(child, "MeshNormals") && !mesh.hasNormals)
        ReadNormals(child, mesh);
    else if (Index::IsType(child, "MeshTextureCoords") && mesh.textureCoords.empty())
        ReadTextureCoords(child, mesh);
    else if (Index::IsType(child, "MeshVertexColors") && !mesh.hasVertexColors)
        ReadVertexColors(child, mesh);
    else if (Index::IsType(child, "MeshMaterialList") && !mesh.hasMaterialList)
        ReadMaterialList(child, mesh);
    else if (Index::IsType(child, "XSkinMeshHeader") && !mesh.hasSkinHeader)
        ReadSkinHeader(child, mesh);
    else if (Index::IsType(child, "SkinWeights"))
        ReadSkinWeights(child, mesh);
    else if (Index::IsType(child, "VertexDuplicationIndices") && !mesh.hasDuplicationIndices)
        ReadDuplicationIndices(child, mesh);
    else if (Index::IsType(child, "DeclData") && mesh.declElements.empty())
        ReadDeclData(child, mesh);
}

void XFileMeshReader::ReadNormals(const XFileDataObject& object, XFileMesh& mesh) const {
    XFileValueCursor values(object);
    ReadVectors(values, values.Integer(), mesh.normals);
    const std::uint32_t faceCount = values.Integer();
    values.Require(faceCount, 0);
    mesh.normalFaceSizes.reserve(faceCount);
    for (std::uint32_t face = 0; face < faceCount; ++face)
        ReadFaces(values, static_cast<std::uint32_t>(mesh.normals.size()), "normal", "normals",
                  mesh.normalFaceSizes, mesh.normalFaceIndices);
    mesh.hasNormals = true;
}

void XFileMeshReader::ReadTextureCoords(const XFileDataObject& object, XFileMesh& mesh) const {
    XFileValueCursor values(object);
    ReadVectors(values, values.Integer(), mesh.textureCoords);
}

void XFileMeshReader::ReadVertexColors(const XFileDataObject& object, XFileMesh& mesh) const {
    XFileValueCursor values(object);
    const std::uint32_t count = values.Integer();
    values.Require(count, std::uint64_t{count} * 4);
    mesh.vertexColors.assign(mesh.positions.size(), {1.0f, 1.0f, 1.0f, 1.0f});
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t vertex = values.Integer();
        const auto color = values.Floats<4>();
        if (vertex >= mesh.positions.size())
            values.Fail("colours vertex " + std::to_string(vertex) + ", but the mesh has " + Vertices(mesh));
        mesh.vertexColors[vertex] = color;
    }
    mesh.hasVertexColors = true;
}

void XFileMeshReader::ReadMaterialList(const XFileDataObject& object, XFileMesh& mesh) const {
    XFileValueCursor values(object);
    const std::uint32_t declared = values.Integer();
    const std::uint32_t indexCount = values.Integer();
    values.Require(indexCount, 0);
    for (const XFileDataObject& child : object.children) {
        const XFileDataObject* material = m_index.Follow(child);
        if (!material)
            values.Fail("refers to '" + child.name + "', which the file does not define");
        if (XFileObjectIndex::IsType(*material, "Material"))
            mesh.materials.push_back(ReadMaterial(*material));
    }
    if (mesh.materials.size() < declared)
        values.Fail("declares " + Count(declared, "material", "materials") + " but holds " +
                    std::to_string(mesh.materials.size()));
    mesh.materials.resize(declared);
    mesh.faceMaterials.resize(indexCount);
    for (std::uint32_t& index : mesh.faceMaterials)
        index = values.Integer();
    if (!mesh.faceMaterials.empty())
        mesh.faceMaterials.resize(mesh.FaceCount(), mesh.faceMaterials.back());
    for (std::size_t face = 0; face < mesh.faceMaterials.size(); ++face)
        if (mesh.faceMaterials[face] >= declared)
            values.Fail("gives face " + std::to_string(face) + " material " +
                        std::to_string(mesh.faceMaterials[face]) + ", but there " +
                        (declared == 1 ? "is " : "are ") + Count(declared, "material", "materials"));
    mesh.hasMaterialList = true;
}

XFileMaterial XFileMeshReader::ReadMaterial(const XFileDataObject& object) const {
    XFileMaterial material;
    material.name = object.name;
    XFileValueCursor values(object);
    material.faceColor = values.Floats<4>();
    material.power = values.Float();
    material.specularColor = values.Floats<3>();
    material.emissiveColor = values.Floats<3>();
    bool hasTexture = false;
    for (const XFileDataObject& child : object.children) {
        const XFileDataObject* target = m_index.Follow(child);
        if (!target)
            continue;
        if (XFileObjectIndex::IsType(*target, "TextureFilename") && !hasTexture) {
            material.textureFilename = XFileValueCursor(*target).String();
            hasTexture = true;
        } else if (XFileObjectIndex::IsType(*target, "EffectInstance") && !material.hasEffect) {
            material.effect = ReadEffect(*target);
            material.hasEffect = true;
        }
    }
    return material;
}

XFileEffectInstance XFileMeshReader::ReadEffect(const XFileDataObject& object) const {
    XFileEffectInstance effect;
    effect.effectFilename = XFileValueCursor(object).String();
    for (const XFileDataObject& child : object.children) {
        const XFileDataObject* target = m_index.Follow(child);
        if (!target)
            continue;
        XFileValueCursor values(*target);
        XFileEffectParameter parameter;
        if (XFileObjectIndex::IsType(*target, "EffectParamFloats")) {
            parameter.kind = XFileEffectParameter::Kind::Floats;
            parameter.name = values.String();
            const std::uint32_t count = values.Integer();
            values.Require(0, count);
            parameter.floats.resize(count);
            for (float& value : parameter.floats)
                value = values.Float();
        } else if (XFileObjectIndex::IsType(*target, "EffectParamString")) {
            parameter.kind = XFileEffectParameter::Kind::String;
            parameter.name = values.String();
            parameter.text = values.String();
        } else if (XFileObjectIndex::IsType(*target, "EffectParamDWord")) {
            parameter.kind = XFileEffectParameter::Kind::DWord;
            parameter.name = values.String();
            parameter.dword = values.Integer();
        } else {
            continue;
        }
        effect.parameters.push_back(std::move(parameter));
    }
    return effect;
}

void XFileMeshReader::ReadSkinHeader(const XFileDataObject& object, XFileMesh& mesh) const {
    XFileValueCursor values(object);
    mesh.maxSkinWeightsPerVertex = values.Integer();
    mesh.maxSkinWeightsPerFace = values.Integer();
    mesh.boneCount = values.Integer();
    mesh.hasSkinHeader = true;
}

void XFileMeshReader::ReadSkinWeights(const XFileDataObject& object, XFileMesh& mesh) const {
    XFileValueCursor values(object);
    XFileSkinWeights skin;
    skin.boneName = values.String();
    const std::uint32_t count = values.Integer();
    values.Require(count, std::uint64_t{count} + 16);
    skin.vertexIndices.resize(count);
    for (std::uint32_t& vertex : skin.vertexIndices) {
        vertex = values.Integer();
        if (vertex >= mesh.positions.size())
            values.Fail("for bone '" + skin.boneName + "' weights vertex " + std::to_string(vertex) +
                        ", but the mesh has " + Vertices(mesh));
    }
    skin.weights.resize(count);
    for (float& weight : skin.weights)
        weight = values.Float();
    skin.offsetMatrix = values.Floats<16>();
    mesh.skinWeights.push_back(std::move(skin));
}

void XFileMeshReader::ReadDuplicationIndices(const XFileDataObject& object, XFileMesh& mesh) const {
    XFileValueCursor values(object);
    const std::uint32_t count = values.Integer();
    mesh.originalVertexCount = values.Integer();
    values.Require(count, 0);
    mesh.duplicationIndices.resize(count);
    for (std::uint32_t& index : mesh.duplicationIndices)
        index = values.Integer();
    mesh.hasDuplicationIndices = true;
}

void XFileMeshReader::ReadDeclData(const XFileDataObject& object, XFileMesh& mesh) const {
    XFileValueCursor values(object);
    const std::uint32_t elementCount = values.Integer();
    values.Require(std::uint64_t{elementCount} * 4, 0);
    mesh.declElements.resize(elementCount);
    for (XFileVertexElement& element : mesh.declElements)
        element = {values.Integer(), values.Integer(), values.Integer(), values.Integer()};
    const std::uint32_t dwordCount = values.Integer();
    values.Require(dwordCount, 0);
    mesh.declData.resize(dwordCount);
    for (std::uint32_t& dword : mesh.declData)
        dword = values.Integer();
}
