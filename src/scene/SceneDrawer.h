// Draws the checked objects of the scene, leaving out those that cannot put a pixel on the target:
// an object whose bounding sphere lies wholly outside the volume the camera (or, for the shadow map,
// the light's box) sees would only be clipped away.
// Grouped, the objects of opaque models are drawn as copies of their models (ModelCopies), through
// the fixed-function pipeline or the render mode's effect; objects that blend stay where the list has
// them.
// Switched off, every checked object is drawn, one after the other, as the editor always did; the
// benchmarks and the picture tests compare the two.
#pragma once

#include "ModelCopies.h"
#include "d3dx9math.h"

#include <vector>

class CXData;
class CheckedListBox;
class D3DZCXFILE;

class SceneDrawer {
public:
    // A sphere in an object's own space.
    struct Sphere {
        D3DXVECTOR3 centre{0, 0, 0};
        float radius = -1; // negative: unknown, never left out
    };

    static void SetCulling(bool on) { s_culling = on; }
    static bool GetCulling() { return s_culling; }
    static void SetGrouping(bool on) { s_grouping = on; }
    static bool GetGrouping() { return s_grouping; }

    // The checked objects that meet the volume seen through viewProjection (row vectors, D3D's clip
    // space); every checked one with culling off or without a volume. With copies, opaque objects
    // are drawn as copies through it (an empty drawer: the fixed-function pipeline), except while
    // their axes are shown.
    static void DrawChecked(const std::vector<CXData*>& objects, const CheckedListBox& checks,
                            const D3DXMATRIX* viewProjection, bool localAxes,
                            const ModelCopies::Drawer* copies = nullptr);

    // The sphere around a mesh's vertices; unknown for a mesh without positions.
    static Sphere MeshSphere(const D3DZCXFILE* mesh);
    // False only when the sphere, moved by world, lies wholly outside the volume.
    static bool MayBeSeen(const Sphere& sphere, const D3DXMATRIX& world, const D3DXMATRIX& viewProjection);

private:
    static bool s_culling;
    static bool s_grouping;
};
