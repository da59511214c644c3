#include "SceneFixture.h"

#include <cmath>

namespace {

class DragEdit : public SceneFixture {
protected:
    static D3DXMATRIX Turn(const D3DXVECTOR3& axis, float degrees) {
        D3DXMATRIX m;
        return *D3DXMatrixRotationAxis(&m, &axis, degrees * 0.01745329238474369f);
    }
    static void Yaw(float degrees) { CamData::GetInstance().GetCamData()->vRot.y = degrees; }
    // Degrees an unrotated object turns about X or Y for a 10-pixel drag to the right.
    float Turned(int handle, std::initializer_list<int> keys = {}) {
        for (int key : keys)
            Keys().KeyDown(key);
        auto object = Placed(Moved(0, 0, 0));
        Pick(handle, D3DXVECTOR3(0, 0, 0));
        Drag(*object, {{10, 0}});
        for (int key : keys)
            Keys().KeyUp(key);
        const D3DXMATRIX& w = *object->GetWorld();
        return std::asin(handle == CWindowCheck::kAxisX ? w._23 : w._31) / 0.01745329238474369f;
    }
};

} // namespace

TEST_F(DragEdit, LeftDragReportsPixelsSinceTheLastCallOnlyWhileHeld) {
    CAPP& app = CAPP::GetInstance();
    const auto frameAt = [&](int x, int y) {
        CursorAt(x, y);
        app.SampleInput();
    };
    Keys().KeyDown(VK_LBUTTON);
    frameAt(40, 30);
    EXPECT_EQ(app.GetMouseXMovePos(), 0.0f) << "the press only anchors";
    EXPECT_EQ(app.GetMouseYMovePos(), 0.0f);
    frameAt(47, 25);
    EXPECT_EQ(app.GetMouseXMovePos(), 7.0f);
    EXPECT_EQ(app.GetMouseYMovePos(), -5.0f);
    EXPECT_EQ(app.GetMouseXMovePos(), 0.0f) << "a second call in the frame has nothing left";
    Keys().KeyUp(VK_LBUTTON);
    frameAt(90, 90);
    EXPECT_EQ(app.GetMouseXMovePos(), 0.0f) << "release";
    // Pressed again at once, the button reads held from the start: the new drag still anchors first
    // rather than leaping from where the last one ended.
    Keys().KeyDown(VK_LBUTTON);
    frameAt(90, 90);
    EXPECT_EQ(app.GetMouseXMovePos(), 0.0f);
    frameAt(91, 90);
    EXPECT_EQ(app.GetMouseXMovePos(), 1.0f);
}

TEST_F(DragEdit, MovesPutThePickedHandleUnderTheCursorAtItsDepth) {
    // X handle, 3 units out at this distance: it lands under the cursor, y and z stay to the bit.
    auto object = Placed(Moved(0.25f, 0.75f, -0.5f));
    Pick(CWindowCheck::kAxisX, D3DXVECTOR3(3.25f, 0.75f, -0.5f));
    CursorAt(100, 50);
    Drag(*object, {{12, 9}});
    const D3DXMATRIX& world = *object->GetWorld();
    EXPECT_EQ(world._42, 0.75f);
    EXPECT_EQ(world._43, -0.5f);
    EXPECT_NEAR(OnScreen(D3DXVECTOR3(world._41 + 3.0f, world._42, world._43)).x, 112.0f, 0.01f);

    // The centre box: the origin lands on the cursor at the depth the box had.
    LookFrom(D3DXVECTOR3(4, 6, -9));
    auto boxed = Placed(Moved(1, 0.5f, 2));
    Pick(CWindowCheck::kCentre, D3DXVECTOR3(1, 0.5f, 2));
    const float depth = OnScreen(D3DXVECTOR3(1, 0.5f, 2)).z;
    CursorAt(70, 40);
    Drag(*boxed, {{-15, 22}});
    const D3DXVECTOR3 landed = OnScreen(boxed->GetPos());
    EXPECT_NEAR(landed.x, 55.0f, 0.01f);
    EXPECT_NEAR(landed.y, 62.0f, 0.01f);
    EXPECT_NEAR(landed.z, depth, 1e-6f);
    EXPECT_EQ(boxed->GetWorld()->_41, boxed->GetPos().x);
}

