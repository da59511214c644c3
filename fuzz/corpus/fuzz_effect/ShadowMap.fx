// Shadow map: each object's depth as seen from the light, in the light's orthographic box (0 near,
// 1 far), written to the red channel of the floating-point map.
//
// Effect file layout: "parameter <type> <name> [= default];" lines, then "technique Tech" with its
// passes; each "pass" may set render states ("state <name> <value>") and holds a GLSL "vertex" and
// "fragment" stage. Parameters reach the stages as uniforms of the same name; matrices arrive as
// stored, so a row vector times M is written M * v.

parameter float4x4 mW;
parameter float4x4 mLV;
parameter float4x4 mLP;
parameter texture MeshTex;

technique Tech
pass Depth
// Both sides cast: a single-sided roof still throws its shadow.
state CULLMODE NONE
state ALPHABLENDENABLE FALSE
state ZENABLE TRUE
state ZWRITEENABLE TRUE
vertex
layout(location = 0) in vec3 aPosition;
uniform mat4 mW;
uniform mat4 mLV;
uniform mat4 mLP;
out float vDepth;
void main() {
    gl_Position = mLP * (mLV * (mW * vec4(aPosition, 1.0)));
    vDepth = gl_Position.z / gl_Position.w;
}
fragment
in float vDepth;
out vec4 fragDepth;
void main() {
    fragDepth = vec4(vDepth, 0.0, 0.0, 1.0);
}
