#include "Win32Time.h"
#include "FakeClock.h"

#include <gtest/gtest.h>

#include <vector>

TEST(FakeClock, DrivesTimeGetTimeWrappingLikeTheRealClockAndSleepAdvancesIt) {
    FakeClock clock(0xFFFFFFF0u);
    EXPECT_EQ(timeGetTime(), 0xFFFFFFF0u);
    clock.Advance(0x20);
    EXPECT_EQ(timeGetTime(), 0x10u);
    Sleep(16);
    Sleep(0);
    EXPECT_EQ(timeGetTime(), 0x20u);
    EXPECT_EQ(clock.Sleeps(), (std::vector<DWORD>{16, 0}));
}

TEST(FakeClock, PutsThePreviousClockAndSleepBackWhenItGoes) {
    FakeClock outer(500);
    {
        FakeClock inner(9);
        Sleep(1);
        EXPECT_EQ(timeGetTime(), 10u);
    }
    EXPECT_EQ(timeGetTime(), 500u);
    Sleep(5);
    EXPECT_EQ(outer.Sleeps(), std::vector<DWORD>{5});
}

TEST(SystemTime, ConvertsTheBrokenDownLocalTime) {
    std::tm tm{};
    tm.tm_year = 124; // 2024
    tm.tm_mon = 1;    // February
    tm.tm_mday = 29;
    tm.tm_wday = 4;
    tm.tm_hour = 23;
    tm.tm_min = 5;
    tm.tm_sec = 60; // a leap second
    SYSTEMTIME st = SystemTimeFromTm(tm, 987654321L);
    EXPECT_EQ(st.wYear, 2024);
    EXPECT_EQ(st.wMonth, 2);
    EXPECT_EQ(st.wDay, 29);
    EXPECT_EQ(st.wDayOfWeek, 4);
    EXPECT_EQ(st.wHour, 23);
    EXPECT_EQ(st.wMinute, 5);
    EXPECT_EQ(st.wSecond, 59);
    EXPECT_EQ(st.wMilliseconds, 987);
    EXPECT_EQ(SystemTimeFromTm(tm, -1).wMilliseconds, 0);
    GetLocalTime(nullptr);
}
