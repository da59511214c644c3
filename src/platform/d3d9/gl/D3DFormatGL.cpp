#include "D3DFormatGL.h"

#include "d3d9.h"

#include <epoxy/gl.h>

bool LookUpD3DFormat(D3DFORMAT format, D3DFormatGL& gl) {
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
        gl = {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, 4, false};
        return true;
    case D3DFMT_R32F:
        gl = {GL_R32F, GL_RED, GL_FLOAT, 4, false};
        return true;
    case D3DFMT_A32B32G32R32F:
        gl = {GL_RGBA32F, GL_RGBA, GL_FLOAT, 16, false};
        return true;
    case D3DFMT_D16:
        gl = {GL_DEPTH_COMPONENT16, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT, 2, true};
        return true;
    case D3DFMT_D24S8:
        gl = {GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8, 4, true};
        return true;
    case D3DFMT_D24X8:
        gl = {GL_DEPTH_COMPONENT24, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, 4, true};
        return true;
    case D3DFMT_D32:
        gl = {GL_DEPTH_COMPONENT32, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, 4, true};
        return true;
    default:
        return false;
    }
}

UINT D3DFormatBytesPerPixel(D3DFORMAT format) {
    D3DFormatGL gl;
    return LookUpD3DFormat(format, gl) && !gl.depth ? gl.bytesPerPixel : 0;
}

bool D3DFormatIsDepth(D3DFORMAT format) {
    D3DFormatGL gl;
    return LookUpD3DFormat(format, gl) && gl.depth;
}
