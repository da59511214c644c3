#include "Handedness.h"

#include <utility>

namespace {

// Stored row by row, D3DX's (i, j) element and glTF's column-major element i * 4 + j of the
// transposed matrix are the same float; only the signs of the Z row and Z column change.
std::array<float, 16> FlipZRowAndColumn(const float* m) {
    std::array<float, 16> out{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            out[i * 4 + j] = ((i == 2) != (j == 2)) ? -m[i * 4 + j] : m[i * 4 + j];
    return out;
}

} // namespace

void Handedness::Mirror(ModelData& model) {
    for (D3DXVECTOR3& position : model.positions)
        position.z = -position.z;
    for (D3DXVECTOR3& normal : model.normals)
        normal.z = -normal.z;
    for (std::array<DWORD, 3>& face : model.faces)
        std::swap(face[1], face[2]);
}

std::array<float, 16> Handedness::ToGltfMatrix(const D3DXMATRIX& world) {
    return FlipZRowAndColumn(&world._11);
}

D3DXMATRIX Handedness::FromGltfMatrix(const std::array<float, 16>& matrix) {
    const std::array<float, 16> flipped = FlipZRowAndColumn(matrix.data());
    return D3DXMATRIX(flipped.data());
}
