#version 330 core
in vec2 vTexCoord;
in vec4 vColor;
uniform sampler2D uTexture;
uniform int uSource;
uniform bool uAlphaTest;
out vec4 fragColor;
void main() {
    vec4 texel = texture(uTexture, vTexCoord);
    vec4 color;
    if (uSource == 0)
        color = vec4(vColor.rgb, vColor.a * texel.r);
    else if (uSource == 1)
        color = texel * vColor;
    else
        color = vec4(texel.rgb, 1.0) * vColor;
    if (uAlphaTest && color.a <= 0.0)
        discard;
    fragColor = color;
}
