#include "CUI.h"
#include "BackBufferPixel.h"
#include "CAPP.h"
#include "D3DZCDIRECT3D.h"
#include "MyForm.h"
#include "Setting.h"

#include <QApplication>
#include <QCheckBox>

#include <vector>

#include <gtest/gtest.h>

namespace {

// The overlay seen straight down the Y axis through an orthographic box 24 units wide on 240 pixels:
// x runs to the right and z up the picture, 10 pixels to the unit. The box is shifted by half a pixel
// so that lines on whole multiples of the interval fall on pixel centres.
class Overlay : public ::testing::Test {
protected:
    static constexpr int kSize = 240;
    static constexpr float kUnits = 24.0f;
    static constexpr float kShift = 0.05f;

    void SetUp() override {
        CAPP::GetInstance().InitWindows();
        ASSERT_NE(D3DZCDIRECT3D::GetInstance().Init(nullptr, 0, kSize, kSize), nullptr);
        const D3DXVECTOR3 eye(kShift, 50, kShift), at(kShift, 0, kShift), up(0, 0, 1);
        D3DXMATRIX view, projection;
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        D3DXMatrixOrthoLH(&projection, kUnits, kUnits, 1, 100);
        D3DZCDIRECT3D::GetInstance().SetView(&view);
        D3DZCDIRECT3D::GetInstance().SetProj(&projection);
    }
    void TearDown() override {
        D3DZCDIRECT3D::GetInstance().Release();
        Setting::SetOKClick(false);
        Setting::m_fGridValue = 0.5f;
        CAPP::GetInstance().DestroyWindows();
    }

    void DrawFrame() {
        IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        m_ui.Draw();
        device->EndScene();
    }
    // The pixel at world (x, 0, z).
    DWORD At(float x, float z) {
        const int px = static_cast<int>(((x - kShift) / kUnits + 0.5f) * kSize);
        const int py = static_cast<int>((0.5f - (z - kShift) / kUnits) * kSize);
        return BackBufferPixel(D3DZCDIRECT3D::GetInstance().GetDevice(), std::clamp(px, 0, kSize - 1),
                               std::clamp(py, 0, kSize - 1)) &
               0xFFFFFF;
    }
    static bool IsGrey(DWORD rgb) {
        const DWORD r = rgb >> 16, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
        return r > 0x20 && r == g && g == b;
    }

    CUI m_ui;
};

} // namespace

TEST_F(Overlay, StartsWithTheGroundGridOverhangingByOneIntervalAndThePositiveAxes) {
    DrawFrame();
    EXPECT_TRUE(IsGrey(At(1.0f, 0.26f))) << "a line along z at x = 1";
    EXPECT_TRUE(IsGrey(At(0.26f, 1.5f))) << "a line along x at z = 1.5";
    EXPECT_EQ(At(0.26f, 0.26f), 0u) << "between lines";
    EXPECT_TRUE(IsGrey(At(0.26f, 10.0f))) << "the outermost line, 20 intervals out";
    EXPECT_EQ(At(0.26f, 10.5f), 0u) << "and none beyond it";
    EXPECT_TRUE(IsGrey(At(-1.0f, 10.26f))) << "lines run a whole interval past the last cross line";
    EXPECT_EQ(At(-1.0f, 10.76f), 0u);
    EXPECT_EQ(At(10.26f, 11.0f), 0u);
    EXPECT_EQ(At(5.26f, 0.0f), 0xFF0000u) << "the X axis over the grid";
    EXPECT_EQ(At(0.0f, 5.26f), 0x0000FFu) << "the Z axis";
    EXPECT_TRUE(IsGrey(At(-5.26f, 0.0f))) << "no axis on the negative side";
    EXPECT_FALSE(D3DZCDIRECT3D::GetInstance().GetDevice() == nullptr);
    DWORD lighting = 0;
    D3DZCDIRECT3D::GetInstance().GetDevice()->GetRenderState(D3DRS_LIGHTING, &lighting);
    EXPECT_EQ(lighting, TRUE) << "the light toggle is on";
}

