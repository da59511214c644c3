#pragma once

#include <gtest/gtest.h>

// Ends the test as skipped when the fixture's window never became active (m_active): keys and menu
// commands act in the active window only, so the checks would measure the window system instead.
// A macro because a skip inside a helper function only leaves the helper.
#define REQUIRE_ACTIVE()                                                                                     \
    do {                                                                                                     \
        if (!m_active)                                                                                       \
            GTEST_SKIP() << "the window system did not activate the main window";                            \
    } while (false)
