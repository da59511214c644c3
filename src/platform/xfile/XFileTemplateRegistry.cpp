#include "XFileTemplateRegistry.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

struct PrimitiveName {
    std::string_view name;
    XFileValueKind kind;
};

constexpr std::array<PrimitiveName, 14> kPrimitives{{
    {"word", XFileValueKind::Integer},
    {"dword", XFileValueKind::Integer},
    {"char", XFileValueKind::Integer},
    {"uchar", XFileValueKind::Integer},
    {"byte", XFileValueKind::Integer},
    {"sword", XFileValueKind::Integer},
    {"sdword", XFileValueKind::Integer},
    {"ulonglong", XFileValueKind::Integer},
    {"float", XFileValueKind::Float},
    {"double", XFileValueKind::Float},
    {"string", XFileValueKind::String},
    {"lpstr", XFileValueKind::String},
    {"cstring", XFileValueKind::String},
    {"unicode", XFileValueKind::String},
}};

const PrimitiveName* FindPrimitive(std::string_view typeName) {
    const std::string lower = Lower(typeName);
    for (const PrimitiveName& primitive : kPrimitives)
        if (primitive.name == lower)
            return &primitive;
    return nullptr;
}

// Keeps the lower bounds finite: anything this large already exceeds every input.
constexpr std::uint64_t kSaturated = std::uint64_t{1} << 48;

std::uint64_t SaturatingMultiply(std::uint64_t a, std::uint64_t b) {
    if (a != 0 && b > kSaturated / a)
        return kSaturated;
    return std::min(a * b, kSaturated);
}

} // namespace

