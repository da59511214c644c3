// Elapsed time and frames per second for the frame loop, from timeGetTime. Both keep process-wide
// state shared by all callers and are meant for the frame-loop thread only.
#pragma once

#include "Win32Types.h"

// Milliseconds since the first call (which returns 0), as an unsigned 32-bit difference, so it stays
// right across the wrap-around of the clock.
DWORD DZGetAfterTime();

// Call once per frame. Returns the number of calls counted over the last period of at least 1000 ms;
// the first period is measured from clock time 0, so the first call usually returns 1.
DWORD DZFpsProc();
