#include "FixedFunctionProgram.h"

#include "GLProgram.h"

#include <cstdio>
#include <epoxy/gl.h>
#include <string>

namespace {

const char* kVertexStage = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec4 aDiffuse;
layout(location = 3) in vec4 aSpecular;
layout(location = 4) in vec2 aTexCoord;
layout(location = 5) in vec4 aWeights;
layout(location = 6) in vec4 aIndices;

uniform mat4 uWorld[4];
uniform mat4 uView;
uniform mat4 uProjection;
uniform int uBlendMatrices;
uniform bool uIndexedBlend;
uniform bool uHasNormal;
uniform bool uHasDiffuse;
uniform bool uHasSpecular;
uniform bool uLighting;
uniform vec4 uGlobalAmbient;
uniform vec4 uMaterialDiffuse;
uniform vec4 uMaterialAmbient;
uniform vec4 uMaterialSpecular;
uniform vec4 uMaterialEmissive;
uniform float uMaterialPower;
uniform int uDiffuseSource;
uniform int uAmbientSource;
uniform int uSpecularSource;
uniform int uEmissiveSource;
uniform bool uColorVertex;
uniform bool uSpecularEnable;
uniform bool uLocalViewer;
uniform bool uNormalizeNormals;
uniform int uLightCount;
uniform vec3 uLightDirection[8];
uniform vec4 uLightDiffuse[8];
uniform vec4 uLightSpecular[8];
uniform vec4 uLightAmbient[8];

out vec4 vDiffuse;
out vec4 vSpecular;
out vec2 vTexCoord;

// Matrices arrive row-major as Direct3D stores them, so M * v here is Direct3D's v * M.
mat4 BlendedWorld() {
    if (uBlendMatrices <= 1)
        return uWorld[0];
    mat4 blended = mat4(0.0);
    float last = 1.0;
    for (int i = 0; i < uBlendMatrices; ++i) {
        float weight = i < uBlendMatrices - 1 ? aWeights[i] : last;
        last -= i < uBlendMatrices - 1 ? aWeights[i] : 0.0;
        int index = uIndexedBlend ? clamp(int(aIndices[i] + 0.5), 0, 3) : i;
        blended += weight * uWorld[index];
    }
    return blended;
}

vec4 MaterialColor(int source, vec4 material) {
    if (!uColorVertex || source == 0)
        return material;
    if (source == 1)
        return uHasDiffuse ? aDiffuse : material;
    return uHasSpecular ? aSpecular : material;
}

void main() {
    mat4 worldView = uView * BlendedWorld();
    vec4 viewPosition = worldView * vec4(aPosition, 1.0);
    gl_Position = uProjection * viewPosition;
    vTexCoord = aTexCoord;
    if (!uLighting) {
        vDiffuse = uHasDiffuse ? aDiffuse : vec4(1.0);
        vSpecular = uHasSpecular ? aSpecular : vec4(0.0);
        return;
    }
    vec3 normal = uHasNormal ? inverse(transpose(mat3(worldView))) * aNormal : vec3(0.0);
    if (uNormalizeNormals && dot(normal, normal) > 0.0)
        normal = normalize(normal);
    vec4 diffuse = MaterialColor(uDiffuseSource, uMaterialDiffuse);
    vec4 ambient = MaterialColor(uAmbientSource, uMaterialAmbient);
    vec4 specular = MaterialColor(uSpecularSource, uMaterialSpecular);
    vec4 emissive = MaterialColor(uEmissiveSource, uMaterialEmissive);
    vec3 toEye = uLocalViewer ? normalize(-viewPosition.xyz) : vec3(0.0, 0.0, -1.0);
    vec3 ambientSum = vec3(0.0), diffuseSum = vec3(0.0), specularSum = vec3(0.0);
    for (int i = 0; i < uLightCount; ++i) {
        vec3 toLight = -normalize(mat3(uView) * uLightDirection[i]);
        float lambert = max(dot(normal, toLight), 0.0);
        ambientSum += uLightAmbient[i].rgb;
        diffuseSum += uLightDiffuse[i].rgb * lambert;
        if (uSpecularEnable && lambert > 0.0 && uMaterialPower > 0.0) {
            vec3 halfway = normalize(toEye + toLight);
            specularSum += uLightSpecular[i].rgb * pow(max(dot(normal, halfway), 0.0), uMaterialPower);
        }
    }
    vec3 color = emissive.rgb + ambient.rgb * (uGlobalAmbient.rgb + ambientSum) + diffuse.rgb * diffuseSum;
    vDiffuse = clamp(vec4(color, diffuse.a), 0.0, 1.0);
    vSpecular = uSpecularEnable ? clamp(vec4(specular.rgb * specularSum, 0.0), 0.0, 1.0) : vec4(0.0);
}
)";

