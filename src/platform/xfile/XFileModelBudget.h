// What one X file may expand to. A mesh named by reference ("{ Name }", three bytes) is placed again at
// every reference, and each placement becomes vertices and faces of its own in a loaded mesh, so a file
// of a few kilobytes could otherwise ask for gigabytes. The limits lie far above real models and keep
// a loaded mesh, with its adjacency, within about a gigabyte; passing one fails the load with a message
// naming it and the place in the file.
#pragma once

#include "XFileLocation.h"
#include "XFileMesh.h"

#include <cstdint>

class XFileModelBudget {
public:
    static constexpr std::uint64_t kMaxVertices = std::uint64_t{1} << 23;  // 8,388,608
    static constexpr std::uint64_t kMaxFaces = std::uint64_t{1} << 23;     // triangles, see FaceCost
    static constexpr std::uint64_t kMaxMaterials = std::uint64_t{1} << 16; // 65,536
    static constexpr std::uint64_t kMaxFrames = std::uint64_t{1} << 20;    // 1,048,576

    // The faces one placement of `mesh` costs: its triangles, where every polygon counts at least once
    // (polygons of fewer than three corners make no triangle but still take work).
    static std::uint64_t FaceCost(const XFileMesh& mesh);

    // Count one more placement; they throw XFileError when a limit would be passed.
    void PlaceMesh(const XFileMesh& mesh, std::uint64_t faceCost, const XFileLocation& where);
    void PlaceFrame(const XFileLocation& where);

private:
    static void Spend(std::uint64_t& used, std::uint64_t more, std::uint64_t limit, const char* what,
                      const XFileLocation& where);

    std::uint64_t m_vertices = 0;
    std::uint64_t m_faces = 0;
    std::uint64_t m_materials = 0;
    std::uint64_t m_frames = 0;
};
