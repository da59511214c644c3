#include "FixedFunctionProgram.h"

#include "FixedFunction.frag.h"
#include "FixedFunction.vert.h"
#include "GLProgram.h"

#include <cstdio>
#include <epoxy/gl.h>
#include <string>

namespace {

void SetColor(GLint location, const D3DXCOLOR& c) {
    glUniform4f(location, c.r, c.g, c.b, c.a);
}

} // namespace

FixedFunctionProgram::FixedFunctionProgram() {
    std::string log;
    m_program = GLProgram::Build(kFixedFunctionVert, kFixedFunctionFrag, log);
    if (!m_program) {
        std::fprintf(stderr, "fixed-function program: %s\n", log.c_str());
        return;
    }
    glUseProgram(m_program);
    glUniform1i(Location("uTexture0"), 0);
    m_worldLocation = Location("uWorld");
    m_viewLocation = Location("uView");
    m_projectionLocation = Location("uProjection");
    m_materialLocations = {Location("uMaterialDiffuse"), Location("uMaterialAmbient"),
                           Location("uMaterialSpecular"), Location("uMaterialEmissive"),
                           Location("uMaterialPower")};
}

FixedFunctionProgram::~FixedFunctionProgram() {
    if (m_program)
        glDeleteProgram(m_program);
}

void FixedFunctionProgram::Use() {
    glUseProgram(m_program);
}

int FixedFunctionProgram::Location(const char* name) const {
    return glGetUniformLocation(m_program, name);
}

// Between the draws of a scene mostly the world matrix and the material change, so those go on their
// own, through locations looked up once, and the rest of the state only when some of it differs.
void FixedFunctionProgram::Upload(const Inputs& in) {
    if (m_anyUploaded && in == m_uploaded)
        return;
    if (!m_anyUploaded || in.world != m_uploaded.world)
        glUniformMatrix4fv(m_worldLocation, 4, GL_FALSE, &in.world[0]._11);
    if (!m_anyUploaded || in.view != m_uploaded.view)
        glUniformMatrix4fv(m_viewLocation, 1, GL_FALSE, &in.view._11);
    if (!m_anyUploaded || in.projection != m_uploaded.projection)
        glUniformMatrix4fv(m_projectionLocation, 1, GL_FALSE, &in.projection._11);
    if (!m_anyUploaded || in.material != m_uploaded.material)
        UploadMaterial(in.material);
    Inputs rest = in;
    rest.world = m_uploaded.world;
    rest.view = m_uploaded.view;
    rest.projection = m_uploaded.projection;
    rest.material = m_uploaded.material;
    if (!m_anyUploaded || rest != m_uploaded)
        UploadState(in);
    m_uploaded = in;
    m_anyUploaded = true;
}

void FixedFunctionProgram::UploadMaterial(const D3DMATERIAL9& material) {
    SetColor(m_materialLocations[0], material.Diffuse);
    SetColor(m_materialLocations[1], material.Ambient);
    SetColor(m_materialLocations[2], material.Specular);
    SetColor(m_materialLocations[3], material.Emissive);
    glUniform1f(m_materialLocations[4], material.Power);
}

void FixedFunctionProgram::UploadState(const Inputs& in) {
    glUniform1i(Location("uBlendMatrices"), in.blendMatrices);
    glUniform1i(Location("uIndexedBlend"), in.indexedBlend);
    glUniform1i(Location("uHasNormal"), (in.fvf & D3DFVF_NORMAL) != 0);
    glUniform1i(Location("uHasDiffuse"), (in.fvf & D3DFVF_DIFFUSE) != 0);
    glUniform1i(Location("uHasSpecular"), (in.fvf & D3DFVF_SPECULAR) != 0);
    glUniform1i(Location("uLighting"), in.lighting);
    SetColor(Location("uGlobalAmbient"), in.globalAmbient);
    glUniform1i(Location("uDiffuseSource"), in.diffuseSource);
    glUniform1i(Location("uAmbientSource"), in.ambientSource);
    glUniform1i(Location("uSpecularSource"), in.specularSource);
    glUniform1i(Location("uEmissiveSource"), in.emissiveSource);
    glUniform1i(Location("uColorVertex"), in.colorVertex);
    glUniform1i(Location("uSpecularEnable"), in.specularEnable);
    glUniform1i(Location("uLocalViewer"), in.localViewer);
    glUniform1i(Location("uNormalizeNormals"), in.normalizeNormals);
    glUniform1i(Location("uLightCount"), in.lightCount);
    for (int i = 0; i < in.lightCount; ++i) {
        const std::string index = "[" + std::to_string(i) + "]";
        const Light& light = in.lights[static_cast<std::size_t>(i)];
        glUniform3f(Location(("uLightDirection" + index).c_str()), light.direction.x, light.direction.y,
                    light.direction.z);
        SetColor(Location(("uLightDiffuse" + index).c_str()), light.diffuse);
        SetColor(Location(("uLightSpecular" + index).c_str()), light.specular);
        SetColor(Location(("uLightAmbient" + index).c_str()), light.ambient);
    }
    glUniform1i(Location("uTextureBound"), in.textureBound);
    glUniform1i(Location("uColorOp"), in.colorOp);
    glUniform1i(Location("uColorArg1"), in.colorArg1);
    glUniform1i(Location("uColorArg2"), in.colorArg2);
    glUniform1i(Location("uAlphaOp"), in.alphaOp);
    glUniform1i(Location("uAlphaArg1"), in.alphaArg1);
    glUniform1i(Location("uAlphaArg2"), in.alphaArg2);
    SetColor(Location("uTextureFactor"), in.textureFactor);
    glUniform1i(Location("uPixelShaderSource"), in.pixelShaderSource);
    SetColor(Location("uPixelConstant"), in.pixelConstant);
    glUniform1i(Location("uAlphaTest"), in.alphaTest);
    glUniform1i(Location("uAlphaFunc"), in.alphaFunc);
    glUniform1f(Location("uAlphaRef"), in.alphaRef);
    glUniform1i(Location("uInstanced"), in.instanced);
}
