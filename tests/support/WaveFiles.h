// Wave files built byte by byte, so that every chunk can be made wrong on purpose.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace WaveFiles {

inline void Put16(std::string& out, unsigned value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

inline void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

inline std::string Chunk(const std::string& id, const std::string& body, std::uint32_t claimed = 0xFFFFFFFF) {
    std::string out = id;
    Put32(out, claimed == 0xFFFFFFFF ? static_cast<std::uint32_t>(body.size()) : claimed);
    out += body;
    if (body.size() % 2 == 1)
        out += '\0';
    return out;
}

inline std::string Format(unsigned tag, unsigned channels, std::uint32_t rate, unsigned bits) {
    std::string body;
    Put16(body, tag);
    Put16(body, channels);
    Put32(body, rate);
    Put32(body, rate * channels * bits / 8);
    Put16(body, channels * bits / 8);
    Put16(body, bits);
    return body;
}

inline std::string Riff(const std::string& chunks) {
    return Chunk("RIFF", "WAVE" + chunks);
}

inline std::string Pcm(unsigned channels, std::uint32_t rate, unsigned bits, const std::string& samples) {
    return Riff(Chunk("fmt ", Format(1, channels, rate, bits)) + Chunk("data", samples));
}

// 16-bit mono samples of a sine wave.
inline std::string Sine(double frequency, std::uint32_t rate, double seconds, double amplitude) {
    std::string samples;
    const auto count = static_cast<std::uint32_t>(rate * seconds);
    for (std::uint32_t i = 0; i < count; ++i) {
        const double value =
            amplitude * 32767.0 * __builtin_sin(2.0 * 3.14159265358979 * frequency * i / rate);
        Put16(samples, static_cast<unsigned>(static_cast<std::int16_t>(value)) & 0xFFFF);
    }
    return samples;
}

} // namespace WaveFiles
