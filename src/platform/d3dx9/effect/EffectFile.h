// The contents of an effect file: its parameters and its techniques' passes, with the GLSL of each
// pass's stages. Parsing only checks the container; the GLSL is compiled when the effect is made.
#pragma once

#include "d3d9types.h"

#include <string>
#include <utility>
#include <vector>

enum class EffectType { Bool, Int, Float, Float2, Float3, Float4, Float4x4, String, Texture };

// Numbers one element of the type holds; 0 for strings and textures.
UINT EffectTypeComponents(EffectType type);

struct EffectParameterDecl {
    std::string name;
    EffectType type = EffectType::Float;
    UINT elements = 1;           // array size; 1 for a single value
    std::vector<double> numbers; // default values, fewer than the parameter holds or none
    std::string text;            // a string parameter's default
};

struct EffectStage {
    std::string source;
    int firstLine = 0; // the file line of the source's first line, for the compiler's messages
};

struct EffectPassDecl {
    std::string name;
    std::vector<std::pair<D3DRENDERSTATETYPE, DWORD>> states;
    EffectStage vertex, fragment;
};

struct EffectTechniqueDecl {
    std::string name;
    std::vector<EffectPassDecl> passes;
};

class EffectFile {
public:
    // False with "<name>(<line>): <reason>" in error when the text is not a well-formed effect.
    static bool Parse(const std::string& text, const std::string& name, EffectFile& file, std::string& error);

    const std::vector<EffectParameterDecl>& Parameters() const { return m_parameters; }
    const std::vector<EffectTechniqueDecl>& Techniques() const { return m_techniques; }

private:
    std::vector<EffectParameterDecl> m_parameters;
    std::vector<EffectTechniqueDecl> m_techniques;
};
