// Invariants of fuzz targets: a broken one aborts with a message, which libFuzzer reports as a crash
// and saves the input for. The message also goes to the sanitizers' report, which libFuzzer keeps
// when it closes standard error to quiet the readers' own warnings.
#pragma once

#include <cstdio>
#include <cstdlib>

extern "C" __attribute__((weak)) void __sanitizer_report_error_summary(const char* summary);

inline void FuzzCheck(bool holds, const char* what) {
    if (holds)
        return;
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    if (__sanitizer_report_error_summary)
        __sanitizer_report_error_summary(what);
    std::abort();
}
