#include "SceneFixture.h"

#include <cmath>

namespace {

class DragEdit : public SceneFixture {
protected:
    // The rotation a step of `degrees` about a world axis gives an unrotated object at the origin.
    static D3DXMATRIX Turn(const D3DXVECTOR3& axis, float degrees) {
        D3DXMATRIX m;
        D3DXMatrixRotationAxis(&m, &axis, degrees * 0.01745329238474369f);
        return m;
    }
    static float Yaw(float degrees) { return CamData::GetInstance().GetCamData()->vRot.y = degrees; }
};

} // namespace

TEST_F(DragEdit, LeftDragReportsPixelsSinceTheLastCallOnlyWhileHeld) {
    CAPP& app = CAPP::GetInstance();
    Keys().KeyDown(VK_LBUTTON);
    CursorAt(40, 30);
    Frame();
    EXPECT_EQ(app.GetMouseXMovePos(), 0.0f) << "the press only anchors";
    EXPECT_EQ(app.GetMouseYMovePos(), 0.0f);
    CursorAt(47, 25);
    Frame();
    EXPECT_EQ(app.GetMouseXMovePos(), 7.0f);
    EXPECT_EQ(app.GetMouseYMovePos(), -5.0f) << "up is negative";
    EXPECT_EQ(app.GetMouseXMovePos(), 0.0f) << "a second call in the frame has nothing left";
    CursorAt(50, 25);
    Frame();
    EXPECT_EQ(app.GetMouseXMovePos(), 3.0f);

    Keys().KeyUp(VK_LBUTTON);
    CursorAt(90, 90);
    Frame();
    EXPECT_EQ(app.GetMouseXMovePos(), 0.0f) << "release frame";
    Frame();
    EXPECT_EQ(app.GetMouseXMovePos(), 0.0f);
    // A new drag anchors afresh instead of jumping from where the last one ended.
    Keys().KeyDown(VK_LBUTTON);
    Frame();
    EXPECT_EQ(app.GetMouseXMovePos(), 0.0f);
    CursorAt(91, 90);
    Frame();
    EXPECT_EQ(app.GetMouseXMovePos(), 1.0f);
}

TEST_F(DragEdit, AxisHandleBringsItsHandleUnderTheCursorAlongItsWorldAxisOnly) {
    auto object = Placed(Translation(0.25f, 0.75f, -0.5f));
    Manipulator().SetHandleMatrix(CWindowCheck::kAxisX, Translation(3.25f, 0.75f, -0.5f));
    Manipulator().SetNowColor(CWindowCheck::kAxisX);
    CursorAt(100, 50);
    Drag(*object, {{12, 9}});

    const D3DXMATRIX& world = *object->GetWorld();
    EXPECT_EQ(world._42, 0.75f);
    EXPECT_EQ(world._43, -0.5f);
    // The X handle, 3 units along X from the origin at this distance, is now where the cursor points.
    const D3DXVECTOR3 handle = OnScreen(D3DXVECTOR3(world._41 + 3.0f, world._42, world._43));
    EXPECT_NEAR(handle.x, 112.0f, 0.01f);
    EXPECT_EQ(object->GetPos(), D3DXVECTOR3(world._41, world._42, world._43));

    // The Z handle moves along Z only.
    LookFrom(D3DXVECTOR3(8, 6, -9));
    const D3DXVECTOR3 before = object->GetPos();
    Manipulator().SetHandleMatrix(CWindowCheck::kAxisZ, Translation(before.x, before.y, before.z + 3.0f));
    Manipulator().SetNowColor(CWindowCheck::kAxisZ);
    Drag(*object, {{-20, 0}});
    EXPECT_EQ(object->GetPos().x, before.x);
    EXPECT_EQ(object->GetPos().y, before.y);
    EXPECT_NE(object->GetPos().z, before.z);
}

TEST_F(DragEdit, CentreBoxPutsTheOriginOnTheCursorAtTheBoxDepth) {
    LookFrom(D3DXVECTOR3(4, 6, -9));
    auto object = Placed(Translation(1, 0.5f, 2));
    Manipulator().SetHandleMatrix(CWindowCheck::kCentre, Translation(1, 0.5f, 2));
    Manipulator().SetNowColor(CWindowCheck::kCentre);
    const float depth = OnScreen(D3DXVECTOR3(1, 0.5f, 2)).z;
    CursorAt(70, 40);
    Drag(*object, {{-15, 22}});

    const D3DXVECTOR3 landed = OnScreen(object->GetPos());
    EXPECT_NEAR(landed.x, 55.0f, 0.01f);
    EXPECT_NEAR(landed.y, 62.0f, 0.01f);
    EXPECT_NEAR(landed.z, depth, 1e-6f);
}

