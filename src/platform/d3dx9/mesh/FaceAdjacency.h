// Which triangle lies across each edge of each triangle, judged by vertex positions so that corners
// split for their normals or texture coordinates still join their neighbours.
#pragma once

#include "d3dx9math.h"

#include <array>
#include <vector>

// Three entries per face, for the edges (v0,v1), (v1,v2), (v2,v0): the face that shares both end
// positions of that edge, or 0xFFFFFFFF. Neighbours are mutual; where more than two faces meet at one
// edge they pair up, oppositely wound faces first. Degenerate edges have no neighbour. Corners must
// index `positions`.
std::vector<DWORD> ComputeFaceAdjacency(const std::vector<D3DXVECTOR3>& positions,
                                        const std::vector<std::array<DWORD, 3>>& faces);
