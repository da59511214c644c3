#include "DZGetAction.h"
#include "KeyFrames.h"

#include <gtest/gtest.h>

#include <climits>
#include <string_view>
#include <vector>

namespace {

using States = std::vector<int>;

class DZGetActionTest : public testing::Test {
protected:
    void SetUp() override { ReleaseAllInput(); }
    void TearDown() override { ReleaseAllInput(); }

    static States OneLevel(std::string_view frames) {
        int state = 0;
        return StatesOver(VK_DELETE, frames, [&] {
            DZGetAction(VK_DELETE, &state);
            return state;
        });
    }

    using ActionWithWait = void (*)(DWORD, D3DXZORVACTIONPARAMETER*, int);
    static States WithWait(ActionWithWait action, std::string_view frames, int wait,
                           D3DXZORVACTIONPARAMETER* key = nullptr) {
        D3DXZORVACTIONPARAMETER local;
        D3DXZORVACTIONPARAMETER& k = key ? *key : local;
        return StatesOver('Q', frames, [&] {
            action('Q', &k, wait);
            return k.iState;
        });
    }
};

} // namespace

TEST_F(DZGetActionTest, OneLevelEdges) {
    EXPECT_EQ(OneLevel(".x."), (States{0, 2, 0})) << "a one-frame press has no release edge";
    EXPECT_EQ(OneLevel("xxx.."), (States{2, 4, 4, 1, 0}));
    EXPECT_EQ(OneLevel("xx.x"), (States{2, 4, 1, 4})) << "a press right after the release edge";
}

TEST_F(DZGetActionTest, TwoLevelRefusesPressesTooSoonButHoldsThemLikeAnyOther) {
    // Accepted at frame 0; frame 9 is too soon, frame 10 is not.
    EXPECT_EQ(WithWait(DZGetAction2, "x........x", 10).back(), DZACTION_REFUSED);
    EXPECT_EQ(WithWait(DZGetAction2, "x.........x", 10).back(), DZACTION_PUSH);
    EXPECT_EQ(WithWait(DZGetAction2, "x....xxx..", 10), (States{2, 0, 0, 0, 0, 3, 4, 4, 1, 0}));
    EXPECT_EQ(WithWait(DZGetAction2, "xx.x", 10), (States{2, 4, 1, 4})) << "a press right after the release";
}

TEST_F(DZGetActionTest, ThreeLevelHoldsARefusedPressApartAndEndsItWithoutARelease) {
    D3DXZORVACTIONPARAMETER key;
    EXPECT_EQ(WithWait(DZGetAction3, "x....xx", 10, &key), (States{2, 0, 0, 0, 0, 3, 5}));
    EXPECT_EQ(key.iRejectFlg, 1);
    EXPECT_EQ(WithWait(DZGetAction3, "x...x", 10, &key), (States{5, 0, 0, 0, 2}))
        << "counted from the accepted press, not from the refused one";
    EXPECT_EQ(key.iRejectFlg, 0);
    EXPECT_EQ(WithWait(DZGetAction3, "xx.xx.", 10), (States{2, 4, 1, 4, 4, 1}))
        << "a press right after the release edge";
}

TEST_F(DZGetActionTest, WaitsOfZeroOrLessAcceptEveryPressAndTheLargestDoesNotOverflow) {
    EXPECT_EQ(WithWait(DZGetAction2, "x.x", 0), (States{2, 0, 2}));
    EXPECT_EQ(WithWait(DZGetAction3, "x.x", -3), (States{2, 0, 2}));

    D3DXZORVACTIONPARAMETER key;
    EXPECT_EQ(WithWait(DZGetAction3, "x.x.", INT_MAX, &key), (States{2, 0, 3, 0}));
    EXPECT_EQ(key.iCount, 4);
    D3DXZORVACTIONPARAMETER idle;
    WithWait(DZGetAction2, "..", INT_MAX, &idle);
    EXPECT_EQ(idle.iCount, INT_MAX);
}

TEST_F(DZGetActionTest, NullRecordsAndImpossibleCodesAreHarmless) {
    DZGetAction('Q', nullptr);
    DZGetAction2('Q', nullptr, 3);
    DZGetAction3('Q', nullptr, 3);
    DZGetActionWASD(nullptr, 0);
    DZGetActionCursor(nullptr, 0);

    KeyStateTracker::GetInstance().KeyDown('Q');
    int state = 0;
    DZGetAction(0xFFFFFF00u + 'Q', &state); // would be 'Q' if cut down to a byte
    DZGetAction(0xFFFFFFFFu, &state);
    EXPECT_EQ(state, DZACTION_NONE);
}

TEST_F(DZGetActionTest, WasdAndArrowKeysEachFillTheirOwnMember) {
    const std::vector<int> memberKeys{'W', 'A', 'S', 'D', VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT};
    for (int vKey : memberKeys) {
        ReleaseAllInput();
        KeyStateTracker::GetInstance().KeyDown(vKey);
        D3DXZORV_WASD_KEY wasd;
        D3DXZORV_CURSOLKEY arrows;
        DZGetActionWASD(&wasd, 10);
        DZGetActionCursor(&arrows, 10);
        const States actual{wasd.W.iState,    wasd.A.iState,      wasd.S.iState,      wasd.D.iState,
                            arrows.Up.iState, arrows.Down.iState, arrows.Left.iState, arrows.Right.iState};
        States expected;
        for (int k : memberKeys)
            expected.push_back(k == vKey ? DZACTION_PUSH : DZACTION_NONE);
        EXPECT_EQ(actual, expected) << vKey;
    }
}
