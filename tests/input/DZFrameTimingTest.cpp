// The timing functions keep process-wide state from their first call, so each is exercised by exactly
// one test, which must stay the only caller in this program.
#include "DZFrameTiming.h"
#include "FakeClock.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct FpsChange {
    DWORD time;
    DWORD fps;
};

// Calls DZFpsProc once per frame of the given length and records every time its answer changes.
std::vector<FpsChange> RunFrames(FakeClock& clock, int frames, DWORD frameMs, DWORD& fps) {
    std::vector<FpsChange> changes;
    for (int i = 0; i < frames; ++i) {
        clock.Advance(frameMs);
        const DWORD now = DZFpsProc();
        if (now != fps)
            changes.push_back({clock.Now(), now});
        fps = now;
    }
    return changes;
}

void ExpectChanges(const std::vector<FpsChange>& actual, const std::vector<FpsChange>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].time, expected[i].time) << i;
        EXPECT_EQ(actual[i].fps, expected[i].fps) << i;
    }
}

} // namespace

TEST(DZFrameTiming, FpsProcStartsAtOneAndChangesOncePerSecondAcrossTheClockWrap) {
    FakeClock clock(5000);
    DWORD fps = DZFpsProc();
    EXPECT_EQ(fps, 1u) << "the first period is measured from clock time 0";

    // 20 ms frames: 50 frames in every second from 5000 on.
    ExpectChanges(RunFrames(clock, 150, 20, fps), {{6000, 50}});
    EXPECT_EQ(fps, 50u);

    // Slower frames: a period ends at the first frame at least 1000 ms after the last one ended.
    ExpectChanges(RunFrames(clock, 10, 300, fps), {{9200, 4}});

    // Across the wrap-around of the millisecond clock the periods stay one second long.
    clock.Set(0xFFFFFE00u); // 512 ms before the wrap; the jump ends a period at once
    fps = DZFpsProc();
    EXPECT_EQ(fps, 3u);
    ExpectChanges(RunFrames(clock, 30, 50, fps), {{0x1E8u, 20}});
}

TEST(DZFrameTiming, AfterTimeCountsFromTheFirstCallAcrossTheClockWrap) {
    FakeClock clock(0xFFFFFF00u);
    EXPECT_EQ(DZGetAfterTime(), 0u);
    clock.Advance(0x80);
    EXPECT_EQ(DZGetAfterTime(), 0x80u);
    clock.Advance(0x180); // past the wrap
    EXPECT_EQ(clock.Now(), 0x100u);
    EXPECT_EQ(DZGetAfterTime(), 0x200u);
}
