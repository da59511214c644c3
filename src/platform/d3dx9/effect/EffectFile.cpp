// Effect files are line based:
//
//   // a comment                        (whole lines, outside stage sources; blank lines are skipped)
//   parameter float4 Diffuse = 1 1 1 1;  (the ';' and the default are optional)
//   parameter float4x4 Bones[4];
//   parameter string Name = "some text";
//   parameter texture MeshTex;
//   technique Tech
//   pass P0
//     state ZENABLE TRUE                 (D3DRS_ name with or without the prefix; a number, TRUE/FALSE
//     state CULLMODE CCW                  or the value's name without its D3D prefix: CCW, ONE, LESS...)
//     vertex
//     ...GLSL vertex stage...
//     fragment
//     ...GLSL fragment stage...
//   pass P1
//     ...
//
// Types: bool, int, float, float2, float3, float4, float4x4, string, texture; any but string and
// texture may be an array. Parameters come before the first technique, states before a pass's stages
// (after a stage, a line starting "state" or "parameter" is still GLSL).
// A stage's source runs up to a line that is "vertex" or "fragment", or starts "pass " or "technique ";
// it may start with its own #version line, otherwise "#version 330 core" is assumed.
#include "EffectFile.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <sstream>

namespace {

// Trimming and splitting into words use the same blanks, so a line that trims to something always has
// a first word (vertical tabs and form feeds included).
constexpr const char* kBlanks = " \t\n\v\f\r";

std::string Trim(const std::string& text) {
    const auto begin = text.find_first_not_of(kBlanks);
    if (begin == std::string::npos)
        return {};
    const auto end = text.find_last_not_of(kBlanks);
    return text.substr(begin, end - begin + 1);
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    for (auto begin = text.find_first_not_of(kBlanks); begin != std::string::npos;) {
        const auto end = text.find_first_of(kBlanks, begin);
        words.push_back(text.substr(begin, end - begin));
        begin = text.find_first_not_of(kBlanks, end);
    }
    return words;
}

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool IsIdentifier(const std::string& name) {
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0])))
        return false;
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

bool ParseNumber(const std::string& word, double& value) {
    const std::string upper = Upper(word);
    if (upper == "TRUE" || upper == "FALSE") {
        value = upper == "TRUE" ? 1.0 : 0.0;
        return true;
    }
    char* end = nullptr;
    const bool hex = upper.rfind("0X", 0) == 0;
    value = hex ? static_cast<double>(std::strtoul(word.c_str(), &end, 16)) : std::strtod(word.c_str(), &end);
    return !word.empty() && end == word.c_str() + word.size() && std::isfinite(value);
}

const std::map<std::string, EffectType>& TypeNames() {
    static const std::map<std::string, EffectType> names = {
        {"bool", EffectType::Bool},         {"int", EffectType::Int},       {"float", EffectType::Float},
        {"float2", EffectType::Float2},     {"float3", EffectType::Float3}, {"float4", EffectType::Float4},
        {"float4x4", EffectType::Float4x4}, {"string", EffectType::String}, {"texture", EffectType::Texture}};
    return names;
}

// The value names each family of render states takes, without their D3D prefixes.
enum class Family { Number, Bool, ZBuffer, Fill, Shade, Cull, Compare, Blend, BlendOp, Float };

