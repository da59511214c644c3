// The Windows console on Linux: the terminal the program was started from. Colours and the window
// title become ANSI escape sequences, written only when the console output is a terminal, so that
// redirected output stays plain text. Where the output goes is replaceable for tests.
#pragma once

#include "Win32Types.h"

#include <cstdio>

using HANDLE = void*;

constexpr DWORD STD_OUTPUT_HANDLE = static_cast<DWORD>(-11);

constexpr WORD FOREGROUND_BLUE = 0x0001;
constexpr WORD FOREGROUND_GREEN = 0x0002;
constexpr WORD FOREGROUND_RED = 0x0004;
constexpr WORD FOREGROUND_INTENSITY = 0x0008;

struct COORD {
    short X = 0;
    short Y = 0;
};

struct SMALL_RECT {
    short Left = 0;
    short Top = 0;
    short Right = 0;
    short Bottom = 0;
};

struct CONSOLE_SCREEN_BUFFER_INFO {
    COORD dwSize;
    COORD dwCursorPosition;
    WORD wAttributes = 0;
    SMALL_RECT srWindow;
    COORD dwMaximumWindowSize;
};

BOOL AllocConsole();
BOOL FreeConsole();
// The console's output handle while a console is attached, else null.
HANDLE GetStdHandle(DWORD which);
BOOL GetConsoleScreenBufferInfo(HANDLE output, CONSOLE_SCREEN_BUFFER_INFO* info);
BOOL SetConsoleTextAttribute(HANDLE output, WORD attributes);
BOOL SetConsoleTitleA(const char* title);

// A new unbuffered stream on the console output (standard output reopened on the console), so that
// text and colour changes reach the terminal in the order they were made. Null without a console.
std::FILE* OpenConsoleStream();

// Sends the console to another descriptor, telling whether it counts as a terminal; a negative
// descriptor restores standard output and its own terminal test.
void SetConsoleOutput(int descriptor, bool terminal);
