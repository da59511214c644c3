// An X file in memory: the frame hierarchy with its meshes, meshes outside any frame, and the
// animations. It is what mesh loading, hierarchy loading and animation controllers build from.
#pragma once

#include "XFileAnimation.h"
#include "XFileMesh.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

// A mesh the file names by reference in several places is read once and shared by all of them.
using XFileSharedMesh = std::shared_ptr<const XFileMesh>;

struct XFileFrame {
    std::string name;
    std::array<float, 16> transform{1, 0, 0, 0, 0, 1, 0, 0,
                                    0, 0, 1, 0, 0, 0, 0, 1}; // row-major, identity if absent
    std::vector<XFileSharedMesh> meshes;
    std::vector<XFileFrame> children;
};

struct XFileModel {
    // The ticks per second when the file does not say.
    static constexpr std::uint32_t kDefaultTicksPerSecond = 4800;

    std::vector<XFileFrame> frames;      // top-level frames in file order
    std::vector<XFileSharedMesh> meshes; // top-level meshes, outside any frame
    bool hasTicksPerSecond = false;
    std::uint32_t ticksPerSecond = kDefaultTicksPerSecond;
    // Animations outside any set are gathered into one set without a name, after the named ones.
    std::vector<XFileAnimationSet> animationSets;

    // Reads the file at `path`. On failure returns false, leaves `out` empty and sets `error` to a
    // message naming the file, the line or byte offset, and what was wrong.
    static bool Load(const std::string& path, XFileModel& out, std::string& error);
    static bool LoadFromMemory(std::span<const std::uint8_t> bytes, XFileModel& out, std::string& error);
};
