#include "CD3DMesh.h"
#include "HeadlessDevice.h"

namespace {

// A unit quad in the z = 0 plane, two faces.
class RayAgainstMesh : public HeadlessDevice {
protected:
    void SetUp() override {
        HeadlessDevice::SetUp();
        const char quad[] =
            "xof 0302txt 0032\nMesh { 4; -1;-1;0;, -1;1;0;, 1;1;0;, 1;-1;0;; 2; 3;0,1,2;, 3;0,2,3;; }\n";
        ASSERT_EQ(D3DXLoadMeshFromXInMemory(quad, sizeof quad - 1, D3DXMESH_MANAGED, m_device, nullptr,
                                            nullptr, nullptr, nullptr, &m_mesh),
                  S_OK);
    }
    void TearDown() override {
        if (m_mesh)
            m_mesh->Release();
        HeadlessDevice::TearDown();
    }
    ID3DXMesh* m_mesh = nullptr;
};

} // namespace

TEST_F(RayAgainstMesh, TheRayIsCarriedIntoTheMeshSpace) {
    D3DZCMATRIX world;
    world.SetScaling(2, 2, 2);
    world._43 = 10; // the quad stands at z = 10, twice its size
    const D3DZCVECTOR3 from(1.5f, 1.5f, 0), along(0, 0, 2);
    int hit = 0;
    float distance = 0;
    DWORD face = 99;
    EXPECT_TRUE(CD3D_Ray_MeshEX(m_mesh, &world, &from, &along, &hit, &distance, &face));
    EXPECT_EQ(hit, 1);
    EXPECT_NEAR(distance, 5.0f, 1e-5f) << "in units of the given direction";
    EXPECT_EQ(face, 0u);

    const D3DXVECTOR3 outside(3, 3, 0);
    EXPECT_FALSE(CD3D_Ray_Mesh(m_mesh, &world, &outside, &along, &hit, &distance));
    EXPECT_EQ(hit, 0);
    EXPECT_TRUE(CD3D_Ray_Mesh(m_mesh, &world, &from, &along, &distance));
    EXPECT_FALSE(CD3D_Ray_Mesh(nullptr, &world, &from, &along, &distance));

    D3DXMATRIX flat;
    D3DXMatrixScaling(&flat, 0, 1, 1);
    EXPECT_FALSE(CD3D_Ray_Mesh(m_mesh, &flat, &from, &along, &distance)) << "a world that cannot be inverted";
}
