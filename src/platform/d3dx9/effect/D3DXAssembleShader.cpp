#include "d3dx9shader.h"

#include "ShaderTokens.h"
#include "d3d9.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace ShaderTokens;

DWORD DestinationToken(RegisterType type, DWORD number) {
    return 0x80000000u | (static_cast<DWORD>(type) << 28) | 0x000F0000u | number;
}
DWORD SourceToken(RegisterType type, DWORD number) {
    return 0x80000000u | (static_cast<DWORD>(type) << 28) | 0x00E40000u | number;
}

struct Register {
    RegisterType type;
    DWORD number;
};

bool ParseRegister(const std::string& text, Register& reg) {
    if (text.size() < 2 || !std::all_of(text.begin() + 1, text.end(), ::isdigit) || text.size() > 4)
        return false;
    const DWORD number = static_cast<DWORD>(std::stoul(text.substr(1)));
    switch (text[0]) {
    case 'r':
        reg = {Temp, number};
        return number < 2;
    case 'v':
        reg = {Input, number};
        return number < 2;
    case 'c':
        reg = {Const, number};
        return number < 8;
    case 't':
        reg = {Texture, number};
        return number < 4;
    default:
        return false;
    }
}

std::vector<std::string> Operands(const std::string& line) {
    std::vector<std::string> words;
    std::string current;
    for (char c : line) {
        if (c == ',' || std::isspace(static_cast<unsigned char>(c))) {
            if (!current.empty())
                words.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    if (!current.empty())
        words.push_back(current);
    return words;
}

std::string StripComment(std::string line) {
    for (const char* marker : {"//", ";"}) {
        const auto at = line.find(marker);
        if (at != std::string::npos)
            line.erase(at);
    }
    return line;
}

class Assembler {
public:
    bool Line(const std::vector<std::string>& words, std::string& error) {
        const std::string& op = words[0];
        if (!m_versionSeen) {
            if (op != "ps_1_1" && op != "ps.1.1")
                return Fail(error, "the program must start with ps_1_1");
            m_versionSeen = true;
            m_tokens.push_back(kVersionPs11);
            return words.size() == 1 || Fail(error, "unexpected text after the version");
        }
        if (op == "def")
            return Define(words, error);
        if (op == "tex")
            return Tex(words, error);
        if (op == "mov" || op == "mul")
            return Output(words, error);
        return Fail(error, "unsupported instruction '" + op + "'");
    }

    bool Finish(std::string& error) {
        if (!m_versionSeen)
            return Fail(error, "the program is empty");
        if (!m_outputSeen)
            return Fail(error, "nothing is written to r0");
        m_tokens.push_back(kEnd);
        return true;
    }

    const std::vector<DWORD>& Tokens() const { return m_tokens; }

private:
    static bool Fail(std::string& error, const std::string& reason) {
        error = reason;
        return false;
    }

    bool Define(const std::vector<std::string>& words, std::string& error) {
        Register reg{};
        if (words.size() != 6 || !ParseRegister(words[1], reg) || reg.type != Const)
            return Fail(error, "def takes a constant register and four numbers");
        m_tokens.push_back(kDef);
        m_tokens.push_back(DestinationToken(Const, reg.number));
        for (int i = 2; i < 6; ++i) {
            char* end = nullptr;
            const float value = std::strtof(words[static_cast<std::size_t>(i)].c_str(), &end);
            if (end == words[static_cast<std::size_t>(i)].c_str() || *end != '\0')
                return Fail(error, "def takes a constant register and four numbers");
            DWORD bits = 0;
            std::memcpy(&bits, &value, sizeof bits);
            m_tokens.push_back(bits);
        }
        return true;
    }

    bool Tex(const std::vector<std::string>& words, std::string& error) {
        Register reg{};
        if (words.size() != 2 || !ParseRegister(words[1], reg) || reg.type != Texture || reg.number != 0)
            return Fail(error, "tex takes t0");
        m_tokens.push_back(kTex);
        m_tokens.push_back(DestinationToken(Texture, 0));
        m_textureSampled = true;
        return true;
    }

    bool Output(const std::vector<std::string>& words, std::string& error) {
        const bool mul = words[0] == "mul";
        Register destination{}, a{}, b{};
        if (words.size() != (mul ? 4u : 3u) || !ParseRegister(words[1], destination) ||
            destination.type != Temp || destination.number != 0 || !ParseRegister(words[2], a) ||
            (mul && !ParseRegister(words[3], b)))
            return Fail(error, words[0] + " takes r0 and " + (mul ? "two sources" : "one source"));
        if (m_outputSeen)
            return Fail(error, "r0 is written more than once");
        const bool usesTexture = a.type == Texture || (mul && b.type == Texture);
        if (usesTexture && !m_textureSampled)
            return Fail(error, "t0 is read before tex t0");
        if (a.type == Temp || (mul && b.type == Temp))
            return Fail(error, "temporary registers cannot be read here");
        if (mul && !((a.type == Texture && b.type == Input) || (a.type == Input && b.type == Texture)))
            return Fail(error, "mul supports t0 times v0 only");
        m_tokens.push_back(mul ? kMul : kMov);
        m_tokens.push_back(DestinationToken(Temp, 0));
        m_tokens.push_back(SourceToken(a.type, a.number));
        if (mul)
            m_tokens.push_back(SourceToken(b.type, b.number));
        m_outputSeen = true;
        return true;
    }

    std::vector<DWORD> m_tokens;
    bool m_versionSeen = false;
    bool m_textureSampled = false;
    bool m_outputSeen = false;
};

} // namespace

HRESULT D3DXAssembleShader(const char* source, UINT length, const D3DXMACRO*, LPD3DXINCLUDE, DWORD,
                           LPD3DXBUFFER* shader, LPD3DXBUFFER* errors) {
    if (shader)
        *shader = nullptr;
    if (errors)
        *errors = nullptr;
    if (source == nullptr || shader == nullptr)
        return D3DERR_INVALIDCALL;
    std::istringstream lines(std::string(source, std::min<std::size_t>(length, std::strlen(source))));
    Assembler assembler;
    std::string line, error;
    int number = 0;
    bool ok = true;
    while (ok && std::getline(lines, line)) {
        ++number;
        const auto words = Operands(StripComment(line));
        if (!words.empty())
            ok = assembler.Line(words, error);
    }
    if (ok)
        ok = assembler.Finish(error);
    if (!ok) {
        if (errors) {
            std::ostringstream message;
            message << '(' << number << "): error: " << error;
            *errors = ID3DXBuffer::FromText(message.str());
        }
        return E_FAIL;
    }
    const auto& tokens = assembler.Tokens();
    *shader = new ID3DXBuffer(tokens.size() * sizeof(DWORD));
    std::memcpy((*shader)->GetBufferPointer(), tokens.data(), tokens.size() * sizeof(DWORD));
    return S_OK;
}
