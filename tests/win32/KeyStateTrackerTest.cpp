#include "KeyStateTracker.h"
#include "Win32Input.h"

#include <gtest/gtest.h>

#include <climits>

TEST(KeyStateTracker, KeysAndButtonsAreDownFromPressToRelease) {
    KeyStateTracker keys;
    keys.KeyDown('C');
    keys.KeyDown('C'); // auto-repeat
    keys.KeyDown(VK_LBUTTON);
    EXPECT_TRUE(keys.IsDown('C'));
    EXPECT_FALSE(keys.IsDown(VK_RBUTTON));
    keys.KeyUp('C');
    EXPECT_FALSE(keys.IsDown('C'));
    EXPECT_TRUE(keys.IsDown(VK_LBUTTON));
}

TEST(KeyStateTracker, ModifiersBySideAndSideless) {
    KeyStateTracker keys;
    keys.KeyDown(VK_RSHIFT);
    keys.KeyDown(VK_LSHIFT);
    keys.KeyUp(VK_RSHIFT);
    EXPECT_TRUE(keys.IsDown(VK_SHIFT)) << "the left key is still held";
    EXPECT_FALSE(keys.IsDown(VK_RSHIFT));
    keys.KeyDown(VK_RMENU);
    EXPECT_TRUE(keys.IsDown(VK_MENU));
    EXPECT_FALSE(keys.IsDown(VK_CONTROL));

    // A sideless press is the left key; a sideless release lets go of both.
    keys.KeyDown(VK_CONTROL);
    EXPECT_TRUE(keys.IsDown(VK_LCONTROL));
    EXPECT_FALSE(keys.IsDown(VK_RCONTROL));
    keys.KeyDown(VK_RCONTROL);
    keys.KeyUp(VK_CONTROL);
    EXPECT_FALSE(keys.IsDown(VK_CONTROL));
}

TEST(KeyStateTracker, FocusLostLetsGoOfEverythingButKeepsTheCursor) {
    KeyStateTracker keys;
    keys.KeyDown(VK_DELETE);
    keys.KeyDown(VK_LMENU);
    keys.KeyDown(VK_MBUTTON);
    keys.SetCursorScreenPos({-30, 1200});
    keys.FocusLost();
    EXPECT_FALSE(keys.IsDown(VK_DELETE));
    EXPECT_FALSE(keys.IsDown(VK_MENU));
    EXPECT_FALSE(keys.IsDown(VK_MBUTTON));
    EXPECT_EQ(keys.CursorScreenPos().x, -30);
    EXPECT_EQ(keys.CursorScreenPos().y, 1200);
}

TEST(KeyStateTracker, CodesOutsideTheKeyRangeAreIgnored) {
    KeyStateTracker keys;
    for (int code : {0, -1, 256, 0x1FF, INT_MIN, INT_MAX}) {
        keys.KeyDown(code);
        EXPECT_FALSE(keys.IsDown(code)) << code;
        keys.KeyUp(code);
    }
    EXPECT_FALSE(keys.IsDown(0xFF)) << "0x1FF must not alias onto 0xFF";
}

TEST(GetAsyncKeyState, SetsTheDownBitAndIsZeroWhenUp) {
    KeyStateTracker& keys = KeyStateTracker::GetInstance();
    keys.FocusLost();
    keys.KeyDown(VK_F10);
    keys.KeyDown(VK_RCONTROL);
    EXPECT_NE(GetAsyncKeyState(VK_F10) & 0x8000, 0);
    EXPECT_NE(GetAsyncKeyState(VK_CONTROL) & 0x8000, 0);
    EXPECT_EQ(GetAsyncKeyState(VK_LCONTROL), 0) << "the whole value is 0 while up";
    EXPECT_EQ(GetAsyncKeyState(-5), 0);
    keys.FocusLost();
    EXPECT_EQ(GetAsyncKeyState(VK_F10), 0);
}
