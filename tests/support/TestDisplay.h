#pragma once

#include <cstdlib>
#include <string>

// ctest hands each window test an X server of its own as "id:x<number>,slots:1" (see run.sh), so that
// windows of tests running side by side never take the keyboard focus from each other. Without that
// hand-out the test keeps the DISPLAY it was started with.
inline void UseDisplayGivenByCTest() {
    const char* given = std::getenv("CTEST_RESOURCE_GROUP_0_DISPLAYS");
    if (given == nullptr)
        return;
    const std::string text = given;
    const std::string prefix = "id:x";
    if (text.rfind(prefix, 0) != 0)
        return;
    const std::string number = text.substr(prefix.size(), text.find(',') - prefix.size());
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
        return;
    setenv("DISPLAY", (":" + number).c_str(), 1);
}
