// Base shading: per-pixel diffuse and Blinn-Phong specular from one directional light, with the
// light's ambient level, over the material colour and texture.
//
// Effect file layout: "parameter <type> <name> [= default];" lines, then "technique Tech" with its
// passes; each "pass" may set render states ("state <name> <value>") and holds a GLSL "vertex" and
// "fragment" stage. Parameters reach the stages as uniforms of the same name; matrices arrive as
// stored, so a row vector times M is written M * v.

parameter float4x4 mW;
parameter float4x4 mV;
parameter float4x4 mP;
parameter float3 CamPos;
parameter float3 LightDir = 0.7071 -0.7071 0;
parameter float4 Diffuse = 1 1 1 1;
parameter float Ambient = 0.5;
parameter float4 Specular = 0.5 0.5 0.5 1;
parameter float4 Emissive = 0 0 0 0;
parameter float Power = 10;
parameter texture MeshTex;

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
    // The inverse transpose keeps normals upright under non-uniform scale.
    vNormal = transpose(inverse(mat3(mW))) * aNormal;
    vTexCoord = aTexCoord;
    gl_Position = mP * (mV * world);
}
fragment
uniform vec3 CamPos;
uniform vec3 LightDir;
uniform vec4 Diffuse;
uniform float Ambient;
uniform vec4 Specular;
uniform vec4 Emissive;
uniform float Power;
uniform sampler2D MeshTex;
in vec3 vWorldPosition;
in vec3 vNormal;
in vec2 vTexCoord;
out vec4 fragColour;
void main() {
    vec3 toLight = -LightDir;
    if (dot(toLight, toLight) < 1e-12)
        toLight = vec3(0.0, 1.0, 0.0);
    toLight = normalize(toLight);
    // A mesh without normals is lit as if it faced the light.
    vec3 normal = dot(vNormal, vNormal) > 1e-12 ? normalize(vNormal) : toLight;
    vec3 toEye = normalize(CamPos - vWorldPosition);
    float lambert = max(dot(normal, toLight), 0.0);
    vec3 halfway = normalize(toLight + toEye);
    float highlight = lambert > 0.0 ? pow(max(dot(normal, halfway), 0.0), max(Power, 1.0)) : 0.0;
    vec4 texel = texture(MeshTex, vTexCoord);
    vec3 colour = Diffuse.rgb * texel.rgb * min(lambert + Ambient, 1.0) + Specular.rgb * highlight +
                  Emissive.rgb;
    fragColour = vec4(colour, texel.a);
}
