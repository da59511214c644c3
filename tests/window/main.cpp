#include "TestDisplay.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdlib>
#include <memory>

// The application must exist before any window; without a display every test skips itself.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    UseDisplayGivenByCTest();
    std::unique_ptr<QGuiApplication> application;
    if (std::getenv("DISPLAY") != nullptr)
        application = std::make_unique<QGuiApplication>(argc, argv);
    return RUN_ALL_TESTS();
}
