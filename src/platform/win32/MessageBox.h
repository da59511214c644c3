// Win32 message boxes on Linux. The library shows its fixed error texts through MessageBoxA; what
// actually presents them is replaceable: standard error by default, a dialog in the editor, a
// recorder in tests.
#pragma once

#include "Win32Types.h"

#include <functional>
#include <string>

constexpr unsigned MB_OK = 0x00000000u;
constexpr unsigned MB_OKCANCEL = 0x00000001u;
constexpr unsigned MB_YESNO = 0x00000004u;
constexpr unsigned MB_ICONERROR = 0x00000010u;
constexpr unsigned MB_ICONHAND = MB_ICONERROR;
constexpr unsigned MB_ICONWARNING = 0x00000030u;
constexpr unsigned MB_ICONINFORMATION = 0x00000040u;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

using MessageBoxPresenter =
    std::function<int(HWND owner, const std::string& text, const std::string& caption, unsigned type)>;

// Shows the message through the installed presenter and returns the button the user chose.
int MessageBoxA(HWND owner, const char* text, const char* caption, unsigned type);

// Installs a presenter and returns the previous one; an empty presenter restores the default.
MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter);

// The default presenter: writes "caption: text" to standard error and answers IDOK.
int PresentMessageOnStandardError(HWND owner, const std::string& text, const std::string& caption,
                                  unsigned type);