const std::map<std::string, std::pair<D3DRENDERSTATETYPE, Family>>& StateNames() {
    static const std::map<std::string, std::pair<D3DRENDERSTATETYPE, Family>> names = {
        {"ZENABLE", {D3DRS_ZENABLE, Family::ZBuffer}},
        {"FILLMODE", {D3DRS_FILLMODE, Family::Fill}},
        {"SHADEMODE", {D3DRS_SHADEMODE, Family::Shade}},
        {"ZWRITEENABLE", {D3DRS_ZWRITEENABLE, Family::Bool}},
        {"ALPHATESTENABLE", {D3DRS_ALPHATESTENABLE, Family::Bool}},
        {"LASTPIXEL", {D3DRS_LASTPIXEL, Family::Bool}},
        {"SRCBLEND", {D3DRS_SRCBLEND, Family::Blend}},
        {"DESTBLEND", {D3DRS_DESTBLEND, Family::Blend}},
        {"CULLMODE", {D3DRS_CULLMODE, Family::Cull}},
        {"ZFUNC", {D3DRS_ZFUNC, Family::Compare}},
        {"ALPHAREF", {D3DRS_ALPHAREF, Family::Number}},
        {"ALPHAFUNC", {D3DRS_ALPHAFUNC, Family::Compare}},
        {"DITHERENABLE", {D3DRS_DITHERENABLE, Family::Bool}},
        {"ALPHABLENDENABLE", {D3DRS_ALPHABLENDENABLE, Family::Bool}},
        {"FOGENABLE", {D3DRS_FOGENABLE, Family::Bool}},
        {"SPECULARENABLE", {D3DRS_SPECULARENABLE, Family::Bool}},
        {"STENCILENABLE", {D3DRS_STENCILENABLE, Family::Bool}},
        {"TEXTUREFACTOR", {D3DRS_TEXTUREFACTOR, Family::Number}},
        {"CLIPPING", {D3DRS_CLIPPING, Family::Bool}},
        {"LIGHTING", {D3DRS_LIGHTING, Family::Bool}},
        {"AMBIENT", {D3DRS_AMBIENT, Family::Number}},
        {"COLORVERTEX", {D3DRS_COLORVERTEX, Family::Bool}},
        {"NORMALIZENORMALS", {D3DRS_NORMALIZENORMALS, Family::Bool}},
        {"POINTSIZE", {D3DRS_POINTSIZE, Family::Float}},
        {"MULTISAMPLEANTIALIAS", {D3DRS_MULTISAMPLEANTIALIAS, Family::Bool}},
        {"COLORWRITEENABLE", {D3DRS_COLORWRITEENABLE, Family::Number}},
        {"BLENDOP", {D3DRS_BLENDOP, Family::BlendOp}},
        {"SCISSORTESTENABLE", {D3DRS_SCISSORTESTENABLE, Family::Bool}},
        {"SLOPESCALEDEPTHBIAS", {D3DRS_SLOPESCALEDEPTHBIAS, Family::Float}},
        {"ANTIALIASEDLINEENABLE", {D3DRS_ANTIALIASEDLINEENABLE, Family::Bool}},
        {"DEPTHBIAS", {D3DRS_DEPTHBIAS, Family::Float}},
        {"SEPARATEALPHABLENDENABLE", {D3DRS_SEPARATEALPHABLENDENABLE, Family::Bool}},
        {"SRCBLENDALPHA", {D3DRS_SRCBLENDALPHA, Family::Blend}},
        {"DESTBLENDALPHA", {D3DRS_DESTBLENDALPHA, Family::Blend}},
        {"BLENDOPALPHA", {D3DRS_BLENDOPALPHA, Family::BlendOp}},
    };
    return names;
}

const std::map<std::string, DWORD>& ValueNames(Family family) {
    static const std::map<Family, std::map<std::string, DWORD>> names = {
        {Family::ZBuffer, {{"TRUE", 1}, {"FALSE", 0}, {"USEW", D3DZB_USEW}}},
        {Family::Fill,
         {{"POINT", D3DFILL_POINT}, {"WIREFRAME", D3DFILL_WIREFRAME}, {"SOLID", D3DFILL_SOLID}}},
        {Family::Shade, {{"FLAT", D3DSHADE_FLAT}, {"GOURAUD", D3DSHADE_GOURAUD}}},
        {Family::Cull, {{"NONE", D3DCULL_NONE}, {"CW", D3DCULL_CW}, {"CCW", D3DCULL_CCW}}},
        {Family::Compare,
         {{"NEVER", D3DCMP_NEVER},
          {"LESS", D3DCMP_LESS},
          {"EQUAL", D3DCMP_EQUAL},
          {"LESSEQUAL", D3DCMP_LESSEQUAL},
          {"GREATER", D3DCMP_GREATER},
          {"NOTEQUAL", D3DCMP_NOTEQUAL},
          {"GREATEREQUAL", D3DCMP_GREATEREQUAL},
          {"ALWAYS", D3DCMP_ALWAYS}}},
        {Family::Blend,
         {{"ZERO", D3DBLEND_ZERO},
          {"ONE", D3DBLEND_ONE},
          {"SRCCOLOR", D3DBLEND_SRCCOLOR},
          {"INVSRCCOLOR", D3DBLEND_INVSRCCOLOR},
          {"SRCALPHA", D3DBLEND_SRCALPHA},
          {"INVSRCALPHA", D3DBLEND_INVSRCALPHA},
          {"DESTALPHA", D3DBLEND_DESTALPHA},
          {"INVDESTALPHA", D3DBLEND_INVDESTALPHA},
          {"DESTCOLOR", D3DBLEND_DESTCOLOR},
          {"INVDESTCOLOR", D3DBLEND_INVDESTCOLOR},
          {"SRCALPHASAT", D3DBLEND_SRCALPHASAT}}},
        {Family::BlendOp,
         {{"ADD", D3DBLENDOP_ADD},
          {"SUBTRACT", D3DBLENDOP_SUBTRACT},
          {"REVSUBTRACT", D3DBLENDOP_REVSUBTRACT},
          {"MIN", D3DBLENDOP_MIN},
          {"MAX", D3DBLENDOP_MAX}}},
    };
    static const std::map<std::string, DWORD> booleans = {{"TRUE", 1}, {"FALSE", 0}};
    static const std::map<std::string, DWORD> none;
    if (family == Family::Bool)
        return booleans;
    const auto found = names.find(family);
    return found == names.end() ? none : found->second;
}

