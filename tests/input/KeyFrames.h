// Plays frames of key input through the application-wide key tracker, the way the toolkit feeds it
// between frames, and collects the action state read after each frame's call.
#pragma once

#include "KeyStateTracker.h"

#include <string_view>
#include <vector>

// Every key up and the cursor at the origin, so tests do not see each other's input.
inline void ReleaseAllInput() {
    KeyStateTracker::GetInstance().FocusLost();
    KeyStateTracker::GetInstance().SetCursorScreenPos({0, 0});
}

// One character per frame: 'x' the key is down, anything else it is up. sampleFrame runs the action
// function of the frame and returns the state it wrote.
template <class SampleFrame>
std::vector<int> StatesOver(int vKey, std::string_view frames, SampleFrame sampleFrame) {
    std::vector<int> states;
    for (char frame : frames) {
        if (frame == 'x')
            KeyStateTracker::GetInstance().KeyDown(vKey);
        else
            KeyStateTracker::GetInstance().KeyUp(vKey);
        states.push_back(sampleFrame());
    }
    return states;
}
