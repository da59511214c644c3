#version 330 core
layout(location = 0) in vec2 aPosition;
layout(location = 1) in vec2 aTexCoord;
layout(location = 2) in vec4 aColor;
uniform vec2 uTargetSize;
out vec2 vTexCoord;
out vec4 vColor;
void main() {
    vTexCoord = aTexCoord;
    vColor = aColor;
    // Pixels with y down to clip space; the target's first row is its top row.
    gl_Position = vec4(aPosition.x * 2.0 / uTargetSize.x - 1.0, 1.0 - aPosition.y * 2.0 / uTargetSize.y, 0.0, 1.0);
}
