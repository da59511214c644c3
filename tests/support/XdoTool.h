// Real input through the X server the test runs on: xdotool's key events go through the window system
// to whichever window has the keyboard focus, exactly as a user's keys do. Tests that need it skip
// where xdotool is not installed.
#pragma once

#include <cstdlib>
#include <string>

inline bool HaveXdoTool() {
    return std::getenv("DISPLAY") != nullptr && std::system("command -v xdotool >/dev/null 2>&1") == 0;
}

// Runs "xdotool <arguments>" on the test's display, bounded so that a search that never matches
// cannot hang the test; true when it succeeded.
inline bool XdoTool(const std::string& arguments, int seconds = 10) {
    const std::string command =
        "timeout " + std::to_string(seconds) + " xdotool " + arguments + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}
