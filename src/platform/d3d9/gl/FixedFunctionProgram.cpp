#include "FixedFunctionProgram.h"

#include "FixedFunction.frag.h"
#include "FixedFunction.vert.h"
#include "GLProgram.h"

#include <algorithm>
#include <cstdio>
#include <epoxy/gl.h>
#include <string>

namespace {

void SetColor(GLint location, const D3DXCOLOR& c) {
    glUniform4f(location, c.r, c.g, c.b, c.a);
}

} // namespace

FixedFunctionProgram::FixedFunctionProgram() {
    m_valid = VariantFor(Inputs()) != nullptr;
}

FixedFunctionProgram::~FixedFunctionProgram() {
    for (const auto& [key, variant] : m_variants)
        if (variant.program)
            glDeleteProgram(variant.program);
}

namespace {

using Inputs = FixedFunctionProgram::Inputs;

// A setting: its declaration as a constant, the stages that read it and its value.
struct Setting {
    const char* declaration;
    bool vertex, pixel;
    int (*value)(const Inputs&);
};

constexpr Setting kSettings[] = {
    {"int LIGHT_COUNT", true, false, [](const Inputs& in) { return std::clamp(in.lightCount, 0, 8); }},
    {"int uBlendMatrices", true, false, [](const Inputs& in) { return in.blendMatrices; }},
    {"bool uIndexedBlend", true, false, [](const Inputs& in) { return int{in.indexedBlend}; }},
    {"bool uInstanced", true, false, [](const Inputs& in) { return int{in.instanced}; }},
    {"bool uHasNormal", true, false, [](const Inputs& in) { return int{(in.fvf & D3DFVF_NORMAL) != 0}; }},
    {"bool uHasDiffuse", true, false, [](const Inputs& in) { return int{(in.fvf & D3DFVF_DIFFUSE) != 0}; }},
    {"bool uHasSpecular", true, false, [](const Inputs& in) { return int{(in.fvf & D3DFVF_SPECULAR) != 0}; }},
    {"bool uLighting", true, false, [](const Inputs& in) { return int{in.lighting}; }},
    {"int uDiffuseSource", true, false, [](const Inputs& in) { return in.diffuseSource; }},
    {"int uAmbientSource", true, false, [](const Inputs& in) { return in.ambientSource; }},
    {"int uSpecularSource", true, false, [](const Inputs& in) { return in.specularSource; }},
    {"int uEmissiveSource", true, false, [](const Inputs& in) { return in.emissiveSource; }},
    {"bool uColorVertex", true, false, [](const Inputs& in) { return int{in.colorVertex}; }},
    {"bool uSpecularEnable", true, true, [](const Inputs& in) { return int{in.specularEnable}; }},
    {"bool uLocalViewer", true, false, [](const Inputs& in) { return int{in.localViewer}; }},
    {"bool uNormalizeNormals", true, false, [](const Inputs& in) { return int{in.normalizeNormals}; }},
    {"bool uTextureBound", false, true, [](const Inputs& in) { return int{in.textureBound}; }},
    {"int uColorOp", false, true, [](const Inputs& in) { return in.colorOp; }},
    {"int uColorArg1", false, true, [](const Inputs& in) { return in.colorArg1; }},
    {"int uColorArg2", false, true, [](const Inputs& in) { return in.colorArg2; }},
    {"int uAlphaOp", false, true, [](const Inputs& in) { return in.alphaOp; }},
    {"int uAlphaArg1", false, true, [](const Inputs& in) { return in.alphaArg1; }},
    {"int uAlphaArg2", false, true, [](const Inputs& in) { return in.alphaArg2; }},
    {"int uPixelShaderSource", false, true, [](const Inputs& in) { return in.pixelShaderSource; }},
    {"bool uAlphaTest", false, true, [](const Inputs& in) { return int{in.alphaTest}; }},
    {"int uAlphaFunc", false, true, [](const Inputs& in) { return in.alphaFunc; }},
};
static_assert(std::size(kSettings) == std::tuple_size_v<FixedFunctionProgram::Key>);

// The source with the settings of its stage declared as constants after the version line.
std::string WithSettings(std::string source, const FixedFunctionProgram::Key& key, bool vertex) {
    std::string constants;
    for (std::size_t i = 0; i < std::size(kSettings); ++i) {
        const Setting& setting = kSettings[i];
        if (!(vertex ? setting.vertex : setting.pixel))
            continue;
        const bool flag = setting.declaration[0] == 'b';
        constants += std::string("const ") + setting.declaration + " = " +
                     (flag ? (key[i] ? "true" : "false") : std::to_string(key[i])) + ";\n";
    }
    source.insert(source.find('\n') + 1, constants);
    return source;
}

} // namespace

FixedFunctionProgram::Key FixedFunctionProgram::KeyOf(const Inputs& in) {
    Key key{};
    for (std::size_t i = 0; i < std::size(kSettings); ++i)
        key[i] = kSettings[i].value(in);
    return key;
}

void FixedFunctionProgram::Build(Variant& variant, const Key& key) {
    variant.built = true;
    const std::string vertex = WithSettings(kFixedFunctionVert, key, true);
    const std::string pixel = WithSettings(kFixedFunctionFrag, key, false);
    std::string log;
    variant.program = GLProgram::Build(vertex.c_str(), pixel.c_str(), log);
    if (!variant.program) {
        std::fprintf(stderr, "fixed-function program: %s\n", log.c_str());
        return;
    }
    const auto location = [&variant](const char* name) {
        return glGetUniformLocation(variant.program, name);
    };
    glUseProgram(variant.program);
    glUniform1i(location("uTexture0"), 0);
    variant.worldLocation = location("uWorld");
    variant.viewLocation = location("uView");
    variant.projectionLocation = location("uProjection");
    variant.materialLocations = {location("uMaterialDiffuse"), location("uMaterialAmbient"),
                                 location("uMaterialSpecular"), location("uMaterialEmissive"),
                                 location("uMaterialPower")};
}

