#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

// Windows need an application. Without an X display the tests run on Qt's offscreen platform, so
// everything but GL-backed views is still checked.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (std::getenv("DISPLAY") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