bool StateValue(Family family, const std::string& word, DWORD& value) {
    const auto& names = ValueNames(family);
    const auto named = names.find(Upper(word));
    if (named != names.end()) {
        value = named->second;
        return true;
    }
    double number = 0;
    if (!ParseNumber(word, number))
        return false;
    if (family == Family::Float) {
        // Direct3D keeps these states as the bits of a float.
        const float f = static_cast<float>(number);
        std::memcpy(&value, &f, sizeof value);
        return true;
    }
    if (number < 0 || number > 4294967295.0 || number != std::floor(number))
        return false;
    value = static_cast<DWORD>(number);
    return true;
}

bool IsStageEnd(const std::string& trimmed) {
    return trimmed == "vertex" || trimmed == "fragment" || trimmed.rfind("pass ", 0) == 0 ||
           trimmed.rfind("technique ", 0) == 0 || trimmed == "pass" || trimmed == "technique";
}

class Parser {
public:
    Parser(const std::string& name, std::vector<EffectParameterDecl>& parameters,
           std::vector<EffectTechniqueDecl>& techniques)
        : m_name(name), m_parameters(parameters), m_techniques(techniques) {}

    bool Run(const std::string& text, std::string& error) {
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            m_lines.push_back(line);
        for (m_index = 0; m_index < m_lines.size();) {
            if (!Line(Trim(m_lines[m_index])))
                break;
        }
        if (m_error.empty())
            Finish();
        error = m_error;
        return m_error.empty();
    }

private:
    // Handles the line at m_index and moves past it (and past a stage's source).
    bool Line(const std::string& line) {
        if (line.empty() || line.rfind("//", 0) == 0) {
            ++m_index;
            return true;
        }
        const std::vector<std::string> words = Words(line);
        const std::string& keyword = words[0];
        bool ok = false;
        if (keyword == "parameter")
            ok = Parameter(line);
        else if (keyword == "technique")
            ok = Technique(words);
        else if (keyword == "pass")
            ok = Pass(words);
        else if (keyword == "state")
            ok = State(words);
        else if (keyword == "vertex" || keyword == "fragment")
            return Stage(words);
        else
            ok = Fail("unexpected '" + keyword + "'");
        ++m_index;
        return ok;
    }

    bool Fail(const std::string& reason) { return FailAt(m_index + 1, reason); }

    bool FailAt(std::size_t line, const std::string& reason) {
        m_error = m_name + "(" + std::to_string(line) + "): " + reason;
        return false;
    }

    bool Parameter(std::string line) {
        if (!m_techniques.empty())
            return Fail("parameters must come before the first technique");
        if (!line.empty() && line.back() == ';')
            line.pop_back();
        const auto equals = line.find('=');
        const std::vector<std::string> words = Words(line.substr(0, equals));
        if (words.size() != 3)
            return Fail("a parameter is 'parameter <type> <name>[ = <values>]'");
        const auto type = TypeNames().find(words[1]);
        if (type == TypeNames().end())
            return Fail("unknown parameter type '" + words[1] + "'");
        EffectParameterDecl decl;
        decl.type = type->second;
        if (!Declarator(words[2], decl))
            return false;
        if (equals != std::string::npos && !Defaults(Trim(line.substr(equals + 1)), decl))
            return false;
        m_parameters.push_back(std::move(decl));
        return true;
    }

    bool Declarator(const std::string& word, EffectParameterDecl& decl) {
        const auto bracket = word.find('[');
        decl.name = word.substr(0, bracket);
        if (!IsIdentifier(decl.name))
            return Fail("'" + decl.name + "' is not a name");
        for (const auto& other : m_parameters)
            if (other.name == decl.name)
                return Fail("parameter '" + decl.name + "' is declared twice");
        if (bracket == std::string::npos)
            return true;
        if (decl.type == EffectType::String || decl.type == EffectType::Texture)
            return Fail("string and texture parameters cannot be arrays");
        double size = 0;
        if (word.back() != ']' || !ParseNumber(word.substr(bracket + 1, word.size() - bracket - 2), size) ||
            size < 1 || size > 256 || size != std::floor(size))
            return Fail("an array size is a whole number from 1 to 256");
        decl.elements = static_cast<UINT>(size);
        return true;
    }

