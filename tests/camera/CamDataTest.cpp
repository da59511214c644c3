#include "CamData.h"
#include "CAPP.h"
#include "CShader.h"
#include "D3DZCDIRECT3D.h"
#include "Fieldsmith.h"
#include "FileDialog.h"
#include "KeyStateTracker.h"
#include "MessageBoxRecorder.h"
#include "MyForm.h"
#include "NumericUpDown.h"
#include "RequireActive.h"
#include "TempDir.h"
#include "ViewBox.h"
#include "VirtualKeys.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class OneObject : public FollowTarget {
public:
    int count = 1;
    D3DXMATRIX world;
    OneObject() { D3DXMatrixTranslation(&world, 4, 5, 6); }
    int GetFollowCount() override { return count; }
    const D3DXMATRIX* GetFollowWorld() override { return count > 0 ? &world : nullptr; }
};

// The real main window, the camera fresh from Init, and a frame = sample input, then the camera.
class Camera : public ::testing::Test {
protected:
    void SetUp() override {
        KeyStateTracker::GetInstance().FocusLost();
        CAPP::GetInstance().InitWindows();
        m_form = CAPP::GetInstance().GetMainForm();
        ASSERT_NE(m_form, nullptr);
        m_form->activateWindow();
        m_active = QTest::qWaitForWindowActive(m_form, 3000);
        Cam().Reset();
        Cam().SetFollowTarget(nullptr);
        Cam().Init();
        KeyStateTracker::GetInstance().SetCursorScreenPos(POINT{300, 200});
        Frame();
    }
    void TearDown() override {
        KeyStateTracker::GetInstance().FocusLost();
        Cam().SetFollowTarget(nullptr);
        CShader::GetInstance().SetCamera(nullptr);
        CAPP::GetInstance().DestroyWindows();
    }

    static CamData& Cam() { return CamData::GetInstance(); }
    static KeyStateTracker& Keys() { return KeyStateTracker::GetInstance(); }
    static void Frame() {
        CAPP::GetInstance().SampleInput();
        Cam().Run();
    }
    static void MoveBy(int dx, int dy) {
        static POINT cursor{300, 200};
        cursor.x += dx;
        cursor.y += dy;
        Keys().SetCursorScreenPos(cursor);
    }
    D3DXVECTOR3 Angles() { return Cam().GetCamData()->vRot; }

    MyForm* m_form = nullptr;
    bool m_active = false;
    MessageBoxRecorder m_messages;
};

void ExpectMatrixNear(const D3DXMATRIX& actual, const D3DXMATRIX& expected, float tolerance = 1e-5f) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(actual.m[r][c], expected.m[r][c], tolerance) << r << "," << c;
}

} // namespace

TEST_F(Camera, StartsAtTheStartPoseAndHandsViewAndProjectionToTheDevice) {
    EXPECT_EQ(Angles(), D3DXVECTOR3(32, -38, 0));
    EXPECT_EQ(m_form->GetMouseWheel(), -10);
    EXPECT_FLOAT_EQ(Cam().GetZoom(), -10.0f);
    D3DXMATRIX view;
    D3DZMakeCameraMatrix(&view, Cam().GetCamData());
    ExpectMatrixNear(D3DZCDIRECT3D::GetInstance().GetView(), view);
    D3DXMATRIX projection;
    const float aspect = static_cast<float>(m_form->pictureBox1->width()) / m_form->pictureBox1->height();
    D3DXMatrixPerspectiveFovLH(&projection, 45.0f * 0.017453292f, aspect, 0.1f, 2000.0f);
    ExpectMatrixNear(D3DZCDIRECT3D::GetInstance().GetProj(), projection);
    const D3DZCVECTOR3 eye = CShader::GetInstance().CameraPosition();
    EXPECT_NEAR(D3DXVec3Length(&eye), 10.0f, 1e-4f) << "the effects see the same camera";

    // Orthographic: twice as wide as high, sized by the distance.
    m_form->checkBox1->setChecked(true);
    Frame();
    D3DXMatrixOrthoLH(&projection, 20.0f, 10.0f, 0.1f, 2000.0f);
    ExpectMatrixNear(D3DZCDIRECT3D::GetInstance().GetProj(), projection);
}

TEST_F(Camera, RightDragOrbitsCtrlRightDragRollsAndAnInactiveWindowIgnoresDrags) {
    REQUIRE_ACTIVE();
    Keys().KeyDown(VK_RBUTTON);
    Frame();
    Frame(); // held from here on
    MoveBy(10, -20);
    Frame();
    EXPECT_NEAR(Angles().y, -38.0f + 3.0f, 1e-4f);
    EXPECT_NEAR(Angles().x, 32.0f - 6.0f, 1e-4f);

    Keys().KeyDown(VK_LCONTROL);
    MoveBy(10, 10);
    Frame();
    EXPECT_NEAR(Angles().y, -35.0f, 1e-4f) << "no orbit with Ctrl";
    EXPECT_NEAR(Angles().z, 6.0f, 1e-4f) << "both movements roll";
    Keys().KeyUp(VK_LCONTROL);

    // Another window active: nothing turns, but the cursor is followed so nothing jumps afterwards.
    QWidget other;
    other.show();
    other.activateWindow();
    if (!QTest::qWaitForWindowActive(&other, 3000))
        GTEST_SKIP() << "the window system did not activate the other window";
    MoveBy(50, 50);
    Frame();
    EXPECT_NEAR(Angles().y, -35.0f, 1e-4f);
    m_form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_form, 3000));
    Frame();
    EXPECT_NEAR(Angles().y, -35.0f, 1e-4f) << "no jump on reactivation";
}

