#include "CXLISTFixture.h"

#include "BackBufferPixel.h"
#include "CShader.h"
#include "SettingStatics.h"
#include "ViewBox.h"

#include <QListWidget>

namespace {

// Light falling at 45 degrees towards +Z, in the device and in the effects alike.
class DrawnList : public ObjectList {
protected:
    void SetUp() override {
        ObjectList::SetUp();
        SettingStatics::m_fLightDirX = 0.0f;
        SettingStatics::m_fLightDirY = -1.0f;
        SettingStatics::m_fLightDirZ = 1.0f;
        CShader::GetInstance().Init();
        D3DXVECTOR3 direction(0, -1, 1);
        D3DXVec3Normalize(&direction, &direction);
        D3DZCDIRECT3D::GetInstance().SetDirectionalLight(TRUE, 0, &direction, D3DXCOLOR(1, 1, 1, 1),
                                                         D3DXCOLOR(0.3f, 0.3f, 0.3f, 0),
                                                         D3DXCOLOR(0, 0, 0, 0));
        Clear();
    }
    void TearDown() override {
        CShader::GetInstance().Release();
        ObjectList::TearDown();
    }
    static void Clear() {
        D3DZCDIRECT3D::GetInstance().GetDevice()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER,
                                                        kBackground, 1.0f, 0);
    }
    static DWORD Pixel(int x, int y) {
        return BackBufferPixel(D3DZCDIRECT3D::GetInstance().GetDevice(), x, y) & 0xFFFFFF;
    }
    DWORD At(const D3DXVECTOR3& point) const {
        const D3DXVECTOR3 at = OnScreen(point);
        return Pixel(static_cast<int>(at.x), static_cast<int>(at.y));
    }
    static int Brightness(DWORD rgb) { return ((rgb >> 16) & 0xFF) + ((rgb >> 8) & 0xFF) + (rgb & 0xFF); }
    // Whether the read-out's white text is in the view's top left corner.
    static bool ReadOutShown() {
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 80; ++x)
                if (Pixel(x, y) == 0xFFFFFF)
                    return true;
        return false;
    }

    static constexpr DWORD kBackground = 0x203040;
};

} // namespace

TEST_F(DrawnList, HiddenObjectsCastNoShadowButStillShowTheirReadOut) {
    // The light's box is the view's size in units, so the scene is built on that scale.
    ASSERT_GE(m_form->pictureBox1->width(), 100);
    ASSERT_GE(m_form->pictureBox1->height(), 100);
    Open(m_dir.Write("floor.x", TestMeshes::Floor(60, 0, {0.8f, 0.8f, 0.8f})));
    Open(m_dir.Write("block.x", TestMeshes::Box(-15, 5, -15, 15, 10, 15, {0.9f, 0.3f, 0.3f})));
    Frame();
    m_form->listBox1->setCurrentRow(4);
    LookFrom(D3DXVECTOR3(0, 60, 60));
    // Behind the block as the light sees it, and well away from it.
    const D3DXVECTOR3 shaded(0, 0, 20), open(-40, 0, 20);

    for (bool shown : {true, false, true}) {
        List().SetItemChecked(1, shown);
        Clear();
        m_list.Draw();
        const int difference = Brightness(At(open)) - Brightness(At(shaded));
        if (shown)
            EXPECT_GT(difference, 90) << "the block's shadow";
        else
            EXPECT_LT(std::abs(difference), 30) << "a hidden block casts nothing";
        EXPECT_TRUE(ReadOutShown()) << "the selected block, hidden or not";
    }

    Select(-1);
    Clear();
    m_list.Draw();
    EXPECT_FALSE(ReadOutShown());
}
