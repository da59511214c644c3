// Small glTF and OBJ files for the model tests: a glTF quad whose buffer is a data URI, with tokens a
// test replaces to make variants and faults, a .glb wrapper, and the validator run.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

inline std::string Base64(const std::string& bytes) {
    static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t n = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size())
            n |= static_cast<unsigned char>(bytes[i + 2]);
        out += digits[(n >> 18) & 63];
        out += digits[(n >> 12) & 63];
        out += i + 1 < bytes.size() ? digits[(n >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? digits[n & 63] : '=';
    }
    return out;
}

template <typename T> std::string RawBytes(const std::vector<T>& values) {
    return std::string(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(T));
}

// The quad's buffer: four positions in the XY plane (z = 0.5), then six 16-bit indices wound
// counter-clockwise seen from +Z.
inline std::string QuadBuffer() {
    return RawBytes(std::vector<float>{0, 0, 0.5f, 1, 0, 0.5f, 1, 1, 0.5f, 0, 1, 0.5f}) +
           RawBytes(std::vector<std::uint16_t>{0, 1, 2, 0, 2, 3});
}

// Tokens: @URI@ (the buffer), @NODE@ (node 0's fields after "mesh"), @PRIM@ (primitive fields),
// @TOP@ (top-level fields), @MAT@ (material 0's fields), @COUNT@ (index count), @LEN@ (buffer length).
inline std::string QuadGltfTemplate() {
    return R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],@TOP@
"nodes":[{"mesh":0@NODE@}],
"meshes":[{"name":"quad","primitives":[{"attributes":{"POSITION":0},"indices":1,"material":0@PRIM@}]}],
"materials":[{"name":"paint"@MAT@}],
"buffers":[{"byteLength":@LEN@,"uri":"@URI@"}],
"bufferViews":[{"buffer":0,"byteOffset":0,"byteLength":48},{"buffer":0,"byteOffset":48,"byteLength":12}],
"accessors":[{"bufferView":0,"componentType":5126,"count":4,"type":"VEC3","min":[0,0,0.5],"max":[1,1,0.5]},
{"bufferView":1,"componentType":5123,"count":@COUNT@,"type":"SCALAR"}]})";
}

inline void ReplaceAll(std::string& text, const std::string& token, const std::string& value) {
    for (std::size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + value.size()))
        text.replace(at, token.size(), value);
}

struct QuadGltf {
    std::string top, node, primitive, material, count = "6";
    std::string uri = "data:application/octet-stream;base64," + Base64(QuadBuffer());
    std::string length = "60";

    std::string Text() const {
        std::string text = QuadGltfTemplate();
        for (const auto& [token, value] : {std::pair{"@TOP@", top},
                                           {"@NODE@", node},
                                           {"@PRIM@", primitive},
                                           {"@MAT@", material},
                                           {"@COUNT@", count},
                                           {"@URI@", uri},
                                           {"@LEN@", length}})
            ReplaceAll(text, token, value);
        return text;
    }
};

// A .glb: the JSON chunk (padded with spaces) and the binary chunk (padded with zeros).
inline std::string Glb(std::string json, std::string bin) {
    while (json.size() % 4 != 0)
        json += ' ';
    while (bin.size() % 4 != 0)
        bin += '\0';
    const auto word = [](std::uint32_t value) {
        return std::string(reinterpret_cast<const char*>(&value), 4);
    };
    const std::uint32_t total =
        12 + 8 + static_cast<std::uint32_t>(json.size()) + 8 + static_cast<std::uint32_t>(bin.size());
    return "glTF" + word(2) + word(total) + word(static_cast<std::uint32_t>(json.size())) + "JSON" + json +
           word(static_cast<std::uint32_t>(bin.size())) + std::string("BIN\0", 4) + bin;
}

// The Khronos validator's verdict on a file: "" when it reports no errors, its report otherwise, or
// nullopt-like "skip:" when node or the npm package is not installed (./run.sh test installs it).
inline std::string ValidateGltf(const std::string& path) {
    const std::string modules = FSMITH_BINARY_DIR "/npm/node_modules";
    if (!std::filesystem::exists(modules + "/gltf-validator") ||
        std::system("node --version >/dev/null 2>&1") != 0)
        return "skip: gltf-validator is not installed (./run.sh test installs it with npm)";
    const std::string report = path + ".report";
    const std::string command = "NODE_PATH='" + modules +
                                "' node '" FSMITH_SOURCE_DIR "/tests/support/gltf_validate.js' '" + path +
                                "' >'" + report + "' 2>&1";
    const int status = std::system(command.c_str());
    std::string text;
    if (FILE* file = std::fopen(report.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            text.append(buffer, n);
        std::fclose(file);
    }
    std::filesystem::remove(report);
    return status == 0 ? "" : text.empty() ? "validator failed" : text;
}
