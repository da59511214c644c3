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
    Build(m_variants[0], 0);
}

FixedFunctionProgram::~FixedFunctionProgram() {
    for (const Variant& variant : m_variants)
        if (variant.program)
            glDeleteProgram(variant.program);
}

void FixedFunctionProgram::Build(Variant& variant, int lightCount) {
    variant.built = true;
    // The count goes in as a constant after the version line.
    std::string vertex = kFixedFunctionVert;
    const std::size_t lineEnd = vertex.find('\n');
    vertex.insert(lineEnd + 1, "#define LIGHT_COUNT " + std::to_string(lightCount) + "\n");
    std::string log;
    variant.program = GLProgram::Build(vertex.c_str(), kFixedFunctionFrag, log);
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

FixedFunctionProgram::Variant& FixedFunctionProgram::VariantFor(int lightCount) {
    Variant& variant = m_variants[static_cast<std::size_t>(std::clamp(lightCount, 0, 8))];
    if (!variant.built)
        Build(variant, lightCount);
    // A program that does not compile leaves the lights out rather than nothing drawn.
    return variant.program ? variant : m_variants[0];
}

void FixedFunctionProgram::Use(const Inputs& inputs) {
    Variant& variant = VariantFor(inputs.lightCount);
    glUseProgram(variant.program);
    Upload(variant, inputs);
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
