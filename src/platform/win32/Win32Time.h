// The Win32 millisecond clock, sleep and local time. The clock and the sleep are replaceable so that
// frame timing can be tested without waiting (see FakeClock).
#pragma once

#include "Win32Types.h"

#include <ctime>
#include <functional>

struct SYSTEMTIME {
    WORD wYear = 0;
    WORD wMonth = 0;     // 1 = January
    WORD wDayOfWeek = 0; // 0 = Sunday
    WORD wDay = 0;
    WORD wHour = 0;
    WORD wMinute = 0;
    WORD wSecond = 0;
    WORD wMilliseconds = 0;
};

// Milliseconds from a monotonic clock; wraps around as an unsigned 32-bit value every 49.7 days, so
// intervals are taken as unsigned differences.
DWORD timeGetTime();

// Suspends the calling thread for at least the given milliseconds; 0 gives up the rest of the slice.
void Sleep(DWORD milliseconds);

// The current wall-clock time in the local time zone. A null pointer is ignored.
void GetLocalTime(SYSTEMTIME* time);

// A broken-down local time plus the nanoseconds within its second, as SYSTEMTIME.
SYSTEMTIME SystemTimeFromTm(const std::tm& tm, long nanoseconds);

using MillisecondClock = std::function<DWORD()>;
using LocalTimeSource = std::function<SYSTEMTIME()>;
using SleepFunction = std::function<void(DWORD milliseconds)>;

// Install a replacement and return the previous one; an empty function restores the real one.
MillisecondClock SetMillisecondClock(MillisecondClock clock);
SleepFunction SetSleepFunction(SleepFunction sleep);
// An empty source restores the real local time.
LocalTimeSource SetLocalTimeSource(LocalTimeSource source);
