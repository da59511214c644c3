// Sphere-map shading: the view-space normal picks a texel of the "SphereTex" environment picture,
// which is blended over the lit material colour like a glossy, reflective coat.
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
parameter texture SphereTex;

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
out vec3 vViewNormal;
out vec2 vTexCoord;
void main() {
    vec4 world = mW * vec4(aPosition, 1.0);
    vWorldPosition = world.xyz;
    vNormal = transpose(inverse(mat3(mW))) * aNormal;
    vViewNormal = mat3(mV) * vNormal;
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
uniform sampler2D SphereTex;
in vec3 vWorldPosition;
in vec3 vNormal;
in vec3 vViewNormal;
in vec2 vTexCoord;
out vec4 fragColour;
void main() {
    vec3 toLight = -LightDir;
    if (dot(toLight, toLight) < 1e-12)
        toLight = vec3(0.0, 1.0, 0.0);
    toLight = normalize(toLight);
    vec3 normal = dot(vNormal, vNormal) > 1e-12 ? normalize(vNormal) : toLight;
    vec3 viewNormal = dot(vViewNormal, vViewNormal) > 1e-12 ? normalize(vViewNormal) : vec3(0.0, 0.0, -1.0);
    // View space looks along +z with y up; the picture's rows run downwards.
    vec2 sphereCoord = vec2(0.5 + 0.5 * viewNormal.x, 0.5 - 0.5 * viewNormal.y);
    vec3 environment = texture(SphereTex, sphereCoord).rgb;
    float lambert = max(dot(normal, toLight), 0.0);
    vec3 toEye = normalize(CamPos - vWorldPosition);
    vec3 halfway = normalize(toLight + toEye);
    float highlight = lambert > 0.0 ? pow(max(dot(normal, halfway), 0.0), max(Power, 1.0)) : 0.0;
    vec4 texel = texture(MeshTex, vTexCoord);
    vec3 surface = Diffuse.rgb * texel.rgb;
    vec3 lit = surface * min(lambert + Ambient, 1.0);
    // The reflection is tinted by the surface, as on coloured metal, and never quite hides it.
    vec3 reflection = environment * mix(vec3(1.0), surface, 0.5);
    vec3 colour = mix(lit, reflection, 0.6) + Specular.rgb * highlight + Emissive.rgb;
    fragColour = vec4(colour, texel.a);
}
