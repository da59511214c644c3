#version 330 core
in vec4 vDiffuse;
in vec4 vSpecular;
in vec2 vTexCoord;

// The settings that choose the path through this stage (uTextureBound, uColorOp and its arguments,
// uAlphaOp and its arguments, uPixelShaderSource, uSpecularEnable, uAlphaTest, uAlphaFunc) are
// constants the program that builds it defines.
uniform sampler2D uTexture0;
uniform vec4 uTextureFactor;
uniform vec4 uPixelConstant;
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
