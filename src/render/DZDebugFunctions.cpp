#include "DZDebugFunctions.h"

#include "MessageBox.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// A character cut in two by the buffer's end would show as garbage; drop its first bytes instead.
void TrimPartialCharacter(char* text) {
    std::size_t length = std::strlen(text);
    std::size_t start = length;
    while (start > 0 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80)
        --start;
    if (start == 0)
        return;
    const auto lead = static_cast<unsigned char>(text[start - 1]);
    const std::size_t needed = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (lead >= 0xC0 && length - (start - 1) < needed)
        text[start - 1] = '\0';
}

} // namespace

void DZMsgBox_OK2(const char* caption, const char* format, ...) {
    char text[256] = {};
    if (format != nullptr) {
        va_list arguments;
        va_start(arguments, format);
        const int needed = std::vsnprintf(text, sizeof text, format, arguments);
        va_end(arguments);
        if (needed >= static_cast<int>(sizeof text))
            TrimPartialCharacter(text);
    }
    MessageBoxA(nullptr, text, caption, MB_OK);
}

void DZOutPutDebugTab(const char*, ...) {}
