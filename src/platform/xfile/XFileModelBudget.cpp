#include "XFileModelBudget.h"

#include "XFileError.h"

#include <algorithm>
#include <string>

std::uint64_t XFileModelBudget::FaceCost(const XFileMesh& mesh) {
    std::uint64_t cost = 0;
    for (const std::uint32_t size : mesh.faceSizes)
        cost += std::max<std::uint32_t>(size, 3) - 2;
    return cost;
}

void XFileModelBudget::PlaceMesh(const XFileMesh& mesh, std::uint64_t faceCost, const XFileLocation& where) {
    Spend(m_vertices, mesh.positions.size(), kMaxVertices, "vertices", where);
    Spend(m_faces, faceCost, kMaxFaces, "faces", where);
    Spend(m_materials, std::max<std::size_t>(mesh.materials.size(), 1), kMaxMaterials, "materials", where);
}

void XFileModelBudget::PlaceFrame(const XFileLocation& where) {
    Spend(m_frames, 1, kMaxFrames, "frames", where);
}

void XFileModelBudget::Spend(std::uint64_t& used, std::uint64_t more, std::uint64_t limit, const char* what,
                             const XFileLocation& where) {
    if (more > limit - used)
        throw XFileError(where.Describe() + ": the model would hold more than " + std::to_string(limit) +
                         " " + what +
                         ", the most one file may expand to (meshes named by reference count at " +
                         "every place they are named)");
    used += more;
}