FixedFunctionProgram::Variant* FixedFunctionProgram::VariantFor(const Inputs& inputs) {
    Variant& variant = m_variants[KeyOf(inputs)];
    if (!variant.built)
        Build(variant, KeyOf(inputs));
    return variant.program ? &variant : nullptr;
}

void FixedFunctionProgram::Use(const Inputs& inputs) {
    Variant* variant = VariantFor(inputs);
    // Settings whose program does not compile draw nothing rather than something else.
    glUseProgram(variant != nullptr ? variant->program : 0);
    if (variant != nullptr)
        Upload(*variant, inputs);
}

// Between the draws of a scene mostly the world matrix and the material change, so those go on their
// own, through locations looked up once, and the rest of the state only when some of it differs.
void FixedFunctionProgram::Upload(Variant& variant, const Inputs& in) {
    const bool any = variant.anyUploaded;
    const Inputs& last = variant.uploaded;
    if (any && in == last)
        return;
    if (!any || in.world != last.world)
        glUniformMatrix4fv(variant.worldLocation, 4, GL_FALSE, &in.world[0]._11);
    if (!any || in.view != last.view)
        glUniformMatrix4fv(variant.viewLocation, 1, GL_FALSE, &in.view._11);
    if (!any || in.projection != last.projection)
        glUniformMatrix4fv(variant.projectionLocation, 1, GL_FALSE, &in.projection._11);
    if (!any || in.material != last.material)
        UploadMaterial(variant, in.material);
    Inputs rest = in;
    rest.world = last.world;
    rest.view = last.view;
    rest.projection = last.projection;
    rest.material = last.material;
    if (!any || rest != last)
        UploadState(variant, in);
    variant.uploaded = in;
    variant.anyUploaded = true;
}

void FixedFunctionProgram::UploadMaterial(const Variant& variant, const D3DMATERIAL9& material) {
    SetColor(variant.materialLocations[0], material.Diffuse);
    SetColor(variant.materialLocations[1], material.Ambient);
    SetColor(variant.materialLocations[2], material.Specular);
    SetColor(variant.materialLocations[3], material.Emissive);
    glUniform1f(variant.materialLocations[4], material.Power);
}

void FixedFunctionProgram::UploadState(const Variant& variant, const Inputs& in) {
    const auto location = [&variant](const char* name) {
        return glGetUniformLocation(variant.program, name);
    };
    glUniform1i(location("uBlendMatrices"), in.blendMatrices);
    glUniform1i(location("uIndexedBlend"), in.indexedBlend);
    glUniform1i(location("uHasNormal"), (in.fvf & D3DFVF_NORMAL) != 0);
    glUniform1i(location("uHasDiffuse"), (in.fvf & D3DFVF_DIFFUSE) != 0);
    glUniform1i(location("uHasSpecular"), (in.fvf & D3DFVF_SPECULAR) != 0);
    glUniform1i(location("uLighting"), in.lighting);
    SetColor(location("uGlobalAmbient"), in.globalAmbient);
    glUniform1i(location("uDiffuseSource"), in.diffuseSource);
    glUniform1i(location("uAmbientSource"), in.ambientSource);
    glUniform1i(location("uSpecularSource"), in.specularSource);
    glUniform1i(location("uEmissiveSource"), in.emissiveSource);
    glUniform1i(location("uColorVertex"), in.colorVertex);
    glUniform1i(location("uSpecularEnable"), in.specularEnable);
    glUniform1i(location("uLocalViewer"), in.localViewer);
    glUniform1i(location("uNormalizeNormals"), in.normalizeNormals);
    for (int i = 0; i < in.lightCount; ++i) {
        const std::string index = "[" + std::to_string(i) + "]";
        const Light& light = in.lights[static_cast<std::size_t>(i)];
        glUniform3f(location(("uLightDirection" + index).c_str()), light.direction.x, light.direction.y,
                    light.direction.z);
        SetColor(location(("uLightDiffuse" + index).c_str()), light.diffuse);
        SetColor(location(("uLightSpecular" + index).c_str()), light.specular);
        SetColor(location(("uLightAmbient" + index).c_str()), light.ambient);
    }
    glUniform1i(location("uTextureBound"), in.textureBound);
    glUniform1i(location("uColorOp"), in.colorOp);
    glUniform1i(location("uColorArg1"), in.colorArg1);
    glUniform1i(location("uColorArg2"), in.colorArg2);
    glUniform1i(location("uAlphaOp"), in.alphaOp);
    glUniform1i(location("uAlphaArg1"), in.alphaArg1);
    glUniform1i(location("uAlphaArg2"), in.alphaArg2);
    SetColor(location("uTextureFactor"), in.textureFactor);
    glUniform1i(location("uPixelShaderSource"), in.pixelShaderSource);
    SetColor(location("uPixelConstant"), in.pixelConstant);
    glUniform1i(location("uAlphaTest"), in.alphaTest);
    glUniform1i(location("uAlphaFunc"), in.alphaFunc);
    glUniform1f(location("uAlphaRef"), in.alphaRef);
    glUniform1i(location("uInstanced"), in.instanced);
}
