// A diagnostic console beside the program: a start banner with the library version and the time, a
// record of the run appended to "DXZorvTimeLog.txt" in the working directory, and a closing banner.
// On Linux the console is the terminal the program was started from.
#pragma once

#include "Win32Console.h"
#include "Win32Time.h"

#include <cstdio>

class D3DZCDebugWindow {
public:
    D3DZCDebugWindow() = default;

    // Does nothing while this object's console is open.
    void MakeWindow();
    // Prints the local time as "2015.04.03  9:05:07".
    void DayOut();
    // Without an open console, an error box and nothing else.
    void Release();

    std::FILE* GetConsole() const { return m_fpConsole; }

private:
    void PrintBanner();
    void AppendTimeLog();

    std::FILE* m_fpConsole = nullptr;
    SYSTEMTIME m_Time;
    CONSOLE_SCREEN_BUFFER_INFO m_csbi;
    HANDLE m_hStdOut = nullptr;
    WORD m_wAttribute = 0;
};