std::string_view XFileTemplateRegistry::StandardDeclarations() {
    return R"(
template Header { <3D82AB43-62DA-11cf-AB39-0020AF71E433> WORD major; WORD minor; DWORD flags; }
template Vector { <3D82AB5E-62DA-11cf-AB39-0020AF71E433> FLOAT x; FLOAT y; FLOAT z; }
template Coords2d { <F6F23F44-7686-11cf-8F52-0040333594A3> FLOAT u; FLOAT v; }
template Matrix4x4 { <F6F23F45-7686-11cf-8F52-0040333594A3> array FLOAT matrix[16]; }
template ColorRGBA { <35FF44E0-6C7C-11cf-8F52-0040333594A3> FLOAT red; FLOAT green; FLOAT blue; FLOAT alpha; }
template ColorRGB { <D3E16E81-7835-11cf-8F52-0040333594A3> FLOAT red; FLOAT green; FLOAT blue; }
template IndexedColor { <1630B820-7842-11cf-8F52-0040333594A3> DWORD index; ColorRGBA indexColor; }
template Boolean { <4885AE61-78E8-11cf-8F52-0040333594A3> DWORD truefalse; }
template Boolean2d { <4885AE63-78E8-11cf-8F52-0040333594A3> Boolean u; Boolean v; }
template MaterialWrap { <4885AE60-78E8-11cf-8F52-0040333594A3> Boolean u; Boolean v; }
template TextureFilename { <A42790E1-7810-11cf-8F52-0040333594A3> STRING filename; }
template Material {
    <3D82AB4D-62DA-11cf-AB39-0020AF71E433>
    ColorRGBA faceColor; FLOAT power; ColorRGB specularColor; ColorRGB emissiveColor; [...]
}
template MeshFace {
    <3D82AB5F-62DA-11cf-AB39-0020AF71E433>
    DWORD nFaceVertexIndices; array DWORD faceVertexIndices[nFaceVertexIndices];
}
template MeshFaceWraps {
    <4885AE62-78E8-11cf-8F52-0040333594A3>
    DWORD nFaceWrapValues; array Boolean2d faceWrapValues[nFaceWrapValues];
}
template MeshTextureCoords {
    <F6F23F40-7686-11cf-8F52-0040333594A3>
    DWORD nTextureCoords; array Coords2d textureCoords[nTextureCoords];
}
template MeshMaterialList {
    <F6F23F42-7686-11cf-8F52-0040333594A3>
    DWORD nMaterials; DWORD nFaceIndexes; array DWORD faceIndexes[nFaceIndexes];
    [Material <3D82AB4D-62DA-11cf-AB39-0020AF71E433>]
}
template MeshNormals {
    <F6F23F43-7686-11cf-8F52-0040333594A3>
    DWORD nNormals; array Vector normals[nNormals];
    DWORD nFaceNormals; array MeshFace faceNormals[nFaceNormals];
}
template MeshVertexColors {
    <1630B821-7842-11cf-8F52-0040333594A3>
    DWORD nVertexColors; array IndexedColor vertexColors[nVertexColors];
}
template Mesh {
    <3D82AB44-62DA-11cf-AB39-0020AF71E433>
    DWORD nVertices; array Vector vertices[nVertices];
    DWORD nFaces; array MeshFace faces[nFaces];
    [...]
}
template FrameTransformMatrix { <F6F23F41-7686-11cf-8F52-0040333594A3> Matrix4x4 frameMatrix; }
template Frame { <3D82AB46-62DA-11cf-AB39-0020AF71E433> [...] }
template FloatKeys { <10DD46A9-775B-11cf-8F52-0040333594A3> DWORD nValues; array FLOAT values[nValues]; }
template TimedFloatKeys { <F406B180-7B3B-11cf-8F52-0040333594A3> DWORD time; FloatKeys tfkeys; }
template AnimationKey {
    <10DD46A8-775B-11cf-8F52-0040333594A3>
    DWORD keyType; DWORD nKeys; array TimedFloatKeys keys[nKeys];
}
template AnimationOptions {
    <E2BF56C0-840F-11cf-8F52-0040333594A3>
    DWORD openclosed; DWORD positionquality;
}
template Animation { <3D82AB4F-62DA-11cf-AB39-0020AF71E433> [...] }
template AnimationSet { <3D82AB50-62DA-11cf-AB39-0020AF71E433> [Animation <3D82AB4F-62DA-11cf-AB39-0020AF71E433>] }
template AnimTicksPerSecond { <9E415A43-7BA6-4a73-8743-B73D47E88476> DWORD AnimTicksPerSecond; }
template XSkinMeshHeader {
    <3CF169CE-FF7C-44ab-93C0-F78F62D172E2>
    WORD nMaxSkinWeightsPerVertex; WORD nMaxSkinWeightsPerFace; WORD nBones;
}
template VertexDuplicationIndices {
    <B8D65549-D7C9-4995-89CF-53A9A8B031E3>
    DWORD nIndices; DWORD nOriginalVertices; array DWORD indices[nIndices];
}
template SkinWeights {
    <6F0D123B-BAD2-4167-A0D0-80224F25FABB>
    STRING transformNodeName; DWORD nWeights;
    array DWORD vertexIndices[nWeights]; array FLOAT weights[nWeights];
    Matrix4x4 matrixOffset;
}
template VertexElement {
    <F752461C-1E23-48F6-B9F8-8350850F336F>
    DWORD Type; DWORD Method; DWORD Usage; DWORD UsageIndex;
}
template DeclData {
    <BF22E553-292C-4781-9FEA-62BD554BDD93>
    DWORD nElements; array VertexElement Elements[nElements];
    DWORD nDWords; array DWORD data[nDWords];
}
template FVFData { <B6E70A0E-8EF9-4e83-94AD-ECC8B0C04897> DWORD dwFVF; DWORD nDWords; array DWORD data[nDWords]; }
template EffectInstance { <E331F7E4-0559-4cc2-8E99-1CEC1657928F> STRING EffectFilename; [...] }
template EffectParamFloats {
    <3014B9A0-62F5-478c-9B86-E4AC9F4E418B>
    STRING ParamName; DWORD nFloats; array FLOAT Floats[nFloats];
}
template EffectParamString { <1DBC4C88-94C1-46ee-9076-2C28818C9481> STRING ParamName; STRING Value; }
template EffectParamDWord { <E13963BC-AE51-4c5d-B00F-CFA3A9D97CE5> STRING ParamName; DWORD Value; }
)";
}

