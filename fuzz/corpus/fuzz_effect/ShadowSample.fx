// Shadowed shading: lit like the base shading, with the direct light taken away where the shadow
// map shows something nearer the light. The receiver is looked up slightly off its surface along its
// normal and compared with a small bias, which keeps lit faces free of self-shadowing stripes, and
// nine neighbouring map texels are averaged so that shadow edges are soft.
//
// Effect file layout: "parameter <type> <name> [= default];" lines, then "technique Tech" with its
// passes; each "pass" may set render states ("state <name> <value>") and holds a GLSL "vertex" and
// "fragment" stage. Parameters reach the stages as uniforms of the same name; matrices arrive as
// stored, so a row vector times M is written M * v.

parameter float4x4 mW;
parameter float4x4 mV;
parameter float4x4 mP;
parameter float4x4 mLVP;
parameter float3 CamPos;
parameter float3 LightDir = 0.7071 -0.7071 0;
parameter float4 Diffuse = 1 1 1 1;
parameter float Ambient = 0.5;
parameter float4 Specular = 0.5 0.5 0.5 1;
parameter float4 Emissive = 0 0 0 0;
parameter float Power = 10;
parameter texture MeshTex;
parameter texture ShadowTex;

technique Tech
pass P0
vertex
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 4) in vec2 aTexCoord;
uniform mat4 mW;
uniform mat4 mV;
uniform mat4 mP;
out vec3 vWorldPosition;
out vec3 vNormal;
out vec2 vTexCoord;
void main() {
    vec4 world = mW * vec4(aPosition, 1.0);
    vWorldPosition = world.xyz;
    vNormal = transpose(inverse(mat3(mW))) * aNormal;
    vTexCoord = aTexCoord;
    gl_Position = mP * (mV * world);
}
fragment
uniform mat4 mLVP;
uniform vec3 CamPos;
uniform vec3 LightDir;
uniform vec4 Diffuse;
uniform float Ambient;
uniform vec4 Specular;
uniform vec4 Emissive;
uniform float Power;
uniform sampler2D MeshTex;
uniform sampler2D ShadowTex;
in vec3 vWorldPosition;
in vec3 vNormal;
in vec2 vTexCoord;
out vec4 fragColour;

// 1 where the light reaches the point, 0 in full shadow.
float LightVisibility(vec3 position, vec3 normal, float lambert) {
    ivec2 mapSize = textureSize(ShadowTex, 0);
    // World units per clip unit across and in depth, read from the light's matrix.
    float clipPerUnitX = length(vec3(mLVP[0][0], mLVP[1][0], mLVP[2][0]));
    float depthPerUnit = length(vec3(mLVP[0][2], mLVP[1][2], mLVP[2][2]));
    float texelWorld = 2.0 / max(clipPerUnitX * float(mapSize.x), 1e-20);
    vec3 offset = normal * texelWorld * (1.0 + 1.5 * (1.0 - lambert));
    vec4 light = mLVP * vec4(position + offset, 1.0);
    vec3 ndc = light.xyz / light.w;
    vec2 coord = vec2(0.5 + 0.5 * ndc.x, 0.5 - 0.5 * ndc.y);
    // Outside the light's box nothing was drawn into the map, so nothing can shade the point.
    if (coord.x < 0.0 || coord.x > 1.0 || coord.y < 0.0 || coord.y > 1.0 || ndc.z > 1.0)
        return 1.0;
    float bias = texelWorld * depthPerUnit;
    ivec2 centre = ivec2(coord * vec2(mapSize));
    float lit = 0.0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            ivec2 texel = clamp(centre + ivec2(dx, dy), ivec2(0), mapSize - 1);
            float occluder = texelFetch(ShadowTex, texel, 0).r;
            lit += ndc.z - bias <= occluder ? 1.0 : 0.0;
        }
    return lit / 9.0;
}

void main() {
    vec3 toLight = -LightDir;
    if (dot(toLight, toLight) < 1e-12)
        toLight = vec3(0.0, 1.0, 0.0);
    toLight = normalize(toLight);
    vec3 normal = dot(vNormal, vNormal) > 1e-12 ? normalize(vNormal) : toLight;
    float lambert = max(dot(normal, toLight), 0.0);
    float visible = lambert > 0.0 ? LightVisibility(vWorldPosition, normal, lambert) : 1.0;
    vec3 toEye = normalize(CamPos - vWorldPosition);
    vec3 halfway = normalize(toLight + toEye);
    float highlight = lambert > 0.0 ? pow(max(dot(normal, halfway), 0.0), max(Power, 1.0)) : 0.0;
    vec4 texel = texture(MeshTex, vTexCoord);
    vec3 colour = Diffuse.rgb * texel.rgb * min(lambert * visible + Ambient, 1.0) +
                  Specular.rgb * highlight * visible + Emissive.rgb;
    fragColour = vec4(colour, texel.a);
}
