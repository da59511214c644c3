#include "SceneDrawer.h"

#include "CXData.h"
#include "CheckedListBox.h"
#include "D3DZCXFILE.h"
#include "ModelCopies.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

bool SceneDrawer::s_culling = true;
bool SceneDrawer::s_grouping = true;

namespace {

// The local axes reach 50 units along each axis from the object's origin.
constexpr float kAxisReach = 50.0f;
// Rounding must never make a sphere that touches the volume look outside it.
constexpr float kMargin = 1.001f;

// One of the six planes bounding D3D's clip volume (-w <= x, y <= w, 0 <= z <= w) in world space:
// a point p is inside when dot(n, p) + d >= 0.
struct Plane {
    float a, b, c, d;
};

// The volume is widened by a fraction of w on every side: the toon outline pushes vertices out by
// up to 0.006 of their depth, and no rounding may leave out an object that touches the edge.
constexpr float kSlack = 0.05f;

void ClipPlanes(const D3DXMATRIX& m, Plane planes[6]) {
    const auto column = [&m](UINT j) { return Plane{m(0, j), m(1, j), m(2, j), m(3, j)}; };
    const auto sum = [](const Plane& p, float f, const Plane& q) {
        return Plane{p.a + f * q.a, p.b + f * q.b, p.c + f * q.c, p.d + f * q.d};
    };
    const Plane x = column(0), y = column(1), z = column(2), w = column(3);
    const Plane wideW = sum(w, kSlack, w);
    planes[0] = sum(wideW, 1, x);
    planes[1] = sum(wideW, -1, x);
    planes[2] = sum(wideW, 1, y);
    planes[3] = sum(wideW, -1, y);
    planes[4] = sum(z, kSlack, w);
    planes[5] = sum(wideW, -1, z);
}

// The largest factor by which world stretches any direction is at most the longest of its rows.
float LargestScale(const D3DXMATRIX& world) {
    float longest = 0;
    for (UINT row = 0; row < 3; ++row)
        longest = std::max(longest, world(row, 0) * world(row, 0) + world(row, 1) * world(row, 1) +
                                        world(row, 2) * world(row, 2));
    return std::sqrt(longest);
}

SceneDrawer::Sphere WithAxes(SceneDrawer::Sphere sphere) {
    if (sphere.radius < 0)
        return sphere;
    sphere.radius = std::max(D3DXVec3Length(&sphere.centre) + sphere.radius, kAxisReach);
    sphere.centre = D3DXVECTOR3(0, 0, 0);
    return sphere;
}

} // namespace

SceneDrawer::Sphere SceneDrawer::MeshSphere(const D3DZCXFILE* mesh) {
    Sphere sphere;
    ID3DXMesh* data = mesh != nullptr ? mesh->GetMesh() : nullptr;
    if (data == nullptr || (data->GetFVF() & D3DFVF_POSITION_MASK) == 0 ||
        (data->GetFVF() & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW || data->GetNumVertices() == 0)
        return sphere;
    void* locked = nullptr;
    if (data->LockVertexBuffer(D3DLOCK_READONLY, &locked) != S_OK || locked == nullptr)
        return sphere;
    const auto* bytes = static_cast<const unsigned char*>(locked);
    const DWORD stride = data->GetNumBytesPerVertex();
    const auto position = [&](DWORD i) { return *reinterpret_cast<const D3DXVECTOR3*>(bytes + i * stride); };
    D3DXVECTOR3 low = position(0), high = position(0);
    for (DWORD i = 1; i < data->GetNumVertices(); ++i) {
        const D3DXVECTOR3 p = position(i);
        low = D3DXVECTOR3(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
        high = D3DXVECTOR3(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
    }
    sphere.centre = (low + high) * 0.5f;
    float radius = 0;
    for (DWORD i = 0; i < data->GetNumVertices(); ++i) {
        const D3DXVECTOR3 offset = position(i) - sphere.centre;
        radius = std::max(radius, D3DXVec3Length(&offset));
    }
    data->UnlockVertexBuffer();
    sphere.radius = std::isfinite(radius) ? radius : -1;
    return sphere;
}

bool SceneDrawer::MayBeSeen(const Sphere& sphere, const D3DXMATRIX& world, const D3DXMATRIX& viewProjection) {
    if (sphere.radius < 0)
        return true;
    D3DXVECTOR3 centre;
    D3DXVec3TransformCoord(&centre, &sphere.centre, &world);
    const float radius = sphere.radius * LargestScale(world) * kMargin;
    if (!std::isfinite(radius) || !std::isfinite(centre.x) || !std::isfinite(centre.y) ||
        !std::isfinite(centre.z))
        return true;
    Plane planes[6];
    ClipPlanes(viewProjection, planes);
    for (const Plane& p : planes) {
        const float length = std::sqrt(p.a * p.a + p.b * p.b + p.c * p.c);
        if (length > 0 && p.a * centre.x + p.b * centre.y + p.c * centre.z + p.d < -radius * length)
            return false;
    }
    return true;
}

void SceneDrawer::DrawChecked(const std::vector<CXData*>& objects, const CheckedListBox& checks,
                              const D3DXMATRIX* viewProjection, bool localAxes,
                              const ModelCopies::Drawer* drawer) {
    const bool culling = s_culling && viewProjection != nullptr;
    // Each object's axes lie in the planes of its neighbours' faces on a level floor, and which of
    // two coplanar pixels stays depends on the order; with axes shown the objects are drawn in turn.
    const bool grouping = s_grouping && drawer != nullptr && !localAxes;
    ModelCopies copies(grouping ? *drawer : ModelCopies::Drawer());
    std::unordered_map<const D3DZCXFILE*, Sphere> spheres;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        if (!checks.GetItemChecked(static_cast<int>(i)))
            continue;
        CXData* object = objects[i];
        if (culling) {
            auto found = spheres.find(object->GetXData());
            if (found == spheres.end()) {
                const Sphere sphere = MeshSphere(object->GetXData());
                found = spheres.emplace(object->GetXData(), localAxes ? WithAxes(sphere) : sphere).first;
            }
            if (!MayBeSeen(found->second, *object->GetWorld(), *viewProjection)) {
                object->PassOver();
                continue;
            }
        }
        if (grouping && copies.Add(object->GetXData(), *object->GetWorld())) {
            object->PassOver(); // in step with the objects drawn one by one in the shadow map mode
            continue;
        }
        copies.Draw();
        object->Draw();
    }
    copies.Draw();
}