const char* kFragmentStage = R"(#version 330 core
in vec4 vDiffuse;
in vec4 vSpecular;
in vec2 vTexCoord;

uniform sampler2D uTexture0;
uniform bool uTextureBound;
uniform int uColorOp;
uniform int uColorArg1;
uniform int uColorArg2;
uniform int uAlphaOp;
uniform int uAlphaArg1;
uniform int uAlphaArg2;
uniform vec4 uTextureFactor;
uniform bool uSpecularEnable;
uniform int uPixelShaderSource;
uniform vec4 uPixelConstant;
uniform bool uAlphaTest;
uniform int uAlphaFunc;
uniform float uAlphaRef;

out vec4 fragColor;

vec4 Argument(int argument, vec4 texel) {
    int which = argument & 15;
    vec4 value = which == 2 ? texel : which == 3 ? uTextureFactor : which == 4 ? vSpecular : vDiffuse;
    if ((argument & 16) != 0)
        value = vec4(1.0) - value;
    if ((argument & 32) != 0)
        value = vec4(value.a);
    return value;
}

vec4 Operation(int op, vec4 a, vec4 b) {
    if (op == 2) return a;
    if (op == 3) return b;
    if (op == 4) return a * b;
    if (op == 5) return 2.0 * a * b;
    if (op == 6) return 4.0 * a * b;
    if (op == 7) return a + b;
    if (op == 8) return a + b - 0.5;
    if (op == 10) return a - b;
    return vDiffuse;
}

bool PassesAlphaTest(float alpha) {
    float a = alpha * 255.0;
    if (uAlphaFunc == 1) return false;
    if (uAlphaFunc == 2) return a < uAlphaRef;
    if (uAlphaFunc == 3) return a == uAlphaRef;
    if (uAlphaFunc == 4) return a <= uAlphaRef;
    if (uAlphaFunc == 5) return a > uAlphaRef;
    if (uAlphaFunc == 6) return a != uAlphaRef;
    if (uAlphaFunc == 7) return a >= uAlphaRef;
    return true;
}

void main() {
    // A stage without a texture reads white, so untextured geometry shows its own colours.
    vec4 texel = uTextureBound ? texture(uTexture0, vTexCoord) : vec4(1.0);
    vec4 color;
    if (uPixelShaderSource == 0)
        color = uPixelConstant;
    else if (uPixelShaderSource == 1)
        color = vDiffuse;
    else if (uPixelShaderSource == 2)
        color = texel;
    else if (uPixelShaderSource == 3)
        color = texel * vDiffuse;
    else {
        vec3 rgb = Operation(uColorOp, Argument(uColorArg1, texel), Argument(uColorArg2, texel)).rgb;
        float a = Operation(uAlphaOp, Argument(uAlphaArg1, texel), Argument(uAlphaArg2, texel)).a;
        color = clamp(vec4(rgb, a), 0.0, 1.0);
        if (uSpecularEnable)
            color.rgb = clamp(color.rgb + vSpecular.rgb, 0.0, 1.0);
    }
    if (uAlphaTest && !PassesAlphaTest(color.a))
        discard;
    fragColor = color;
}
)";

void SetColor(GLint location, const D3DXCOLOR& c) {
    glUniform4f(location, c.r, c.g, c.b, c.a);
}

} // namespace

FixedFunctionProgram::FixedFunctionProgram() {
    std::string log;
    m_program = GLProgram::Build(kVertexStage, kFragmentStage, log);
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
}
