#include "SceneFixture.h"

#include "CShader.h"
#include "D3DZCSHADER_SHADOWMAP.h"
#include "FileDialog.h"
#include "SettingStatics.h"
#include "TempDir.h"
#include "TestMeshes.h"

#include <QListWidget>

#include <algorithm>
#include <cmath>

namespace {

class PlacedObject : public SceneFixture {
protected:
    // What "OK" in the coordinate pop-up leaves for the next frame.
    void Enter(float x, float y, float z) {
        Pop().SetxValue(x);
        Pop().SetyValue(y);
        Pop().SetzValue(z);
        Pop().SetButtonPush(true);
    }
};

class DrawnObject : public PlacedObject {
protected:
    void SetUp() override {
        PlacedObject::SetUp();
        SettingStatics::m_fLightDirX = 0.0f;
        SettingStatics::m_fLightDirY = -1.0f;
        SettingStatics::m_fLightDirZ = 0.0f;
        CShader::GetInstance().Init();
        const D3DXVECTOR3 down(0, -1, 0);
        D3DZCDIRECT3D::GetInstance().SetDirectionalLight(TRUE, 0, &down, D3DXCOLOR(1, 1, 1, 1),
                                                         D3DXCOLOR(0.3f, 0.3f, 0.3f, 0),
                                                         D3DXCOLOR(0.5f, 0.5f, 0.5f, 0));
        Clear();
    }
    void TearDown() override {
        CShader::GetInstance().Release();
        PlacedObject::TearDown();
    }

    void RenderMode(int row) { m_form->listBox1->setCurrentRow(row); }
    static IDirect3DDevice9* Device() { return D3DZCDIRECT3D::GetInstance().GetDevice(); }
    static void Clear() {
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0);
    }

    static DWORD Pixel(int x, int y) {
        IDirect3DSurface9* back = nullptr;
        Device()->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
        D3DLOCKED_RECT locked;
        DWORD pixel = 0;
        if (back != nullptr && back->LockRect(&locked, nullptr, D3DLOCK_READONLY) == S_OK) {
            pixel = *reinterpret_cast<const DWORD*>(static_cast<const char*>(locked.pBits) +
                                                    y * locked.Pitch + x * 4) &
                    0xFFFFFF;
            back->UnlockRect();
        }
        if (back != nullptr)
            back->Release();
        return pixel;
    }
    DWORD PixelAt(const D3DXVECTOR3& point) const {
        const D3DXVECTOR3 screen = OnScreen(point);
        return Pixel(std::clamp(static_cast<int>(screen.x), 0, kWidth - 1),
                     std::clamp(static_cast<int>(screen.y), 0, kHeight - 1));
    }
    // Whether a colour shows within a pixel of where a world point lands.
    bool ShowsNear(const D3DXVECTOR3& point, DWORD colour) const {
        const D3DXVECTOR3 screen = OnScreen(point);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int x = static_cast<int>(screen.x) + dx, y = static_cast<int>(screen.y) + dy;
                if (x >= 0 && y >= 0 && x < kWidth && y < kHeight && Pixel(x, y) == colour)
                    return true;
            }
        return false;
    }
    static int Brightness(DWORD rgb) { return ((rgb >> 16) & 0xFF) + ((rgb >> 8) & 0xFF) + (rgb & 0xFF); }

    static constexpr DWORD kBackground = 0x00203040;
    TempDir m_dir;
};

} // namespace

TEST_F(PlacedObject, BuiltFromAMapRecordOrFromTheModelDialog) {
    auto object = Placed(Translation(5, 0, -2), "nowhere/tree.x");
    EXPECT_EQ(object->GetPos(), D3DXVECTOR3(5, 0, -2));
    EXPECT_EQ(object->GetFilename(), "nowhere/tree.x");
    ASSERT_NE(object->GetXData(), nullptr);
    EXPECT_EQ(object->GetXData()->GetMesh(), nullptr) << "a model that does not load leaves an empty mesh";
    const D3DXMATRIX before = *object->GetWorld();
    Frame(*object);
    EXPECT_EQ(*object->GetWorld(), before) << "an update without input changes nothing";

    TempDir dir;
    const std::string box = dir.Write("box.x", TestMeshes::Box(-1, -1, -1, 1, 1, 1, {1, 0, 0}));
    m_form->openFileDialog1->setFileName(QString::fromStdString(box));
    CXData opened(0, nullptr);
    EXPECT_EQ(opened.GetFilename(), box);
    ASSERT_NE(opened.GetXData(), nullptr);
    EXPECT_NE(opened.GetXData()->GetMesh(), nullptr);
    EXPECT_EQ(*opened.GetWorld(), Identity());

    // Neither a missing record nor a non-zero flag loads anything.
    CXData empty(nullptr);
    CXData unloaded(1, nullptr);
    EXPECT_EQ(empty.GetXData(), nullptr);
    EXPECT_EQ(unloaded.GetFilename(), "");
    Frame(empty);
    EXPECT_EQ(*empty.GetWorld(), Identity());
}

