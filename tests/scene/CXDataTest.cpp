#include "SceneFixture.h"

#include "BackBufferPixel.h"
#include "CShader.h"
#include "FileDialog.h"
#include "SettingStatics.h"
#include "TempDir.h"
#include "TestMeshes.h"

#include <QListWidget>

#include <algorithm>
#include <cmath>
#include <set>

namespace {

class PlacedObject : public SceneFixture {
protected:
    // What "OK" in the coordinate pop-up leaves for the next frame.
    void Enter(float x, float y, float z) {
        PopWindow& pop = *m_form->m_PopForm;
        pop.SetxValue(x);
        pop.SetyValue(y);
        pop.SetzValue(z);
        pop.SetButtonPush(true);
    }
    D3DXMATRIX Scaled(float x, float y, float z) {
        D3DXMATRIX m;
        return *D3DXMatrixScaling(&m, x, y, z);
    }
};

class DrawnObject : public PlacedObject {
protected:
    void SetUp() override {
        PlacedObject::SetUp();
        SettingStatics::m_fLightDirX = SettingStatics::m_fLightDirZ = 0.0f;
        SettingStatics::m_fLightDirY = -1.0f;
        CShader::GetInstance().Init();
        const D3DXVECTOR3 down(0, -1, 0);
        D3DZCDIRECT3D::GetInstance().SetDirectionalLight(
            TRUE, 0, &down, D3DXCOLOR(1, 1, 1, 1), D3DXCOLOR(0.3f, 0.3f, 0.3f, 0), D3DXCOLOR(0, 0, 0, 0));
        Clear();
    }
    void TearDown() override {
        CShader::GetInstance().Release();
        PlacedObject::TearDown();
    }
    static void Clear() {
        D3DZCDIRECT3D::GetInstance().GetDevice()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER,
                                                        kBackground, 1.0f, 0);
    }
    // The colours within a pixel of where a world point lands.
    std::vector<DWORD> Near(const D3DXVECTOR3& point) const {
        const D3DXVECTOR3 at = OnScreen(point);
        std::vector<DWORD> colours;
        for (int i = 0; i < 9; ++i)
            colours.push_back(
                BackBufferPixel(D3DZCDIRECT3D::GetInstance().GetDevice(),
                                std::clamp(static_cast<int>(at.x) + i % 3 - 1, 0, kWidth - 1),
                                std::clamp(static_cast<int>(at.y) + i / 3 - 1, 0, kHeight - 1)) &
                0xFFFFFF);
        return colours;
    }
    DWORD At(const D3DXVECTOR3& point) const { return Near(point)[4]; }
    bool Shows(const D3DXVECTOR3& point, DWORD colour) const {
        const auto colours = Near(point);
        return std::find(colours.begin(), colours.end(), colour) != colours.end();
    }
    static int Brightness(DWORD rgb) { return ((rgb >> 16) & 0xFF) + ((rgb >> 8) & 0xFF) + (rgb & 0xFF); }

    static constexpr DWORD kBackground = 0x203040;
    TempDir m_dir;
};

} // namespace

TEST_F(PlacedObject, BuiltFromAMapRecordOrTheModelDialog) {
    auto object = Placed(Moved(5, 0, -2), "nowhere/tree.x");
    EXPECT_EQ(object->GetPos(), D3DXVECTOR3(5, 0, -2));
    ASSERT_NE(object->GetXData(), nullptr);
    EXPECT_EQ(object->GetXData()->GetMesh(), nullptr) << "a model that does not load leaves an empty mesh";
    Frame(*object);
    EXPECT_EQ(*object->GetWorld(), Moved(5, 0, -2)) << "an update without input changes nothing";

    TempDir dir;
    const std::string box = dir.Write("box.x", TestMeshes::Box(-1, -1, -1, 1, 1, 1, {1, 0, 0}));
    m_form->openFileDialog1->setFileName(QString::fromStdString(box));
    CXData opened(0, nullptr);
    EXPECT_EQ(opened.GetFilename(), box);
    EXPECT_NE(opened.GetXData()->GetMesh(), nullptr);
    CXData empty(nullptr);
    Frame(empty);
    EXPECT_EQ(empty.GetXData(), nullptr);
}

TEST_F(PlacedObject, PopUpEntriesAreTakenOnceInEachEditType) {
    // Move: a step, or with the absolute box a place.
    auto object = Placed(Moved(5, 0, -2));
    Enter(1, 2, 3);
    Frame(*object);
    Frame(*object);
    EXPECT_EQ(object->GetPos(), D3DXVECTOR3(6, 2, 1));
    m_form->m_PopForm->checkBox1->setChecked(true);
    Enter(1, 2, 3);
    Frame(*object);
    EXPECT_EQ(*object->GetWorld(), Moved(1, 2, 3));

    // Rotate: about the world axis through the object's own position.
    m_form->SetSelectEdit(1);
    Enter(0, 90, 0);
    Frame(*object);
    D3DXMATRIX expected;
    D3DXMatrixRotationY(&expected, 90 * 0.017453292f);
    expected._41 = 1, expected._42 = 2, expected._43 = 3;
    ExpectMatrixNear(*object->GetWorld(), expected);
    EXPECT_FALSE(m_form->m_PopForm->checkBox1->isEnabled());

    // Scale: 1 + v along the object's own axes, floored at a thousandth. The absolute box, still
    // checked from moving but disabled here, does not take the entry a second time.
    m_form->SetSelectEdit(2);
    Enter(1, -1, -5);
    Frame(*object);
    EXPECT_NEAR(object->GetWorld()->_13, -2.0f, 1e-6f) << "its own X, which points along world -Z";
    EXPECT_NEAR(RowLength(*object->GetWorld(), 1), 0.001f, 1e-9f);
    EXPECT_NEAR(RowLength(*object->GetWorld(), 2), 0.001f, 1e-9f);
}

