#include "DZFrameTiming.h"

#include "Win32Time.h"

DWORD DZGetAfterTime() {
    // One reading per call, so that the first call returns exactly 0.
    const DWORD now = timeGetTime();
    static const DWORD startTime = now;
    return now - startTime;
}

DWORD DZFpsProc() {
    static DWORD saveTime = 0;
    static DWORD baseTime = 0;
    static DWORD framesThisPeriod = 0;
    static DWORD framesLastPeriod = 0;

    saveTime = timeGetTime();
    ++framesThisPeriod;
    if (saveTime - baseTime >= 1000) {
        baseTime = timeGetTime();
        framesLastPeriod = framesThisPeriod;
        framesThisPeriod = 0;
    }
    return framesLastPeriod;
}
