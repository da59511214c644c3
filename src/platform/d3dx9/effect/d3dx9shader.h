// D3DX's shader assembler for the ps_1_1 programs this system draws flat colours with.
#pragma once

#include "ID3DXBuffer.h"
#include "Win32Types.h"

struct D3DXMACRO {
    const char* Name;
    const char* Definition;
};
class ID3DXInclude;
using LPD3DXINCLUDE = ID3DXInclude*;

// Assembles "ps_1_1" programs made of "def cN, x, y, z, w", "tex t0", and one output instruction:
// "mov r0, cN", "mov r0, v0", "mov r0, t0" or "mul r0, t0, v0". Comments ("//" and ";") are allowed.
// Anything else fails with the line and the reason in the error buffer.
HRESULT D3DXAssembleShader(const char* source, UINT length, const D3DXMACRO* defines, LPD3DXINCLUDE include,
                           DWORD flags, LPD3DXBUFFER* shader, LPD3DXBUFFER* errors);
