// Whole frames on the view's own device: what they draw, in which order, in what light, and what a
// new device keeps.
#include "EditorFixture.h"

#include "BackBufferPixel.h"
#include "CShader.h"
#include "CWindowCheck.h"
#include "D3DZDMXFILE.h"
#include "Setting.h"
#include "ViewBox.h"

#include <QCheckBox>
#include <QTest>

namespace {

class EditorFrame : public EditorTest {
protected:
    // A box at the origin, drawn alone: not selected, so no manipulator covers it.
    void PlaceBoxUnselected() {
        Open(m_box);
        ASSERT_EQ(CAPP::GetInstance().GetXList().GetMaxSize(), 1u);
        m_form->checkedListBox1->SetSelectedIndex(-1);
        Pass();
    }
    static int Red(DWORD rgb) { return static_cast<int>((rgb >> 16) & 0xFF); }
    // Pixels of the back buffer that are mostly red: the box.
    static int RedPixels() {
        IDirect3DSurface9* back = nullptr;
        if (Device()->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back) != S_OK)
            return 0;
        D3DSURFACE_DESC desc;
        back->GetDesc(&desc);
        D3DLOCKED_RECT locked;
        int count = 0;
        if (back->LockRect(&locked, nullptr, D3DLOCK_READONLY) == S_OK) {
            for (UINT y = 0; y < desc.Height; ++y) {
                const auto* row =
                    reinterpret_cast<const DWORD*>(static_cast<const char*>(locked.pBits) + y * locked.Pitch);
                for (UINT x = 0; x < desc.Width; ++x)
                    count += Red(row[x]) > 60 && ((row[x] >> 8) & 0xFF) < 30 && (row[x] & 0xFF) < 30;
            }
            back->UnlockRect();
        }
        back->Release();
        return count;
    }
};

// From start-up through a resize, which rebuilds the device, to the release at exit.
TEST_F(EditorFrame, DeviceIsMadeForTheViewRebuiltAtItsNewSizeAndReleasedWhole) {
    START_WITH_DEVICE();
    EXPECT_TRUE(m_messages.Messages().empty()) << Texts().front();
    const auto sizedForView = [&] {
        const D3DPRESENT_PARAMETERS& parameters = *D3DZCDIRECT3D::GetInstance().GetD3DParameter();
        return static_cast<int>(parameters.BackBufferWidth) == m_form->pictureBox1->width() &&
               static_cast<int>(parameters.BackBufferHeight) == m_form->pictureBox1->height();
    };
    EXPECT_TRUE(sizedForView());
    DWORD cull = 0;
    Device()->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(cull, static_cast<DWORD>(D3DCULL_CCW));
    Pass();
    EXPECT_EQ(PixelAt(POINT{1, 1}), CWindowCheck::kBackground & 0xFFFFFF);

    PlaceBoxUnselected();
    m_form->resize(m_form->width() - 120, m_form->height() - 80);
    QTest::qWait(50);
    Pass();
    EXPECT_TRUE(sizedForView());
    ASSERT_EQ(CAPP::GetInstance().GetXList().GetMaxSize(), 1u);
    Pass();
    EXPECT_GT(RedPixels(), 0) << "the object comes back with its mesh";

    CAPP& app = CAPP::GetInstance();
    app.Release();
    EXPECT_EQ(Device(), nullptr);
    EXPECT_EQ(app.GetXList().GetMaxSize(), 0u);
    EXPECT_EQ(CShader::GetInstance().GetBase().GetEffect(), nullptr);
    EXPECT_EQ(CShader::GetInstance().GetShadowMap().GetShadowTex()->GetTex(), nullptr)
        << "nothing of the old device may outlive it";
    EXPECT_EQ(CWindowCheck::GetInstance().GetPickSurface(), nullptr);
    app.Release();
}

TEST_F(EditorFrame, LightIsTakenFromTheSettingsEveryFrame) {
    START_WITH_DEVICE();
    PlaceBoxUnselected();
    const POINT centre = OnScreen(D3DXVECTOR3(0, 0, 0));
    const int lit = Red(PixelAt(centre));
    EXPECT_GT(lit, 100) << "the box in the start-up light";
    D3DLIGHT9 light = D3DZCDIRECT3D::GetInstance().GetLight(0);
    EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_NEAR(light.Direction.x, 0.7071068f, 1e-6f);
    EXPECT_NEAR(light.Direction.y, -0.7071068f, 1e-6f);
    EXPECT_EQ(light.Ambient.r, 0.5f);

    // A slider moved between frames acts on the very next one.
    Setting::m_fLightDifR = Setting::m_fLightAmbR = Setting::m_fLightSpeR = 0.0f;
    Setting::m_fLightDirX = 0.0f;
    Setting::m_fLightDirY = 0.0f;
    Setting::m_fLightDirZ = 2.0f;
    Pass();
    EXPECT_LT(Red(PixelAt(centre)), 10) << "no red in the light, no red on the box";
    light = D3DZCDIRECT3D::GetInstance().GetLight(0);
    EXPECT_EQ(light.Direction.z, 1.0f);

    // A direction of nothing at all keeps the last one instead of lighting from nowhere.
    Setting::m_fLightDirZ = 0.0f;
    Pass();
    light = D3DZCDIRECT3D::GetInstance().GetLight(0);
    EXPECT_EQ(light.Direction.z, 1.0f);

    // The light toggle switches both lighting and light 0.
    m_form->checkBox3->setChecked(false);
    ASSERT_FALSE(m_form->GetLightEnable());
    Pass();
    DWORD lighting = TRUE;
    Device()->GetRenderState(D3DRS_LIGHTING, &lighting);
    BOOL enabled = TRUE;
    Device()->GetLightEnable(0, &enabled);
    EXPECT_EQ(lighting, static_cast<DWORD>(FALSE));
    EXPECT_FALSE(enabled);
}

TEST_F(EditorFrame, CameraMovesBeforeTheObjectsAreDrawnInTheSameFrame) {
    START_WITH_DEVICE();
    PlaceBoxUnselected();
    const int near = RedPixels();
    ASSERT_GT(near, 0);
    // A wheel turn read by this frame's camera shows in this frame's picture, not one frame late.
    m_form->SetMouseWheel(-40);
    Pass();
    const int far = RedPixels();
    EXPECT_GT(far, 0);
    EXPECT_LT(far * 8, near) << "four times the distance is a sixteenth of the area";
}

TEST_F(EditorFrame, ManipulatorIsDrawnOverTheSelectedObject) {
    START_WITH_DEVICE();
    KeyStateTracker::GetInstance().SetCursorScreenPos(POINT{-1000, -1000});
    Open(m_box);
    Pass();
    // The centre box of the manipulator, yellow, where the red box's centre is.
    EXPECT_EQ(PixelAt(OnScreen(D3DXVECTOR3(0, 0, 0))), 0xFFFF00u);
}

} // namespace
