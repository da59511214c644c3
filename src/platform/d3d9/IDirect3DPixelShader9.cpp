#include "d3d9.h"

#include "ShaderTokens.h"

#include <array>
#include <cstring>

using namespace ShaderTokens;

bool IDirect3DPixelShader9::Decode(const DWORD* tokens, Program& program) {
    if (tokens[0] != kVersionPs11)
        return false;
    bool output = false;
    for (std::size_t i = 1; i < 4096; ++i) {
        const DWORD op = tokens[i];
        if (op == kEnd)
            return output;
        if (op == kDef) {
            const DWORD reg = tokens[i + 1] & 0x7FF;
            std::array<float, 4> values{};
            std::memcpy(values.data(), &tokens[i + 2], sizeof values);
            program.definitions[static_cast<int>(reg)] = values;
            i += 5;
        } else if (op == kTex) {
            i += 1;
        } else if (op == kMov || op == kMul) {
            const auto type = static_cast<RegisterType>((tokens[i + 2] >> 28) & 7);
            program.constantRegister = static_cast<int>(tokens[i + 2] & 0x7FF);
            program.source = op == kMul        ? Source::TextureTimesDiffuse
                             : type == Const   ? Source::Constant
                             : type == Texture ? Source::Texture
                                               : Source::Diffuse;
            output = true;
            i += op == kMul ? 3 : 2;
        } else {
            return false;
        }
    }
    return false;
}