TEST_F(PlacedObject, StepsThatWouldOverflowLeaveTheLastGoodMatrix) {
    m_form->SetSelectEdit(2);
    auto object = Placed(Moved(1, 2, 3));
    for (int frame = 0; frame < 10; ++frame) {
        Enter(999999, 999999, 999999);
        Frame(*object);
    }
    for (int i = 0; i < 16; ++i)
        EXPECT_TRUE(std::isfinite(object->GetWorld()->m[i / 4][i % 4])) << "element " << i;
    EXPECT_GT(object->GetWorld()->_11, 1e30f);
}

TEST_F(PlacedObject, PositionOutlivesSetWorldAndTheResetActsOnTheFirstUpdateOnly) {
    auto object = Placed(Moved(5, 0, -2));
    D3DXMATRIX elsewhere = Scaled(2, 2, 2);
    elsewhere._41 = 9;
    object->SetWorld(&elsewhere);
    object->SetWorld(nullptr);
    Frame(*object);
    D3DXMATRIX expected = Scaled(2, 2, 2);
    expected._41 = 5, expected._43 = -2;
    EXPECT_EQ(*object->GetWorld(), expected);

    auto other = Placed(Moved(1, 1, 1));
    m_form->RequestMatrixIdentity();
    Frame(*object);
    other->Update();
    EXPECT_EQ(*object->GetWorld(), Moved(0, 0, 0));
    EXPECT_EQ(object->GetPos(), D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(*other->GetWorld(), Moved(1, 1, 1));

    // With the pop-up gone the object still updates.
    delete m_form->m_PopForm.data();
    for (int mode : {0, 1, 2}) {
        m_form->SetSelectEdit(mode);
        Frame(*other);
    }
    EXPECT_EQ(*other->GetWorld(), Moved(1, 1, 1));
}

TEST_F(DrawnObject, EachRenderModeDrawsTheModelWhereItsMatrixPutsIt) {
    auto object =
        Placed(Moved(2, 0, 0), m_dir.Write("box.x", TestMeshes::Box(-1, -1, -1, 1, 1, 1, {1, 1, 1})));
    auto missing = Placed(Moved(-2, 0, 0), m_dir.File("missing.x"));
    std::set<DWORD> looks;
    for (int mode = 0; mode <= 3; ++mode) {
        Clear();
        m_form->listBox1->setCurrentRow(mode);
        object->Draw();
        missing->Draw();
        looks.insert(At(D3DXVECTOR3(2, 0, -1)));
        EXPECT_NE(At(D3DXVECTOR3(2, 0, -1)), kBackground) << "mode " << mode;
        EXPECT_EQ(At(D3DXVECTOR3(-2, 0, -1)), kBackground) << "mode " << mode;
    }
    EXPECT_GE(looks.size(), 3u) << "the modes shade differently";
}

TEST_F(DrawnObject, ShadowModeWritesTheShadowMapThenDrawsWithItEveryFrame) {
    m_form->listBox1->setCurrentRow(4);
    auto floor = Placed(Moved(0, 0, 0), m_dir.Write("floor.x", TestMeshes::Floor(6, 0, {0.8f, 0.8f, 0.8f})));
    auto box =
        Placed(Moved(0, 0, 0),
               m_dir.Write("box.x", TestMeshes::Box(-0.75f, 2, -0.75f, 0.75f, 3, 0.75f, {0.9f, 0.3f, 0.3f})));
    LookFrom(D3DXVECTOR3(0, 9, -9));
    D3DXVECTOR3 light(0, 30, 0);
    D3DXVECTOR4 lightBox(20, 20, 0.1f, 2000);
    for (int frame = 0; frame < 2; ++frame) {
        Clear();
        CShader::GetInstance().GetShadowMap().Begin(&light, &lightBox);
        floor->Draw();
        box->Draw();
        CShader::GetInstance().GetShadowMap().End();
        EXPECT_EQ(At(D3DXVECTOR3(3, 0, 0)), kBackground) << "the shadow pass shows nothing";
        floor->Draw();
        box->Draw();
        EXPECT_GT(Brightness(At(D3DXVECTOR3(3, 0, 0))), Brightness(At(D3DXVECTOR3(0, 0, 0))) + 150) << frame;
    }
}

TEST_F(DrawnObject, LocalAxesTurnWithTheObjectAndLeaveTheLightingAsTheWindowSays) {
    m_form->checkBox2->setChecked(true);
    m_form->checkBox3->setChecked(false);
    D3DXMATRIX turned;
    auto object = Placed(*D3DXMatrixRotationZ(&turned, D3DX_PI / 2));
    object->Draw();
    // A quarter turn about Z points its X axis up and its Y axis left.
    EXPECT_TRUE(Shows(D3DXVECTOR3(0, 2.5f, 0), 0xFF0000));
    EXPECT_TRUE(Shows(D3DXVECTOR3(-2.5f, 0, 0), 0x00FF00));
    EXPECT_FALSE(Shows(D3DXVECTOR3(2.5f, 0, 0), 0xFF0000));
    DWORD lighting = TRUE;
    D3DZCDIRECT3D::GetInstance().GetDevice()->GetRenderState(D3DRS_LIGHTING, &lighting);
    EXPECT_EQ(lighting, static_cast<DWORD>(FALSE));

    Clear();
    m_form->checkBox2->setChecked(false);
    m_form->checkBox3->setChecked(true);
    object->Draw();
    EXPECT_FALSE(Shows(D3DXVECTOR3(0, 2.5f, 0), 0xFF0000));
}