TEST_F(DragEdit, NothingMovesWithoutAHandleAButtonHeldOrAView) {
    auto object = Placed(Translation(1, 2, 3));
    const D3DXMATRIX start = *object->GetWorld();
    for (int pick : {CWindowCheck::kNotPickedYet, CWindowCheck::kNoHandle}) {
        Manipulator().SetNowColor(pick);
        Drag(*object, {{10, 10}, {30, -5}});
        EXPECT_EQ(*object->GetWorld(), start) << "pick " << pick;
    }
    // The cursor moving with the button up.
    Manipulator().SetNowColor(CWindowCheck::kCentre);
    CursorBy(25, 25);
    Frame(*object);
    EXPECT_EQ(*object->GetWorld(), start);

    // A camera that sees nothing and a view without a device give no point to move to; the object
    // keeps its place instead of taking a position that is not a number.
    const D3DXMATRIX flat(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    D3DZCDIRECT3D::GetInstance().SetProj(&flat);
    Drag(*object, {{10, 10}});
    EXPECT_EQ(*object->GetWorld(), start);
    LookFrom(D3DXVECTOR3(0, 0, -10));
    D3DZCDIRECT3D::GetInstance().Release();
    Drag(*object, {{10, 10}});
    EXPECT_EQ(*object->GetWorld(), start);
}

TEST_F(DragEdit, RotationStepFollowsTheYawTableAndTheModifiers) {
    m_form->SetSelectEdit(1);
    Yaw(-38.0f);
    // Y ring, 10 pixels right at distance 10: -0.5 degrees about world Y, about the object's own place.
    auto object = Placed(Translation(5, 0, -2));
    Manipulator().SetNowColor(CWindowCheck::kAxisY);
    Drag(*object, {{10, 0}});
    D3DXMATRIX expected = Turn(D3DXVECTOR3(0, 1, 0), -0.5f);
    expected._41 = 5;
    expected._43 = -2;
    ExpectMatrixNear(*object->GetWorld(), expected, 1e-6f);

    // The X ring turns the other way once the camera looks from the other side.
    const auto turnX = [&](float yaw) {
        Yaw(yaw);
        auto turned = Placed(Identity());
        Manipulator().SetNowColor(CWindowCheck::kAxisX);
        Drag(*turned, {{10, 0}});
        return std::asin(turned->GetWorld()->_23) / 0.01745329238474369f;
    };
    EXPECT_NEAR(turnX(-45.0f), 0.5f, 1e-4f);
    EXPECT_NEAR(turnX(45.0f), -0.5f, 1e-4f);
    EXPECT_NEAR(turnX(-200.0f), -0.5f, 1e-4f);
    EXPECT_NEAR(turnX(200.0f), 0.5f, 1e-4f);
    EXPECT_EQ(turnX(-360.0f), 0.0f) << "no row of the table applies";

    // The Z ring also counts the roll, in degrees twice the step.
    Yaw(-38.0f);
    auto rolled = Placed(Identity());
    Manipulator().SetNowColor(CWindowCheck::kAxisZ);
    Drag(*rolled, {{10, 0}});
    EXPECT_NEAR(rolled->GetRot().z, -1.0f, 1e-5f);
    Yaw(150.0f);
    Drag(*rolled, {{10, 0}});
    EXPECT_NEAR(rolled->GetRot().z, 0.0f, 1e-5f) << "seen from behind the ring turns the other way";

    // Ctrl a tenth, Alt ten times, both together as neither; a farther camera turns faster.
    Yaw(-38.0f);
    Manipulator().SetNowColor(CWindowCheck::kAxisY);
    const auto turnY = [&](std::initializer_list<int> keys) {
        for (int key : keys)
            Keys().KeyDown(key);
        auto turned = Placed(Identity());
        Drag(*turned, {{10, 0}});
        for (int key : keys)
            Keys().KeyUp(key);
        return std::asin(turned->GetWorld()->_31) / 0.01745329238474369f;
    };
    EXPECT_NEAR(turnY({}), -0.5f, 1e-4f);
    EXPECT_NEAR(turnY({VK_CONTROL}), -0.05f, 1e-5f);
    EXPECT_NEAR(turnY({VK_MENU}), -5.0f, 1e-3f);
    EXPECT_NEAR(turnY({VK_CONTROL, VK_MENU}), -0.5f, 1e-4f);
    CamData::GetInstance().GetCamData()->vPos.z = -20.0f;
    EXPECT_NEAR(turnY({}), -1.0f, 1e-4f);

    // The centre box turns nothing.
    Manipulator().SetNowColor(CWindowCheck::kCentre);
    auto still = Placed(Identity());
    Drag(*still, {{10, 10}});
    EXPECT_EQ(*still->GetWorld(), Identity());
}

TEST_F(DragEdit, ShiftTurnsIn45DegreeNotchesEverySixthDiagonalFrame) {
    m_form->SetSelectEdit(1);
    Manipulator().SetNowColor(CWindowCheck::kAxisY);
    auto object = Placed(Identity());
    Keys().KeyDown(VK_SHIFT);
    Drag(*object, {{10, 0}, {10, 0}, {10, 0}, {10, 0}, {10, 0}, {10, 0}, {10, 0}});
    EXPECT_EQ(*object->GetWorld(), Identity()) << "a level drag never counts towards a notch";
    EXPECT_EQ(object->GetSnapCount(), 0);

    Keys().KeyDown(VK_LBUTTON);
    Frame(*object);
    for (int frame = 0; frame < 5; ++frame) {
        CursorBy(3, 2);
        Frame(*object);
    }
    EXPECT_EQ(*object->GetWorld(), Identity()) << "five frames are not enough";
    CursorBy(3, -2);
    Frame(*object);
    ExpectMatrixNear(*object->GetWorld(), Turn(D3DXVECTOR3(0, 1, 0), -45.0f), 1e-6f);
    EXPECT_EQ(object->GetSnapCount(), 0) << "counting starts again after a notch";
    ExpectMatrixNear(object->GetRotation(), Turn(D3DXVECTOR3(0, 1, 0), -45.0f), 1e-6f);
    Keys().KeyUp(VK_LBUTTON);
    Frame(*object);

    // A count in progress is forgotten once the button is up.
    Drag(*object, {{-3, 2}, {-3, 2}, {-3, 2}});
    EXPECT_EQ(object->GetSnapCount(), 3);
    Frame(*object);
    EXPECT_EQ(object->GetSnapCount(), 0);
    ExpectMatrixNear(*object->GetWorld(), Turn(D3DXVECTOR3(0, 1, 0), -45.0f), 1e-6f);
}

TEST_F(DragEdit, ScalingStretchesAlongTheObjectsOwnAxesAndNeverCollapses) {
    m_form->SetSelectEdit(2);
    // Centre box: 100 pixels right and 50 up at distance 10 give the factor 1 + 0.15.
    Manipulator().SetNowColor(CWindowCheck::kCentre);
    auto object = Placed(Translation(1, 2, 3));
    Drag(*object, {{100, -50}});
    D3DXMATRIX expected;
    D3DXMatrixScaling(&expected, 1.15f, 1.15f, 1.15f);
    expected._41 = 1, expected._42 = 2, expected._43 = 3;
    ExpectMatrixNear(*object->GetWorld(), expected);

    // Turned 90 degrees about Y, the X handle lengthens the object's own Z axis.
    D3DXMATRIX turned;
    D3DXMatrixRotationY(&turned, D3DX_PI / 2);
    auto rotated = Placed(turned);
    Manipulator().SetNowColor(CWindowCheck::kAxisX);
    Drag(*rotated, {{100, 0}});
    EXPECT_NEAR(RowLength(*rotated->GetWorld(), 0), 1.0f, 1e-5f);
    EXPECT_NEAR(RowLength(*rotated->GetWorld(), 1), 1.0f, 1e-5f);
    EXPECT_NEAR(RowLength(*rotated->GetWorld(), 2), 1.1f, 1e-5f);

    // Scaling compounds, and a hard drag inwards stops at a thousandth per frame, never mirrored.
    Manipulator().SetNowColor(CWindowCheck::kAxisY);
    auto squashed = Placed(Identity());
    Drag(*squashed, {{0, -100}, {0, 30000}});
    EXPECT_NEAR(squashed->GetWorld()->_22, 1.1f * 0.001f, 1e-7f);
    EXPECT_GT(squashed->GetWorld()->_22, 0.0f);
    EXPECT_EQ(squashed->GetWorld()->_11, 1.0f);

    // An object whose matrix has no inverse cannot be told which way it faces: it keeps its matrix.
    const D3DXMATRIX flat(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1);
    auto degenerate = Placed(flat);
    Drag(*degenerate, {{50, 0}});
    EXPECT_EQ(*degenerate->GetWorld(), flat);
}
