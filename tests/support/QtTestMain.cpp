#include "TestDisplay.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

// Windows need an application. Without an X display the tests run on Qt's offscreen platform, so
// everything but GL-backed views is still checked; a display that refuses the connection falls back to
// it too instead of aborting the test.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    UseDisplayGivenByCTest();
    setenv("QT_QPA_PLATFORM", std::getenv("DISPLAY") == nullptr ? "offscreen" : "xcb;offscreen", 0);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
