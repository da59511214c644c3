#include "Win32Time.h"

#include <chrono>
#include <thread>
#include <utility>

namespace {

DWORD MonotonicMilliseconds() {
    const auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count();
    // Keeping the low 32 bits is the wrap-around callers expect.
    return static_cast<DWORD>(static_cast<std::uint64_t>(ms));
}

void SleepThread(DWORD milliseconds) {
    if (milliseconds == 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

MillisecondClock& InstalledClock() {
    static MillisecondClock clock = MonotonicMilliseconds;
    return clock;
}

SleepFunction& InstalledSleep() {
    static SleepFunction sleep = SleepThread;
    return sleep;
}

WORD ToWord(long value) {
    return static_cast<WORD>(value);
}

} // namespace

DWORD timeGetTime() {
    return InstalledClock()();
}

void Sleep(DWORD milliseconds) {
    InstalledSleep()(milliseconds);
}

SYSTEMTIME SystemTimeFromTm(const std::tm& tm, long nanoseconds) {
    SYSTEMTIME st;
    st.wYear = ToWord(tm.tm_year + 1900L);
    st.wMonth = ToWord(tm.tm_mon + 1L);
    st.wDayOfWeek = ToWord(tm.tm_wday);
    st.wDay = ToWord(tm.tm_mday);
    st.wHour = ToWord(tm.tm_hour);
    st.wMinute = ToWord(tm.tm_min);
    // A leap second (tm_sec 60) is shown as the last second of its minute, which SYSTEMTIME can hold.
    st.wSecond = ToWord(tm.tm_sec > 59 ? 59 : tm.tm_sec);
    st.wMilliseconds = ToWord(nanoseconds >= 0 && nanoseconds < 1000000000L ? nanoseconds / 1000000L : 0);
    return st;
}

namespace {

std::function<SYSTEMTIME()>& InstalledLocalTime() {
    static std::function<SYSTEMTIME()> source;
    return source;
}

} // namespace

LocalTimeSource SetLocalTimeSource(LocalTimeSource source) {
    return std::exchange(InstalledLocalTime(), std::move(source));
}

void GetLocalTime(SYSTEMTIME* time) {
    if (!time)
        return;
    if (InstalledLocalTime()) {
        *time = InstalledLocalTime()();
        return;
    }
    timespec now{};
    std::tm local{};
    if (clock_gettime(CLOCK_REALTIME, &now) != 0 || !localtime_r(&now.tv_sec, &local))
        return;
    *time = SystemTimeFromTm(local, now.tv_nsec);
}

MillisecondClock SetMillisecondClock(MillisecondClock clock) {
    if (!clock)
        clock = MonotonicMilliseconds;
    return std::exchange(InstalledClock(), std::move(clock));
}

SleepFunction SetSleepFunction(SleepFunction sleep) {
    if (!sleep)
        sleep = SleepThread;
    return std::exchange(InstalledSleep(), std::move(sleep));
}
