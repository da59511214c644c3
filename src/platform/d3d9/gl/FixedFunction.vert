#version 330 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec4 aDiffuse;
layout(location = 3) in vec4 aSpecular;
layout(location = 4) in vec2 aTexCoord;
layout(location = 5) in vec4 aWeights;
layout(location = 6) in vec4 aIndices;
layout(location = 7) in mat4 aInstanceWorld;

uniform mat4 uWorld[4];
uniform mat4 uView;
uniform mat4 uProjection;
uniform vec4 uGlobalAmbient;
uniform vec4 uMaterialDiffuse;
uniform vec4 uMaterialAmbient;
uniform vec4 uMaterialSpecular;
uniform vec4 uMaterialEmissive;
uniform float uMaterialPower;
uniform vec3 uLightDirection[8];
uniform vec4 uLightDiffuse[8];
uniform vec4 uLightSpecular[8];
uniform vec4 uLightAmbient[8];

// The settings that choose the path through this stage (LIGHT_COUNT, the number of enabled lights;
// uBlendMatrices, uIndexedBlend, uInstanced, uHasNormal, uHasDiffuse, uHasSpecular, uLighting, the
// four colour sources, uColorVertex, uSpecularEnable, uLocalViewer, uNormalizeNormals) are constants
// the program that builds it defines.

out vec4 vDiffuse;
out vec4 vSpecular;
out vec2 vTexCoord;

// Matrices arrive row-major as Direct3D stores them, so M * v here is Direct3D's v * M.
mat4 BlendedWorld() {
    if (uInstanced)
        return aInstanceWorld;
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
    for (int i = 0; i < LIGHT_COUNT; ++i) {
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