TEST_F(DragEdit, NothingMovesWithoutAHandleOrAView) {
    auto object = Placed(Moved(1, 2, 3));
    for (int pick : {CWindowCheck::kNotPickedYet, CWindowCheck::kNoHandle}) {
        CWindowCheck::GetInstance().SetNowColor(pick);
        Drag(*object, {{10, 10}, {30, -5}});
    }
    // A camera that sees nothing, and no device: no point to move to, rather than a position that is
    // not a number.
    Pick(CWindowCheck::kCentre, D3DXVECTOR3(1, 2, 3));
    const D3DXMATRIX flat(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    D3DZCDIRECT3D::GetInstance().SetProj(&flat);
    Drag(*object, {{10, 10}});
    LookFrom(D3DXVECTOR3(0, 0, -10));
    D3DZCDIRECT3D::GetInstance().Release();
    Drag(*object, {{10, 10}});
    EXPECT_EQ(*object->GetWorld(), Moved(1, 2, 3));
}

TEST_F(DragEdit, RotationFollowsTheYawTableAndTheModifiers) {
    m_form->SetSelectEdit(1);
    // Y ring, 10 pixels right at distance 10: -0.5 degrees about world Y, through the object itself.
    auto object = Placed(Moved(5, 0, -2));
    Pick(CWindowCheck::kAxisY, D3DXVECTOR3(5, 3, -2));
    Drag(*object, {{10, 0}});
    D3DXMATRIX expected = Turn(D3DXVECTOR3(0, 1, 0), -0.5f);
    expected._41 = 5, expected._43 = -2;
    ExpectMatrixNear(*object->GetWorld(), expected, 1e-6f);

    // Seen from the other side, the X ring turns the other way.
    const std::pair<float, float> xRows[] = {{-45, 0.5f}, {45, -0.5f}, {-200, -0.5f}, {200, 0.5f}, {-360, 0}};
    for (const auto& [yaw, degrees] : xRows) {
        Yaw(yaw);
        EXPECT_NEAR(Turned(CWindowCheck::kAxisX), degrees, 1e-4f) << "yaw " << yaw;
    }
    Yaw(-38);
    EXPECT_NEAR(Turned(CWindowCheck::kAxisY, {VK_CONTROL}), -0.05f, 1e-5f);
    EXPECT_NEAR(Turned(CWindowCheck::kAxisY, {VK_MENU}), -5.0f, 1e-3f);
    EXPECT_NEAR(Turned(CWindowCheck::kAxisY, {VK_CONTROL, VK_MENU}), -0.5f, 1e-4f);
    CamData::GetInstance().GetCamData()->vPos.z = -20.0f;
    EXPECT_NEAR(Turned(CWindowCheck::kAxisY), -1.0f, 1e-4f) << "a farther camera turns faster";
    EXPECT_EQ(Turned(CWindowCheck::kCentre), 0.0f);

    // The Z ring also counts the roll, twice the step, with its own sign per side.
    auto rolled = Placed(Moved(0, 0, 0));
    Pick(CWindowCheck::kAxisZ, D3DXVECTOR3(0, 0, 6));
    Drag(*rolled, {{10, 0}});
    EXPECT_NEAR(rolled->GetRot().z, -2.0f, 1e-5f);
    Yaw(150);
    Drag(*rolled, {{10, 0}});
    EXPECT_NEAR(rolled->GetRot().z, 0.0f, 1e-5f);
}

TEST_F(DragEdit, ShiftTurnsIn45DegreeNotchesEverySixthDiagonalFrame) {
    m_form->SetSelectEdit(1);
    auto object = Placed(Moved(0, 0, 0));
    Pick(CWindowCheck::kAxisY, D3DXVECTOR3(0, 3, 0));
    Keys().KeyDown(VK_SHIFT);
    Drag(*object, {{10, 0}, {10, 0}, {10, 0}, {10, 0}, {10, 0}, {10, 0}, {10, 0}});
    EXPECT_EQ(*object->GetWorld(), Moved(0, 0, 0)) << "level drags never count";

    Drag(*object, {{3, 2}, {3, 2}, {3, 2}, {3, 2}, {3, 2}});
    EXPECT_EQ(object->GetSnapCount(), 5);
    EXPECT_EQ(*object->GetWorld(), Moved(0, 0, 0));
    Frame(*object);
    EXPECT_EQ(object->GetSnapCount(), 0) << "forgotten once the button is up";
    Drag(*object, {{3, 2}, {3, 2}, {3, 2}, {3, 2}, {3, 2}, {3, -2}});
    ExpectMatrixNear(*object->GetWorld(), Turn(D3DXVECTOR3(0, 1, 0), -45.0f), 1e-6f);
    EXPECT_EQ(object->GetSnapCount(), 0);
}

TEST_F(DragEdit, ScalingStretchesAlongTheObjectsOwnAxesAndNeverCollapses) {
    m_form->SetSelectEdit(2);
    // Centre box: 100 pixels right and 50 up at distance 10 give the factor 1.15 on every axis.
    auto object = Placed(Moved(1, 2, 3));
    Pick(CWindowCheck::kCentre, D3DXVECTOR3(1, 2, 3));
    Drag(*object, {{100, -50}});
    D3DXMATRIX expected;
    D3DXMatrixScaling(&expected, 1.15f, 1.15f, 1.15f);
    expected._41 = 1, expected._42 = 2, expected._43 = 3;
    ExpectMatrixNear(*object->GetWorld(), expected);

    // Turned -90 degrees about Y, the X handle lengthens the object's own Z axis.
    D3DXMATRIX turned;
    auto rotated = Placed(*D3DXMatrixRotationY(&turned, -D3DX_PI / 2));
    Pick(CWindowCheck::kAxisX, D3DXVECTOR3(3, 0, 0));
    Drag(*rotated, {{100, 0}});
    for (int row = 0; row < 3; ++row)
        EXPECT_NEAR(RowLength(*rotated->GetWorld(), row), row == 2 ? 1.1f : 1.0f, 1e-5f) << row;

    // Steps compound; a hard drag inwards stops at a thousandth per frame, never mirrored.
    auto squashed = Placed(Moved(0, 0, 0));
    Pick(CWindowCheck::kAxisY, D3DXVECTOR3(0, 3, 0));
    Drag(*squashed, {{0, -100}, {0, 30000}});
    EXPECT_NEAR(squashed->GetWorld()->_22, 1.1f * 0.001f, 1e-7f);

    // Without an inverse there is no telling which way the object faces: it keeps its matrix.
    const D3DXMATRIX flat(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1);
    auto degenerate = Placed(flat);
    Pick(CWindowCheck::kAxisX, D3DXVECTOR3(3, 0, 0));
    Drag(*degenerate, {{50, 0}});
    EXPECT_EQ(*degenerate->GetWorld(), flat);
}