TEST_F(Overlay, TakesOverAnAppliedGridOnceAndClosesTheSettingsWindow) {
    MyForm* form = CAPP::GetInstance().GetMainForm();
    form->ShowSettings();
    Setting* setting = form->m_SettingForm;
    ASSERT_NE(setting, nullptr);
    setting->checkBox1->setChecked(true);
    setting->checkBox2->setChecked(false);
    setting->checkBox3->setChecked(true);
    DrawFrame();
    EXPECT_FALSE(m_ui.GetGridYZ()) << "nothing changes before the apply button";

    Setting::SetGridValue(2.0f);
    Setting::SetOKClick(true);
    DrawFrame();
    EXPECT_FLOAT_EQ(m_ui.GetGridInterval(), 2.0f);
    EXPECT_TRUE(m_ui.GetGridYZ());
    EXPECT_FALSE(m_ui.GetGridZX());
    EXPECT_TRUE(m_ui.GetGridXY());
    EXPECT_FALSE(Setting::GetOKClick());
    EXPECT_FALSE(setting->isVisible());
    // From above, the two upright grids are seen edge on: along the x axis and along the z axis.
    EXPECT_EQ(At(1.0f, 0.5f), 0u) << "no ground grid any more";
    EXPECT_TRUE(IsGrey(At(-6.26f, 0.0f))) << "the XY grid seen edge on";
    EXPECT_TRUE(IsGrey(At(0.0f, -6.26f))) << "the YZ grid seen edge on";

    // All three planes at the interval applied.
    form->ShowSettings(); // a fresh window
    setting = form->m_SettingForm;
    setting->checkBox1->setChecked(true);
    setting->checkBox2->setChecked(true);
    setting->checkBox3->setChecked(true);
    Setting::SetGridValue(2.0f);
    Setting::SetOKClick(true);
    DrawFrame();
    EXPECT_TRUE(m_ui.GetGridYZ() && m_ui.GetGridZX() && m_ui.GetGridXY());
    EXPECT_TRUE(IsGrey(At(2.0f, 0.5f))) << "ground lines every 2 units";
    EXPECT_EQ(At(1.0f, 0.5f), 0u) << "and none between them";
    EXPECT_TRUE(IsGrey(At(-6.26f, 0.0f)));
    EXPECT_TRUE(IsGrey(At(0.0f, -6.26f)));

    form->checkBox3->setChecked(false);
    DrawFrame();
    DWORD lighting = 1;
    D3DZCDIRECT3D::GetInstance().GetDevice()->GetRenderState(D3DRS_LIGHTING, &lighting);
    EXPECT_EQ(lighting, FALSE) << "lighting follows the light toggle after the overlay";
}

// Seen at a slant, a red floor drawn after the grid: in the ground's plane it covers the grid
// everywhere, never speckled by lines winning some pixels; a floor below the ground shows the grid.
TEST_F(Overlay, AFloorInTheGroundsPlaneCoversTheGridWithoutSpeckles) {
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    const D3DXVECTOR3 eye(0.3f, 5, -9), at(0, 0, 0), up(0, 1, 0);
    D3DXMATRIX view, projection;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4, 1.0f, 0.1f, 2000.0f);
    D3DZCDIRECT3D::GetInstance().SetView(&view);
    D3DZCDIRECT3D::GetInstance().SetProj(&projection);
    // The picture of a red floor, with or without the overlay drawn first.
    const auto picture = [&](float floorHeight, bool grid) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        if (grid)
            m_ui.Draw();
        const DWORD colour = 0xFFFF0000;
        const _D3DVERTEXCOR_ floor[4] = {{-4, floorHeight, -4, colour},
                                         {-4, floorHeight, 4, colour},
                                         {4, floorHeight, -4, colour},
                                         {4, floorHeight, 4, colour}};
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        device->SetTransform(D3DTS_WORLD, &identity);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, floor, sizeof floor[0]);
        device->EndScene();
        std::vector<DWORD> colours(kSize * kSize);
        IDirect3DSurface9* back = nullptr;
        device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
        D3DLOCKED_RECT locked;
        if (back != nullptr && back->LockRect(&locked, nullptr, D3DLOCK_READONLY) == S_OK) {
            for (int y = 0; y < kSize; ++y)
                for (int x = 0; x < kSize; ++x)
                    colours[y * kSize + x] =
                        *reinterpret_cast<const DWORD*>(static_cast<const char*>(locked.pBits) +
                                                        y * locked.Pitch + x * 4) &
                        0xFFFFFF;
            back->UnlockRect();
        }
        if (back != nullptr)
            back->Release();
        return colours;
    };
    // Pixels of the floor where a grid line won; the Y axis stands above the floor and rightly covers it.
    const auto speckles = [&](float floorHeight) {
        const std::vector<DWORD> alone = picture(floorHeight, false), withGrid = picture(floorHeight, true);
        int count = 0;
        for (std::size_t i = 0; i < alone.size(); ++i)
            count += alone[i] == 0xFF0000u && withGrid[i] != 0xFF0000u && withGrid[i] != 0x00FF00u;
        return count;
    };
    EXPECT_EQ(speckles(0.0f), 0);
    EXPECT_GT(speckles(-0.3f), 100) << "the grid over a sunken floor";
    D3DXMATRIX restored;
    device->GetTransform(D3DTS_PROJECTION, &restored);
    EXPECT_EQ(restored, projection) << "the objects are drawn with the camera's own projection";
}
