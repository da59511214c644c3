#include "Win32Console.h"

#include <string>
#include <unistd.h>

namespace {

struct ConsoleState {
    bool attached = false;
    int descriptor = -1; // -1: standard output
    bool terminal = false;
    WORD attributes = FOREGROUND_RED | FOREGROUND_GREEN | FOREGROUND_BLUE;
};

ConsoleState& State() {
    static ConsoleState state;
    return state;
}

int OutputDescriptor() {
    return State().descriptor >= 0 ? State().descriptor : STDOUT_FILENO;
}

bool IsTerminal() {
    return State().descriptor >= 0 ? State().terminal : isatty(STDOUT_FILENO) == 1;
}

HANDLE ConsoleHandle() {
    static int token = 0;
    return &token;
}

void WriteEscape(const std::string& sequence) {
    if (!IsTerminal())
        return;
    std::size_t written = 0;
    while (written < sequence.size()) {
        const ssize_t n = write(OutputDescriptor(), sequence.data() + written, sequence.size() - written);
        if (n <= 0)
            return;
        written += static_cast<std::size_t>(n);
    }
}

// The console's foreground bits (blue 1, green 2, red 4, bright 8) as an ANSI colour; the console's
// plain grey is the terminal's own default.
std::string ColourSequence(WORD attributes) {
    const WORD foreground = attributes & 0x0F;
    if (foreground == (FOREGROUND_RED | FOREGROUND_GREEN | FOREGROUND_BLUE))
        return "\x1b[0m";
    const int ansi = ((foreground & FOREGROUND_RED) ? 1 : 0) | ((foreground & FOREGROUND_GREEN) ? 2 : 0) |
                     ((foreground & FOREGROUND_BLUE) ? 4 : 0);
    const int base = (foreground & FOREGROUND_INTENSITY) ? 90 : 30;
    return "\x1b[0;" + std::to_string(base + ansi) + "m";
}

} // namespace

BOOL AllocConsole() {
    if (State().attached)
        return FALSE;
    State().attached = true;
    return TRUE;
}

BOOL FreeConsole() {
    const bool was = State().attached;
    State().attached = false;
    return was ? TRUE : FALSE;
}

HANDLE GetStdHandle(DWORD which) {
    return which == STD_OUTPUT_HANDLE && State().attached ? ConsoleHandle() : nullptr;
}

BOOL GetConsoleScreenBufferInfo(HANDLE output, CONSOLE_SCREEN_BUFFER_INFO* info) {
    if (output != ConsoleHandle() || info == nullptr)
        return FALSE;
    *info = CONSOLE_SCREEN_BUFFER_INFO{};
    info->wAttributes = State().attributes;
    return TRUE;
}

BOOL SetConsoleTextAttribute(HANDLE output, WORD attributes) {
    if (output != ConsoleHandle())
        return FALSE;
    State().attributes = attributes;
    WriteEscape(ColourSequence(attributes));
    return TRUE;
}

BOOL SetConsoleTitleA(const char* title) {
    if (!State().attached || title == nullptr)
        return FALSE;
    std::string safe;
    // Control characters would end the title sequence early or start another one.
    for (const char* c = title; *c != '\0'; ++c)
        safe += static_cast<unsigned char>(*c) < 0x20 || *c == 0x7F ? ' ' : *c;
    WriteEscape("\x1b]0;" + safe + "\x07");
    return TRUE;
}

std::FILE* OpenConsoleStream() {
    if (!State().attached)
        return nullptr;
    const int copy = dup(OutputDescriptor());
    if (copy < 0)
        return nullptr;
    std::FILE* stream = fdopen(copy, "w");
    if (stream == nullptr) {
        close(copy);
        return nullptr;
    }
    std::setvbuf(stream, nullptr, _IONBF, 0);
    return stream;
}

void SetConsoleOutput(int descriptor, bool terminal) {
    State().descriptor = descriptor;
    State().terminal = descriptor >= 0 && terminal;
}
