// The one place where models change handedness. glTF and OBJ are right-handed (a viewer's camera
// looks along -Z with +X to the right); the editor is left-handed (Direct3D: the camera looks along
// +Z with +X to the right, front faces wound clockwise). Mirroring Z maps one space onto the other so
// that a model seen by the same camera shows the same picture, not its mirror image; mirroring turns
// the winding round, so each triangle's corners are swapped to keep its front face in front.
//
// Both directions are the same operation, so one function serves reading and writing. World matrices
// convert as S * M * S with S = diag(1, 1, -1, 1), on top of the change from row vectors (editor) to
// column vectors (glTF): element (i, j) keeps its value, negated where exactly one of i, j is the Z row
// or column.
#pragma once

#include "ModelData.h"

#include <array>

class Handedness {
public:
    // Positions and normals mirrored in Z, the second and third corner of every face swapped.
    static void Mirror(ModelData& model);
    // An editor world matrix (row vectors, left-handed) as glTF's node matrix: column-major floats of
    // a matrix for column vectors, right-handed.
    static std::array<float, 16> ToGltfMatrix(const D3DXMATRIX& world);
    // The inverse of ToGltfMatrix.
    static D3DXMATRIX FromGltfMatrix(const std::array<float, 16>& matrix);
};
