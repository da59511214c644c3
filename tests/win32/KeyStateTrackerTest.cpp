#include "KeyStateTracker.h"
#include "Win32Input.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

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

// What one frame sees of the key after the events between frames, starting from a key that is up.
TEST(KeyStateTracker, ATapBetweenFramesIsDownForExactlyTheNextFrame) {
    struct Case {
        const char* events; // d = press, u = release, f = a frame begins
        const char* seen;   // what each frame saw: 1 down, 0 up
    };
    const Case cases[] = {
        {"duf", "1"},      // a tap between frames
        {"dufff", "100"},  // counted once
        {"dfuf", "10"},    // an ordinary press and release
        {"dfddduf", "10"}, // auto-repeat presses of a held key are no new press
        {"dufduf", "11"},  // two taps, one in each gap
        {"dudfuf", "10"},  // two taps in one gap count as one
    };
    for (const Case& c : cases) {
        KeyStateTracker keys;
        std::string seen;
        for (const char* event = c.events; *event != '\0'; ++event) {
            if (*event == 'd')
                keys.KeyDown(VK_DELETE);
            else if (*event == 'u')
                keys.KeyUp(VK_DELETE);
            else {
                keys.BeginFrame();
                seen += keys.IsDown(VK_DELETE) ? '1' : '0';
            }
        }
        EXPECT_EQ(seen, c.seen) << c.events;
    }
    KeyStateTracker keys;
    keys.KeyDown(VK_LSHIFT);
    keys.KeyUp(VK_SHIFT);
    keys.BeginFrame();
    EXPECT_TRUE(keys.IsDown(VK_SHIFT)) << "a tapped side counts for the sideless query";
    keys.FocusLost();
    EXPECT_FALSE(keys.IsDown(VK_SHIFT)) << "and focus loss forgets it";
}