TEST_F(PlacedObject, MoveEntryIsAStepOrWithTheAbsoluteBoxAPlaceAndIsTakenOnce) {
    auto object = Placed(Translation(5, 0, -2));
    Enter(1, 2, 3);
    Frame(*object);
    EXPECT_EQ(object->GetPos(), D3DXVECTOR3(6, 2, 1));
    EXPECT_FALSE(Pop().GetButtonPush());
    EXPECT_EQ(Pop().GetxValue(), 0.0f);
    Frame(*object);
    EXPECT_EQ(object->GetPos(), D3DXVECTOR3(6, 2, 1)) << "the entry is used up";

    Pop().checkBox1->setChecked(true);
    Enter(1, 2, 3);
    Frame(*object);
    EXPECT_EQ(D3DXVECTOR3(object->GetWorld()->_41, object->GetWorld()->_42, object->GetWorld()->_43),
              D3DXVECTOR3(1, 2, 3));
    EXPECT_TRUE(Pop().checkBox1->isEnabled());
}

TEST_F(PlacedObject, RotateEntryTurnsAboutTheWorldAxisThroughTheObject) {
    m_form->SetSelectEdit(1);
    auto object = Placed(Translation(5, 0, -2));
    Enter(0, 90, 0);
    Frame(*object);
    D3DXMATRIX expected;
    D3DXMatrixRotationY(&expected, 90 * 0.017453292f);
    expected._41 = 5;
    expected._43 = -2;
    ExpectMatrixNear(*object->GetWorld(), expected);
    EXPECT_FALSE(Pop().checkBox1->isEnabled()) << "a turn has no absolute form";
}

TEST_F(PlacedObject, ScaleEntryAddsToTheFactorAlongTheObjectsOwnAxesAndStopsAboveZero) {
    m_form->SetSelectEdit(2);
    D3DXMATRIX turned;
    D3DXMatrixRotationY(&turned, D3DX_PI / 2);
    auto object = Placed(turned);
    Enter(1, 0, 0);
    Frame(*object);
    EXPECT_NEAR(RowLength(*object->GetWorld(), 0), 2.0f, 1e-6f) << "its own X, which points along world Z";
    EXPECT_NEAR(object->GetWorld()->_13, -2.0f, 1e-6f);
    EXPECT_NEAR(RowLength(*object->GetWorld(), 1), 1.0f, 1e-6f);
    EXPECT_NEAR(RowLength(*object->GetWorld(), 2), 1.0f, 1e-6f);

    Enter(-1, -5, 0);
    Frame(*object);
    EXPECT_NEAR(RowLength(*object->GetWorld(), 0), 0.002f, 1e-8f);
    EXPECT_NEAR(RowLength(*object->GetWorld(), 1), 0.001f, 1e-8f);

    // The absolute box, left checked from moving but disabled here, does not take the entry twice.
    auto plain = Placed(Identity());
    Pop().checkBox1->setChecked(true);
    Enter(1, 0, 0);
    Frame(*plain);
    EXPECT_EQ(plain->GetWorld()->_11, 2.0f);
}

TEST_F(PlacedObject, StepsThatWouldOverflowLeaveTheLastGoodMatrix) {
    m_form->SetSelectEdit(2);
    auto object = Placed(Translation(1, 2, 3));
    for (int frame = 0; frame < 10; ++frame) {
        Enter(999999, 999999, 999999);
        Frame(*object);
    }
    const D3DXMATRIX& world = *object->GetWorld();
    for (int i = 0; i < 16; ++i)
        EXPECT_TRUE(std::isfinite(world.m[i / 4][i % 4])) << "element " << i;
    EXPECT_GT(world._11, 1e30f);
    EXPECT_EQ(world._41, 1.0f);
}

