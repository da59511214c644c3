// Animations of an X file: per frame, keys of rotation, scale, position or whole matrices, with their
// times in ticks.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct XFileRotationKey {
    std::uint32_t time = 0;
    float w = 1.0f, x = 0.0f, y = 0.0f, z = 0.0f; // the file's order: w first
};

struct XFileVectorKey {
    std::uint32_t time = 0;
    std::array<float, 3> value{};
};

struct XFileMatrixKey {
    std::uint32_t time = 0;
    std::array<float, 16> matrix{};
};

struct XFileAnimation {
    std::string name;
    std::string frameName;                      // the frame the keys move, from its reference
    std::vector<XFileRotationKey> rotationKeys; // key type 0
    std::vector<XFileVectorKey> scaleKeys;      // key type 1
    std::vector<XFileVectorKey> positionKeys;   // key type 2
    std::vector<XFileMatrixKey> matrixKeys;     // key types 3 and 4
    bool hasOptions = false;
    std::uint32_t openClosed = 1;      // 0 open, 1 closed (loops)
    std::uint32_t positionQuality = 1; // 0 spline, 1 linear
};

struct XFileAnimationSet {
    std::string name;
    std::vector<XFileAnimation> animations;
};
