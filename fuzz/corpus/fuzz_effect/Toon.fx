// Toon shading: the light level is looked up in the "ToonTex" ramp, whose texels are read without
// filtering so each band stays one flat shade; a second pass draws the back faces pushed out along
// their normals in a dark tone of the material, which outlines the silhouette.
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
parameter texture ToonTex;

technique Tech
pass Shade
vertex
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 4) in vec2 aTexCoord;
uniform mat4 mW;
uniform mat4 mV;
uniform mat4 mP;
out vec3 vNormal;
out vec2 vTexCoord;
void main() {
    vec4 world = mW * vec4(aPosition, 1.0);
    vNormal = transpose(inverse(mat3(mW))) * aNormal;
    vTexCoord = aTexCoord;
    gl_Position = mP * (mV * world);
}
fragment
uniform vec3 LightDir;
uniform vec4 Diffuse;
uniform vec4 Emissive;
uniform sampler2D MeshTex;
uniform sampler2D ToonTex;
in vec3 vNormal;
in vec2 vTexCoord;
out vec4 fragColour;
void main() {
    vec3 toLight = -LightDir;
    if (dot(toLight, toLight) < 1e-12)
        toLight = vec3(0.0, 1.0, 0.0);
    toLight = normalize(toLight);
    vec3 normal = dot(vNormal, vNormal) > 1e-12 ? normalize(vNormal) : toLight;
    // Half-Lambert spreads the ramp over the whole sphere, so the shadow side gets its own band.
    float level = clamp(dot(normal, toLight) * 0.5 + 0.5, 0.0, 1.0);
    ivec2 rampSize = textureSize(ToonTex, 0);
    int column = clamp(int(level * float(rampSize.x)), 0, rampSize.x - 1);
    vec3 band = texelFetch(ToonTex, ivec2(column, rampSize.y / 2), 0).rgb;
    vec4 texel = texture(MeshTex, vTexCoord);
    fragColour = vec4(Diffuse.rgb * texel.rgb * band + Emissive.rgb, texel.a);
}
pass Outline
state CULLMODE CW
state ALPHABLENDENABLE FALSE
vertex
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
uniform mat4 mW;
uniform mat4 mV;
uniform mat4 mP;
void main() {
    vec4 view = mV * (mW * vec4(aPosition, 1.0));
    vec3 normal = mat3(mV) * (transpose(inverse(mat3(mW))) * aNormal);
    // The push grows with the distance, so the line keeps about the same width on screen.
    if (dot(normal, normal) > 1e-12)
        view.xyz += normalize(normal) * (0.006 * max(abs(view.z), 1.0));
    gl_Position = mP * view;
}
fragment
uniform vec4 Diffuse;
out vec4 fragColour;
void main() {
    fragColour = vec4(Diffuse.rgb * 0.18, 1.0);
}