TEST_F(PlacedObject, UpdateRestoresItsOwnPositionAndTheResetRequestActsOnce) {
    auto object = Placed(Translation(5, 0, -2));
    D3DXMATRIX scaledElsewhere;
    D3DXMatrixScaling(&scaledElsewhere, 2, 2, 2);
    scaledElsewhere._41 = 9;
    object->SetWorld(&scaledElsewhere);
    object->SetWorld(object->GetWorld());
    object->SetWorld(nullptr);
    Frame(*object);
    EXPECT_EQ(object->GetWorld()->_11, 2.0f);
    EXPECT_EQ(object->GetWorld()->_41, 5.0f) << "the position comes from the object, not the matrix";

    auto other = Placed(Translation(1, 1, 1));
    m_form->RequestMatrixIdentity();
    Frame(*object);
    other->Update();
    EXPECT_EQ(*object->GetWorld(), Identity());
    EXPECT_EQ(object->GetPos(), D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(other->GetWorld()->_41, 1.0f) << "only the first object updated is reset";
}

TEST_F(PlacedObject, WithoutAPopUpOnlyTheMouseEdits) {
    delete m_form->m_PopForm.data();
    ASSERT_TRUE(m_form->m_PopForm.isNull());
    auto object = Placed(Translation(1, 2, 3));
    for (int mode : {0, 1, 2}) {
        m_form->SetSelectEdit(mode);
        Frame(*object);
    }
    EXPECT_EQ(*object->GetWorld(), Translation(1, 2, 3));
}

TEST_F(DrawnObject, EachRenderModeDrawsTheModelWhereItsMatrixPutsIt) {
    const std::string box = m_dir.Write("box.x", TestMeshes::Box(-1, -1, -1, 1, 1, 1, {0.9f, 0.5f, 0.2f}));
    ASSERT_TRUE(m_messages.Messages().empty()) << m_messages.Messages()[0].text;
    auto object = Placed(Translation(2, 0, 0), box);
    for (int mode = 0; mode <= 3; ++mode) {
        Clear();
        RenderMode(mode);
        object->Draw();
        EXPECT_NE(PixelAt(D3DXVECTOR3(2, 0, -1)), kBackground) << "mode " << mode;
        EXPECT_EQ(PixelAt(D3DXVECTOR3(-2, 0, -1)), kBackground) << "mode " << mode;
    }
    // A model that did not load draws nothing, in any mode.
    auto missing = Placed(Identity(), m_dir.File("missing.x"));
    for (int mode = 0; mode <= 4; ++mode) {
        Clear();
        RenderMode(mode);
        missing->Draw();
        EXPECT_EQ(PixelAt(D3DXVECTOR3(0, 0, 0)), kBackground) << "mode " << mode;
    }
}

TEST_F(DrawnObject, ShadowModeWritesTheShadowMapThenDrawsWithItForEveryObject) {
    RenderMode(4);
    auto floor =
        Placed(Identity(), m_dir.Write("floor.x", TestMeshes::Floor(6.0f, 0.0f, {0.8f, 0.8f, 0.8f})));
    auto box = Placed(Identity(), m_dir.Write("box.x", TestMeshes::Box(-0.75f, 2.0f, -0.75f, 0.75f, 3.0f,
                                                                       0.75f, {0.9f, 0.3f, 0.3f})));
    LookFrom(D3DXVECTOR3(0, 9, -9));
    D3DXVECTOR3 lightPosition(0, 30, 0);
    D3DXVECTOR4 lightBox(20, 20, 0.1f, 2000);
    // Two frames, each as the list draws them: the shadow pass, then the scene.
    for (int frame = 0; frame < 2; ++frame) {
        Clear();
        CShader::GetInstance().GetShadowMap().Begin(&lightPosition, &lightBox);
        floor->Draw();
        box->Draw();
        CShader::GetInstance().GetShadowMap().End();
        EXPECT_EQ(PixelAt(D3DXVECTOR3(3, 0, 0)), kBackground) << "the shadow pass draws nothing on screen";
        floor->Draw();
        box->Draw();
        const DWORD shadowed = PixelAt(D3DXVECTOR3(0, 0, 0)), lit = PixelAt(D3DXVECTOR3(3, 0, 0));
        EXPECT_NE(lit, kBackground) << "frame " << frame;
        EXPECT_GT(Brightness(lit), Brightness(shadowed) + 150) << "frame " << frame;
    }
}

TEST_F(DrawnObject, LocalAxesTurnWithTheObjectAndLeaveTheLightingAsTheWindowSaysItIs) {
    RenderMode(0);
    m_form->checkBox2->setChecked(true);
    D3DXMATRIX turned;
    D3DXMatrixRotationZ(&turned, D3DX_PI / 2);
    auto object = Placed(turned);
    object->Draw();
    // Turned a quarter about Z, the object's X axis points up and its Y axis to the left.
    EXPECT_TRUE(ShowsNear(D3DXVECTOR3(0, 2.5f, 0), 0xFF0000));
    EXPECT_TRUE(ShowsNear(D3DXVECTOR3(-2.5f, 0, 0), 0x00FF00));
    EXPECT_FALSE(ShowsNear(D3DXVECTOR3(2.5f, 0, 0), 0xFF0000));
    DWORD lighting = 0;
    Device()->GetRenderState(D3DRS_LIGHTING, &lighting);
    EXPECT_EQ(lighting, static_cast<DWORD>(m_form->GetLightEnable() ? TRUE : FALSE));

    m_form->checkBox3->setChecked(!m_form->GetLightEnable());
    object->Draw();
    Device()->GetRenderState(D3DRS_LIGHTING, &lighting);
    EXPECT_EQ(lighting, static_cast<DWORD>(m_form->GetLightEnable() ? TRUE : FALSE));

    Clear();
    m_form->checkBox2->setChecked(false);
    object->Draw();
    EXPECT_FALSE(ShowsNear(D3DXVECTOR3(0, 2.5f, 0), 0xFF0000));
}
