// Leaving out the objects the camera or the light cannot see, and drawing opaque models as copies,
// changes no pixel: a scene of a few hundred objects of several models, some hidden, one selected,
// some mirrored, some half transparent (an X-file material, and a blended glTF pane that the fixed
// pipeline draws blended too), some across the edges of the view and of the light's box, drawn in
// every render mode and with the local axes, culled and grouped, and one object after another.
#include "EditorFixture.h"
#include "FrameChangeTracker.h"
#include "ModelTestFiles.h"

#include "SceneDrawer.h"
#include "ViewBox.h"

#include <QCheckBox>
#include <QListWidget>

#include <fstream>

namespace {

class CulledDraw : public EditorTest {
protected:
    // Three models, a half-transparent box and a pane on a grid much wider than the start camera
    // sees, with a few far out across the edges of the light's box (as wide as the view has pixels).
    std::string WriteScene() {
        std::string glass = TestMeshes::Box(-0.6f, 0, -0.6f, 0.6f, 1.5f, 0.6f, {0.2f, 0.9f, 0.3f});
        glass.replace(glass.find("1.0;;"), 5, "0.5;;");
        QuadGltf pane;
        pane.node = R"(,"scale":[2,2,2])";
        pane.material =
            R"(,"pbrMetallicRoughness":{"baseColorFactor":[0.9,0.2,0.1,0.4]},"alphaMode":"BLEND")";
        const std::vector<std::string> models{"Data/Sample/crate.x", "Data/Sample/pillar.x",
                                              "Data/Sample/tree.x", m_dir.Write("glass.x", glass),
                                              m_dir.Write("pane.gltf", pane.Text())};
        std::vector<Fieldsmith::_TAG_MAPDATA> records;
        for (int i = 0; i < 324; ++i) {
            D3DXMATRIX world;
            D3DXMatrixScaling(&world, i % 7 == 0 ? -1.0f : 1.0f, 1.0f, i % 11 == 0 ? -1.3f : 1.0f);
            world._41 = static_cast<float>(i % 18 - 9) * 1.7f;
            world._43 = static_cast<float>(i / 18 - 9) * 1.7f;
            records.emplace_back(models[static_cast<std::size_t>(i) % models.size()], world);
        }
        const float edge = static_cast<float>(m_form->pictureBox1->width()) / 2;
        for (const float x : {edge - 1, edge + 1, -edge, 0.0f}) {
            D3DXMATRIX world;
            records.emplace_back(models[0], *D3DXMatrixTranslation(&world, x, 0, x == 0 ? edge : 0));
        }
        return m_dir.Write("scene.map", Fieldsmith::MapFileText(records));
    }
    std::vector<DWORD> Frame(bool fast) {
        SceneDrawer::SetCulling(fast);
        SceneDrawer::SetGrouping(fast);
        for (int i = 0; i < 2; ++i) { // the shadow map mode draws with the previous frame's toggles
            FrameChangeTracker::GetInstance().RequestRedraw(); // switching the drawer changes nothing shown
            Pass();
        }
        SceneDrawer::SetCulling(true);
        SceneDrawer::SetGrouping(true);
        return BackBufferImage(Device());
    }
};

TEST_F(CulledDraw, EveryRenderModeShowsTheSamePixelsCulledAndGroupedAndDrawnOneByOne) {
    START_WITH_DEVICE();
    m_form->openFileDialog3->setFileName(QString::fromStdString(WriteScene()));
    m_form->SetMapOpenFlg(true);
    Pass();
    ASSERT_EQ(CAPP::GetInstance().GetXList().GetMaxSize(), 328u);
    for (int i = 0; i < 328; i += 13)
        m_form->checkedListBox1->SetItemChecked(i, false);
    m_form->checkedListBox1->SetSelectedIndex(40);
    for (const int mode : {0, 1, 2, 3, 4, 5}) {
        m_form->listBox1->setCurrentRow(mode == 5 ? 0 : mode);
        m_form->checkBox2->setChecked(mode == 5);
        const std::vector<DWORD> culled = Frame(true);
        const std::vector<DWORD> whole = Frame(false);
        ASSERT_FALSE(whole.empty());
        std::size_t differing = 0;
        for (std::size_t p = 0; p < whole.size(); ++p)
            differing += culled[p] != whole[p];
        EXPECT_EQ(differing, 0u) << "render mode " << mode << (mode == 5 ? " (local axes)" : "");
    }
}

} // namespace
