// Invariants of fuzz targets: a broken one aborts with a message, which libFuzzer reports as a crash
// and saves the input for.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void FuzzCheck(bool holds, const char* what) {
    if (holds)
        return;
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::abort();
}
