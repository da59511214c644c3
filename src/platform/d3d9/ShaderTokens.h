// The token stream of Direct3D 9 pixel shaders (ps_1_1) as D3DXAssembleShader writes it and the device
// decodes it: a version word, instructions with their register words, and an end word. One definition
// for both sides, so that they cannot drift apart.
#pragma once

#include "Win32Types.h"

namespace ShaderTokens {

constexpr DWORD kVersionPs11 = 0xFFFF0101u;
constexpr DWORD kEnd = 0x0000FFFFu;
constexpr DWORD kMov = 1, kMul = 5, kTex = 66, kDef = 81;
enum RegisterType : DWORD { Temp = 0, Input = 1, Const = 2, Texture = 3 };

} // namespace ShaderTokens