int XFileTemplateRegistry::Add(XFileTemplate declared) {
    Resolve(declared);
    Measure(declared);
    const int index = static_cast<int>(m_templates.size());
    m_byName[declared.name] = index;
    m_byLowerName[Lower(declared.name)] = index;
    m_templates.push_back(std::move(declared));
    return index;
}

int XFileTemplateRegistry::Find(std::string_view name) const {
    if (const auto exact = m_byName.find(std::string(name)); exact != m_byName.end())
        return exact->second;
    if (const auto folded = m_byLowerName.find(Lower(name)); folded != m_byLowerName.end())
        return folded->second;
    return -1;
}

void XFileTemplateRegistry::Resolve(XFileTemplate& declared) const {
    for (std::size_t i = 0; i < declared.members.size(); ++i)
        ResolveMember(declared, i);
}

void XFileTemplateRegistry::ResolveMember(XFileTemplate& declared, std::size_t index) const {
    XFileTemplateMember& member = declared.members[index];
    if (const PrimitiveName* primitive = FindPrimitive(member.typeName)) {
        member.kind = primitive->kind;
    } else {
        member.kind = XFileValueKind::Template;
        member.templateIndex = Find(member.typeName);
        if (member.templateIndex < 0 || !At(member.templateIndex).usable)
            declared.usable = false;
    }
    for (XFileArrayDimension& dimension : member.dimensions) {
        if (dimension.memberName.empty())
            continue;
        // A size must be a plain integer member declared before the array.
        const auto sizer = std::find_if(declared.members.begin(), declared.members.begin() + index,
                                        [&](const XFileTemplateMember& earlier) {
                                            return earlier.name == dimension.memberName &&
                                                   earlier.kind == XFileValueKind::Integer &&
                                                   !earlier.isArray;
                                        });
        if (sizer == declared.members.begin() + index) {
            declared.usable = false;
            continue;
        }
        dimension.fromMember = true;
        dimension.value = static_cast<std::uint32_t>(sizer - declared.members.begin());
    }
}

void XFileTemplateRegistry::Measure(XFileTemplate& declared) const {
    if (!declared.usable)
        return;
    std::uint64_t minValues = 0;
    std::uint64_t floats = 0;
    bool allFloats = true;
    for (const XFileTemplateMember& member : declared.members) {
        std::uint64_t count = 1;
        for (const XFileArrayDimension& dimension : member.dimensions)
            count = dimension.fromMember ? 0 : SaturatingMultiply(count, dimension.value);
        const bool isTemplate = member.kind == XFileValueKind::Template;
        const XFileTemplate* inner = isTemplate ? &At(member.templateIndex) : nullptr;
        minValues = std::min(minValues + SaturatingMultiply(count, inner ? inner->minValues : 1), kSaturated);
        const std::uint64_t perElement = inner ? inner->flatFloats : (member.kind == XFileValueKind::Float);
        const bool variable = std::any_of(member.dimensions.begin(), member.dimensions.end(),
                                          [](const XFileArrayDimension& d) { return d.fromMember; });
        if (perElement == 0 || variable)
            allFloats = false;
        floats = std::min(floats + SaturatingMultiply(count, perElement), kSaturated);
    }
    declared.minValues = minValues;
    // Bulk float reads are a speed-up for small records only; large fixed arrays go member by member.
    constexpr std::uint64_t kLargestFlat = 1u << 16;
    declared.flatFloats = allFloats && floats <= kLargestFlat ? static_cast<std::uint32_t>(floats) : 0;
}
