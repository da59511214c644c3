#include "FakeClock.h"

#include <utility>

FakeClock::FakeClock(DWORD start) : m_now(start) {
    m_previousClock = SetMillisecondClock([this] { return m_now; });
    m_previousSleep = SetSleepFunction([this](DWORD milliseconds) {
        m_sleeps.push_back(milliseconds);
        Advance(milliseconds);
    });
}

FakeClock::~FakeClock() {
    SetMillisecondClock(std::move(m_previousClock));
    SetSleepFunction(std::move(m_previousSleep));
}
