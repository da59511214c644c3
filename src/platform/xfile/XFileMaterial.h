// A material as an X file states it, with the effect instance some exporters attach to it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct XFileEffectParameter {
    enum class Kind : unsigned char { Floats, String, DWord };
    Kind kind = Kind::Floats;
    std::string name;
    std::vector<float> floats; // Kind::Floats
    std::string text;          // Kind::String
    std::uint32_t dword = 0;   // Kind::DWord
};

struct XFileEffectInstance {
    std::string effectFilename;
    std::vector<XFileEffectParameter> parameters;
};

struct XFileMaterial {
    std::string name;
    std::array<float, 4> faceColor{}; // RGBA: the diffuse colour and its alpha
    float power = 0.0f;
    std::array<float, 3> specularColor{};
    std::array<float, 3> emissiveColor{};
    // As written in the file, Windows separators and all; resolving it is the caller's business.
    std::string textureFilename;
    bool hasEffect = false;
    XFileEffectInstance effect;
};