    bool Defaults(const std::string& values, EffectParameterDecl& decl) {
        if (decl.type == EffectType::Texture)
            return Fail("a texture parameter has no default");
        if (decl.type == EffectType::String) {
            if (values.size() < 2 || values.front() != '"' || values.back() != '"')
                return Fail("a string default is quoted text");
            decl.text = values.substr(1, values.size() - 2);
            return true;
        }
        for (const std::string& word : Words(values)) {
            double number = 0;
            if (!ParseNumber(word, number))
                return Fail("'" + word + "' is not a number");
            decl.numbers.push_back(number);
        }
        if (decl.numbers.size() > std::size_t{EffectTypeComponents(decl.type)} * decl.elements)
            return Fail("too many default values for '" + decl.name + "'");
        return true;
    }

    bool Technique(const std::vector<std::string>& words) {
        if (words.size() != 2 || !IsIdentifier(words[1]))
            return Fail("a technique is 'technique <name>'");
        for (const auto& other : m_techniques)
            if (other.name == words[1])
                return Fail("technique '" + words[1] + "' is declared twice");
        if (!CheckLastTechnique())
            return false;
        m_techniques.push_back({words[1], {}});
        return true;
    }

    bool Pass(const std::vector<std::string>& words) {
        if (m_techniques.empty())
            return Fail("a pass must be inside a technique");
        if (words.size() != 2 || !IsIdentifier(words[1]))
            return Fail("a pass is 'pass <name>'");
        auto& passes = m_techniques.back().passes;
        if (!passes.empty() && !CheckPass(passes.back()))
            return false;
        for (const auto& other : passes)
            if (other.name == words[1])
                return Fail("pass '" + words[1] + "' is declared twice");
        passes.push_back({});
        passes.back().name = words[1];
        return true;
    }

    bool State(const std::vector<std::string>& words) {
        if (m_techniques.empty() || m_techniques.back().passes.empty())
            return Fail("a state must be inside a pass");
        EffectPassDecl& pass = m_techniques.back().passes.back();
        if (words.size() != 3)
            return Fail("a state is 'state <name> <value>'");
        std::string name = Upper(words[1]);
        if (name.rfind("D3DRS_", 0) == 0)
            name = name.substr(6);
        const auto state = StateNames().find(name);
        if (state == StateNames().end())
            return Fail("unknown render state '" + words[1] + "'");
        DWORD value = 0;
        if (!StateValue(state->second.second, words[2], value))
            return Fail("'" + words[2] + "' is not a value of " + words[1]);
        pass.states.emplace_back(state->second.first, value);
        return true;
    }

    bool Stage(const std::vector<std::string>& words) {
        if (m_techniques.empty() || m_techniques.back().passes.empty())
            return Fail("a stage must be inside a pass");
        if (words.size() != 1)
            return Fail("the stage's source starts on the line after '" + words[0] + "'");
        EffectPassDecl& pass = m_techniques.back().passes.back();
        EffectStage& stage = words[0] == "vertex" ? pass.vertex : pass.fragment;
        if (stage.firstLine != 0)
            return Fail("the pass has two " + words[0] + " stages");
        stage.firstLine = static_cast<int>(m_index) + 2;
        for (++m_index; m_index < m_lines.size() && !IsStageEnd(Trim(m_lines[m_index])); ++m_index)
            stage.source += m_lines[m_index] + "\n";
        if (Trim(stage.source).empty())
            return FailAt(static_cast<std::size_t>(stage.firstLine) - 1,
                          "the " + words[0] + " stage is empty");
        return true;
    }

    bool CheckPass(const EffectPassDecl& pass) {
        if (pass.vertex.firstLine == 0 || pass.fragment.firstLine == 0)
            return Fail("pass '" + pass.name + "' needs a vertex and a fragment stage");
        return true;
    }

    bool CheckLastTechnique() {
        if (m_techniques.empty())
            return true;
        const auto& passes = m_techniques.back().passes;
        if (passes.empty())
            return Fail("technique '" + m_techniques.back().name + "' has no passes");
        return CheckPass(passes.back());
    }

    void Finish() {
        if (m_techniques.empty()) {
            Fail("the file declares no technique");
            return;
        }
        CheckLastTechnique();
    }

    const std::string& m_name;
    std::vector<EffectParameterDecl>& m_parameters;
    std::vector<EffectTechniqueDecl>& m_techniques;
    std::vector<std::string> m_lines;
    std::size_t m_index = 0;
    std::string m_error;
};

} // namespace

UINT EffectTypeComponents(EffectType type) {
    switch (type) {
    case EffectType::Bool:
    case EffectType::Int:
    case EffectType::Float:
        return 1;
    case EffectType::Float2:
        return 2;
    case EffectType::Float3:
        return 3;
    case EffectType::Float4:
        return 4;
    case EffectType::Float4x4:
        return 16;
    default:
        return 0;
    }
}

bool EffectFile::Parse(const std::string& text, const std::string& name, EffectFile& file,
                       std::string& error) {
    EffectFile parsed;
    if (!Parser(name, parsed.m_parameters, parsed.m_techniques).Run(text, error))
        return false;
    file = std::move(parsed);
    return true;
}
