#include "DZMouse.h"
#include "KeyFrames.h"
#include "WindowRegistry.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using States = std::vector<int>;

class ViewWindow : public PlatformWindow {
public:
    POINT ClientOriginOnScreen() const override { return {400, 300}; }
    bool IsActive() const override { return false; }
    HWND Handle() { return reinterpret_cast<HWND>(this); }
};

class DZMouseTest : public testing::Test {
protected:
    void SetUp() override {
        ReleaseAllInput();
        WindowRegistry::GetInstance().Register(m_view.Handle(), &m_view);
    }
    void TearDown() override {
        WindowRegistry::GetInstance().Unregister(m_view.Handle());
        ReleaseAllInput();
    }

    static void PutCursorAt(LONG x, LONG y) { KeyStateTracker::GetInstance().SetCursorScreenPos({x, y}); }

    ViewWindow m_view;
};

} // namespace

TEST_F(DZMouseTest, WithoutAWaitEveryButtonPressIsAccepted) {
    D3DXZORVMOUSEBUTTON buttons;
    States left = StatesOver(VK_LBUTTON, "x.x.xxx.", [&] {
        DZGetMouseButtonAction(&buttons, 0);
        return buttons.Left.iState;
    });
    EXPECT_EQ(left, (States{2, 0, 2, 0, 2, 4, 4, 1}));
    DZGetMouseButtonAction(nullptr, 0);
}

TEST_F(DZMouseTest, EachButtonFillsItsOwnMember) {
    for (int code : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON}) {
        ReleaseAllInput();
        KeyStateTracker::GetInstance().KeyDown(code);
        D3DXZORVMOUSEBUTTON buttons;
        DZGetMouseButtonAction(&buttons, 0);
        EXPECT_EQ(
            (States{buttons.Left.iState, buttons.Right.iState, buttons.Middle.iState}),
            (States{code == VK_LBUTTON ? 2 : 0, code == VK_RBUTTON ? 2 : 0, code == VK_MBUTTON ? 2 : 0}))
            << code;
    }
}

TEST_F(DZMouseTest, ClientPositionIsRelativeToTheClientAreaAndNegativeLeftOfIt) {
    POINT pt;
    PutCursorAt(410, 350);
    DZGetMouseClientPos(m_view.Handle(), &pt);
    EXPECT_EQ(pt.x, 10);
    EXPECT_EQ(pt.y, 50);
    PutCursorAt(250, 280);
    DZGetMouseClientPos(m_view.Handle(), &pt);
    EXPECT_EQ(pt.x, -150);
    EXPECT_EQ(pt.y, -20);
}

TEST_F(DZMouseTest, ScreenPositionIsTheCursorForKnownAndUnknownWindowsAlike) {
    PutCursorAt(-70, 1500);
    for (HWND hwnd : {m_view.Handle(), HWND{}}) {
        POINT pt;
        DZGetMouseScreenPos(hwnd, &pt);
        EXPECT_EQ(pt.x, -70);
        EXPECT_EQ(pt.y, 1500);
    }
    POINT pt;
    DZGetMouseClientPos(nullptr, &pt);
    EXPECT_EQ(pt.x, -70) << "no window: left in screen coordinates";
    DZGetMouseClientPos(m_view.Handle(), nullptr);
    DZGetMouseScreenPos(m_view.Handle(), nullptr);
}
