#include "CXLISTFixture.h"

#include "PopWindow.h"

#include <QCheckBox>

namespace {

class RoundTrip : public ObjectList {
protected:
    // "OK" in the coordinate pop-up, taken by the selected object in the next frame.
    void Enter(int editType, float x, float y, float z) {
        m_form->SetSelectEdit(editType);
        PopWindow& pop = *m_form->m_PopForm;
        pop.SetxValue(x);
        pop.SetyValue(y);
        pop.SetzValue(z);
        pop.SetButtonPush(true);
        Frame();
        Frame(); // the entry is taken once; a second frame must not apply it again
    }
};

} // namespace

TEST_F(RoundTrip, AMapSavedAndOpenedAgainBringsBackEveryPathAndMatrix) {
    Open(m_box);
    Enter(0, 1.25f, -2.5f, 3.0f);
    Enter(1, 0.0f, 30.0f, 0.0f);
    Open(m_ball);
    Enter(2, 2.0f, 0.5f, 1.0f);
    Enter(0, -4.0f, 0.125f, 0.0f);
    Open(m_box);
    Enter(1, 10.0f, 20.0f, 30.0f);
    ASSERT_EQ(m_list.GetMaxSize(), 3u);
    std::vector<Fieldsmith::_TAG_MAPDATA> before;
    for (int i = 0; i < 3; ++i)
        before.push_back(m_list.GetMapData(i));
    EXPECT_NEAR(before[0].world._41, 1.25f, 1e-6f) << "the move entry reached the first object";
    EXPECT_NEAR(before[1].world._11, 3.0f, 1e-6f) << "the scale entry 2 scales the second by 1 + 2";

    const std::string saved = m_dir.File("scene.map");
    m_form->saveFileDialog6->setFileName(QString::fromStdString(saved));
    m_form->SetMapSaveFlg(true);
    Frame();
    m_list.Release();
    List().Clear();
    OpenMap(saved);

    ASSERT_EQ(m_list.GetMaxSize(), 3u);
    for (int i = 0; i < 3; ++i) {
        const Fieldsmith::_TAG_MAPDATA after = m_list.GetMapData(i);
        EXPECT_EQ(after.name, before[static_cast<std::size_t>(i)].name);
        // The map keeps six significant digits.
        for (int e = 0; e < 16; ++e) {
            const float expected = before[static_cast<std::size_t>(i)].world.m[e / 4][e % 4];
            EXPECT_NEAR(after.world.m[e / 4][e % 4], expected, std::abs(expected) * 1e-5f + 1e-6f)
                << "object " << i << ", element " << e;
        }
    }
    EXPECT_TRUE(m_messages.Messages().empty());
}
