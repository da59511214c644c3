#include "BackBufferPixel.h"
#include "CXLIST.h"
#include "CheckedListBox.h"
#include "SceneFixture.h"
#include "ViewBox.h"

#include <QApplication>

namespace {

// The manipulator on a device the size of the view, one object in the list, the camera at the start
// distance looking at the origin from the front.
class Manipulator : public SceneFixture {
protected:
    void SetUp() override {
        SceneFixture::SetUp();
        m_width = m_form->pictureBox1->width();
        m_height = m_form->pictureBox1->height();
        D3DZCDIRECT3D::GetInstance().Release();
        ASSERT_NE(D3DZCDIRECT3D::GetInstance().Init(nullptr, 0, m_width, m_height), nullptr);
        LookAt(D3DXVECTOR3(0, 0, -10), D3DXVECTOR3(0, 0, 0));
        Check().Release();
        Check().Init();
        ASSERT_NE(Check().GetPickSurface(), nullptr);
    }
    void TearDown() override {
        Check().SetDeviceRebuild(nullptr);
        List().Release();
        Check().Release();
        SceneFixture::TearDown();
    }

    static CWindowCheck& Check() { return CWindowCheck::GetInstance(); }
    static CXLIST& List() { return CAPP::GetInstance().GetXList(); }

    void AddObject(const D3DXVECTOR3& at) {
        Fieldsmith::_TAG_MAPDATA record("none.x", Moved(at.x, at.y, at.z));
        List().DeviceLost_Init(&record);
        m_form->checkedListBox1->Add("OBJ1");
        m_form->checkedListBox1->SetSelectedIndex(0);
        List().Update();
    }
    void LookAt(const D3DXVECTOR3& eye, const D3DXVECTOR3& at) {
        const D3DXVECTOR3 up(0, 1, 0);
        D3DXMatrixLookAtLH(&m_view, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&m_proj, D3DX_PI / 4, static_cast<float>(m_width) / m_height, 0.1f,
                                   100.0f);
        D3DZCDIRECT3D::GetInstance().SetView(&m_view);
        D3DZCDIRECT3D::GetInstance().SetProj(&m_proj);
    }
    // A frame of the manipulator with the cursor over a world point.
    void FrameOver(const D3DXVECTOR3& point) {
        const D3DVIEWPORT9 viewport{0, 0, static_cast<DWORD>(m_width), static_cast<DWORD>(m_height), 0, 1};
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        D3DXVECTOR3 pixel;
        D3DXVec3Project(&pixel, &point, &viewport, &m_proj, &m_view, &identity);
        CursorAt(static_cast<int>(pixel.x), static_cast<int>(pixel.y));
        m_pixel = pixel;
        Frame();
    }
    void Frame() {
        CAPP::GetInstance().SampleInput();
        Check().Begin();
        Check().Run();
        Check().End();
    }

    int m_width = 0, m_height = 0;
    D3DXVECTOR3 m_pixel;
};

} // namespace

