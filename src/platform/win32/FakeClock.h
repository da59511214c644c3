// A millisecond clock that moves only when told to, installed as the source of timeGetTime while it is
// alive; Sleep advances it instead of waiting and is recorded. The previous clock and sleep are put
// back when it goes. For tests of timing code and for tools that replay frames.
#pragma once

#include "Win32Time.h"
#include "Win32Types.h"

#include <vector>

class FakeClock {
public:
    explicit FakeClock(DWORD start = 0);
    ~FakeClock();
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    DWORD Now() const { return m_now; }
    void Set(DWORD now) { m_now = now; }
    // Wraps around past 0xFFFFFFFF like the real clock.
    void Advance(DWORD milliseconds) { m_now += milliseconds; }

    // Every Sleep made while installed, in order.
    const std::vector<DWORD>& Sleeps() const { return m_sleeps; }

private:
    DWORD m_now;
    std::vector<DWORD> m_sleeps;
    MillisecondClock m_previousClock;
    SleepFunction m_previousSleep;
};
