// Small diagnostics of the library: a formatted message box and a debug-output hook.
#pragma once

// Formats into at most 255 bytes (cut at a whole UTF-8 character) and shows it in an OK box.
void DZMsgBox_OK2(const char* caption, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Accepts what a debug trace would print and prints nothing: release builds keep their calls.
void DZOutPutDebugTab(const char* format, ...) __attribute__((format(printf, 1, 2)));