TEST_F(Manipulator, PicksTheHandleUnderTheCursorAndNothingElsewhere) {
    FrameOver(D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(Check().GetNowColor(), CWindowCheck::kNoHandle) << "no object, no handles";

    AddObject(D3DXVECTOR3(0, 0, 0));
    FrameOver(D3DXVECTOR3(3.3f, 0, 0));
    EXPECT_EQ(Check().GetNowColor(), CWindowCheck::kAxisX);
    FrameOver(D3DXVECTOR3(0, 3.3f, 0));
    EXPECT_EQ(Check().GetNowColor(), CWindowCheck::kAxisY);
    FrameOver(D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(Check().GetNowColor(), CWindowCheck::kAxisZ)
        << "seen from the front, the Z cone covers the centre";
    LookAt(D3DXVECTOR3(6, 5, -10), D3DXVECTOR3(0, 0, 0));
    FrameOver(D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(Check().GetNowColor(), CWindowCheck::kCentre);
    FrameOver(D3DXVECTOR3(-2, -2, 0));
    EXPECT_EQ(Check().GetNowColor(), CWindowCheck::kNoHandle);

    // The picked handle is shown in cyan from the next frame on.
    FrameOver(D3DXVECTOR3(3.3f, 0, 0));
    FrameOver(D3DXVECTOR3(3.3f, 0, 0));
    const DWORD shown = BackBufferPixel(D3DZCDIRECT3D::GetInstance().GetDevice(), static_cast<int>(m_pixel.x),
                                        static_cast<int>(m_pixel.y));
    EXPECT_EQ(shown & 0xFFFFFF, 0x00FFFFu);

    // While the button is down the pick stays on the grabbed handle.
    Keys().KeyDown(VK_LBUTTON);
    FrameOver(D3DXVECTOR3(-2, -2, 0));
    FrameOver(D3DXVECTOR3(0, 3.3f, 0));
    EXPECT_EQ(Check().GetNowColor(), CWindowCheck::kAxisX);
    Keys().KeyUp(VK_LBUTTON);
}

TEST_F(Manipulator, LaterHandlesWinWhereTheyOverlapAndRotateModeHasNoCentre) {
    AddObject(D3DXVECTOR3(0, 0, 0));
    // From here the tip region of the X cone lies in front of the Z cone's.
    LookAt(D3DXVECTOR3(10.2f, 0.01f, -6.8f), D3DXVECTOR3(3.4f, 0, 0));
    FrameOver(D3DXVECTOR3(3.4f, 0, 0));
    EXPECT_EQ(Check().GetNowColor(), CWindowCheck::kAxisZ) << "Z is drawn last, over X";

    LookAt(D3DXVECTOR3(0, 0, -10), D3DXVECTOR3(0, 0, 0));
    m_form->SetSelectEdit(1);
    LookAt(D3DXVECTOR3(6, 5, -10), D3DXVECTOR3(0, 0, 0));
    FrameOver(D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(Check().GetNowColor(), CWindowCheck::kNoHandle) << "no centre box to pick in rotate mode";
    LookAt(D3DXVECTOR3(0, 0, -10), D3DXVECTOR3(0, 0, 0));
    FrameOver(D3DXVECTOR3(2.4f * 0.7071f, 2.4f * 0.7071f, 0));
    EXPECT_EQ(Check().GetNowColor(), CWindowCheck::kAxisZ) << "the ring about Z, seen face on";
}

TEST_F(Manipulator, HandlesGrowWithTheCameraDistance) {
    AddObject(D3DXVECTOR3(1, 2, 3));
    FrameOver(D3DXVECTOR3(0, 0, 0));
    EXPECT_NEAR(Check().GetMarixList()[1]._41, 1 + 3.0f, 1e-5f);
    m_form->SetMouseWheel(-20);
    CamData::GetInstance().MouseUpdate();
    ASSERT_FLOAT_EQ(CamData::GetInstance().GetZoom(), -20.0f);
    FrameOver(D3DXVECTOR3(0, 0, 0));
    const D3DZCMATRIX* handles = Check().GetMarixList();
    EXPECT_NEAR(handles[1]._41, 1 + 6.0f, 1e-4f) << "the X handle 6 units out";
    EXPECT_NEAR(handles[3]._43, 3 + 6.0f, 1e-4f);
    EXPECT_NEAR(handles[0]._11, 2.0f, 1e-5f) << "twice the size";
}

TEST_F(Manipulator, TheCursorPastTheViewReadsTheLastColumnAndRow) {
    Check().Begin();
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    IDirect3DSurface9* back = nullptr;
    device->GetRenderTarget(0, &back);
    device->SetRenderTarget(0, Check().GetPickSurface());
    const D3DRECT corner{m_width - 1, m_height - 1, m_width, m_height};
    device->Clear(1, &corner, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    device->SetRenderTarget(0, back);
    back->Release();
    CursorAt(m_width + 40, m_height + 40);
    CAPP::GetInstance().SampleInput();
    Check().Check();
    EXPECT_EQ(Check().GetNowColor(), CWindowCheck::kAxisZ);
    Check().End();
}

TEST_F(Manipulator, AResizedViewRebuildsTheDeviceAndEveryObjectInPlace) {
    AddObject(D3DXVECTOR3(1, 2, 3));
    Fieldsmith::_TAG_MAPDATA second("other.x", Moved(-4, 0, 0));
    List().DeviceLost_Init(&second);
    m_form->checkedListBox1->Add("OBJ2");
    int rebuilds = 0;
    Check().SetDeviceRebuild([&] {
        ++rebuilds;
        List().Release();
        D3DZCDIRECT3D::GetInstance().Release();
        D3DZCDIRECT3D::GetInstance().Init(nullptr, 0, m_form->pictureBox1->width(),
                                          m_form->pictureBox1->height());
        Check().Init();
    });
    Frame();
    EXPECT_EQ(rebuilds, 0);
    m_form->resize(m_form->width() + 40, m_form->height() + 30);
    QApplication::processEvents();
    ASSERT_NE(m_form->pictureBox1->width(), m_width);
    Frame();
    EXPECT_EQ(rebuilds, 1);
    ASSERT_EQ(List().GetMaxSize(), 2u);
    EXPECT_EQ(List().GetFileName(1), "other.x");
    ExpectMatrixNear(*List().GetWorld(0), Moved(1, 2, 3));
    ExpectMatrixNear(*List().GetWorld(1), Moved(-4, 0, 0));
    EXPECT_EQ(m_form->checkedListBox1->Count(), 2);
    D3DSURFACE_DESC desc;
    Check().GetPickSurface()->GetDesc(&desc);
    EXPECT_EQ(static_cast<int>(desc.Width), m_form->pictureBox1->width());
}
