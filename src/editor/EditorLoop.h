// The editor's run: start-up, then one pass of window events and one frame at a time until the user
// confirms closing the main window, then the device resources and the windows given up. The frame
// itself is CAPP::Loop.
#pragma once

#include "Win32Types.h"

#include <string>
#include <vector>

class MyForm;

// A frame lasts at least this long; a frame that took longer is not delayed.
constexpr DWORD kFrameMilliseconds = 16;

// Runs the editor in the application that exists. Returns 0 after a confirmed close, 1 when no graphics
// device could be made at start-up (the user has been told and the windows are gone again). The files
// are opened at start, one a frame, as the open commands would (see StartupFiles).
int RunEditor(const std::vector<std::string>& files = {});

// One pass: the window events, then the commands the window loop serves itself, then the frame; no
// frame once the main window is closed.
void RunEditorPass();

// What the loop does with the main window between the events and the frame: a requested coordinate
// pop-up opened afresh, and the secondary windows minimised or restored along with the main window.
void OpenRequestedControlBox(MyForm& form);
void MirrorMinimised(MyForm& form);

// Light 0 from the settings' light values, and lighting on or off as the main window's toggle says.
void ApplySettingsLight();

// How long a frame that began at `start` still sleeps at `now`; the difference is taken unsigned, so it
// stays right across the wrap-around of the millisecond clock.
DWORD FrameSleepTime(DWORD start, DWORD now);