TEST_F(Camera, PresetsWideAnglesAndTheResetKey) {
    REQUIRE_ACTIVE();
    Keys().KeyDown(VK_F2);
    Keys().KeyDown(VK_RBUTTON);
    Frame();
    Frame();
    MoveBy(30, 0);
    Frame();
    EXPECT_EQ(Angles(), D3DXVECTOR3(90, 0, 0)) << "F2 held wins every frame";
    Keys().KeyUp(VK_F2);

    // 90 + 300 x 0.3 = 180, then past 360 goes back to 0 rather than wrapping.
    MoveBy(0, 300);
    Frame();
    EXPECT_NEAR(Angles().x, 180.0f, 1e-3f);
    MoveBy(0, 700);
    Frame();
    EXPECT_EQ(Angles().x, 0.0f);
    Keys().KeyUp(VK_RBUTTON);

    Keys().KeyDown(VK_F4);
    Frame();
    Keys().KeyUp(VK_F4);
    EXPECT_EQ(Angles(), D3DXVECTOR3(32, -38, 0));
    EXPECT_EQ(m_form->GetMouseWheel(), -30);
    Frame();
    EXPECT_FLOAT_EQ(Cam().GetZoom(), -30.0f) << "three times the start distance from the next frame";
}

TEST_F(Camera, FollowModeNeedsAnObjectClearsThePanAndOrbitsTheSelectedObject) {
    REQUIRE_ACTIVE();
    OneObject list;
    list.count = 0;
    Cam().SetFollowTarget(&list);
    Cam().GetCamData()->vPos.x = 2.0f;
    m_form->toolStripMenuItem24->setChecked(true);
    Frame();
    EXPECT_FALSE(Cam().IsFollowing()) << "nothing to follow yet";
    EXPECT_EQ(Cam().GetCamData()->vPos.x, 2.0f);

    list.count = 1;
    Frame();
    EXPECT_TRUE(Cam().IsFollowing());
    EXPECT_EQ(Cam().GetCamData()->vPos.x, 0.0f);
    // The camera stands 10 units from the object it orbits.
    D3DXMATRIX view = D3DZCDIRECT3D::GetInstance().GetView(), placement;
    D3DXMatrixInverse(&placement, nullptr, &view);
    const D3DXVECTOR3 eye(placement._41 - 4, placement._42 - 5, placement._43 - 6);
    EXPECT_NEAR(D3DXVec3Length(&eye), 10.0f, 1e-3f);

    // F4 leaves follow mode and unchecks its entry.
    Keys().KeyDown(VK_F4);
    Frame();
    Keys().KeyUp(VK_F4);
    EXPECT_FALSE(Cam().IsFollowing());
    EXPECT_FALSE(m_form->toolStripMenuItem24->isChecked());
}

TEST_F(Camera, ViewFilesAreWrittenInTheChosenFormUnlessFollowingOrUnwritable) {
    TempDir dir;
    m_form->saveFileDialog3->setFileName(QString::fromStdString(dir.File("camera.view")));
    m_form->saveFileDialog3->setFilterIndex(1);
    m_form->SetCameraSaveFlg(true);
    Frame();
    EXPECT_FALSE(m_form->GetCameraSaveFlg());
    EXPECT_TRUE(TempDir::Read(dir.File("camera.view")).starts_with("Matrix("));

    m_form->saveFileDialog3->setFilterIndex(2);
    m_form->SetCameraSaveFlg(true);
    Frame();
    EXPECT_EQ(TempDir::Read(dir.File("camera.view")).size(), 64u) << "binary: one 64-byte record";
    EXPECT_TRUE(m_messages.Messages().empty());

    m_form->saveFileDialog3->setFileName(QString::fromStdString(dir.File("missing/folder/camera.view")));
    m_form->SetCameraSaveFlg(true);
    Frame();
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(m_messages.Messages()[0].caption, "Information");
    EXPECT_TRUE(m_messages.Messages()[0].text.starts_with("[Error] SaveError"));

    if (!m_active)
        return;
    OneObject list;
    Cam().SetFollowTarget(&list);
    m_form->toolStripMenuItem24->setChecked(true);
    m_form->saveFileDialog3->setFileName(QString::fromStdString(dir.File("following.view")));
    m_form->SetCameraSaveFlg(true);
    Frame();
    ASSERT_EQ(m_messages.Messages().size(), 2u);
    EXPECT_EQ(m_messages.Messages()[1].text,
              "オブジェクトに追従しているときはカメラの情報を保存することができません\n"
              "設定を変えて再度実行してください");
    EXPECT_FALSE(m_form->GetCameraSaveFlg());
    EXPECT_FALSE(std::filesystem::exists(dir.File("following.view")));
}
