#include "D3DZCFILE.h"

#include "MessageBox.h"

#include <climits>
#include <cstdarg>
#include <cstddef>
#include <string>
#include <utility>

namespace {

// The message buffer of the open-error box, terminating zero included.
constexpr std::size_t kOpenErrorBufferSize = 256;

constexpr const char* kOpenErrorCaption = "ファイルオープンエラー";
constexpr const char* kOpenErrorHint = "がない可能性があります。\nパスとファイル名の確認をしてください";

bool IsUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u;
}

// Cuts the text to fit the buffer. A plain byte cut could split a multibyte character and hand the
// dialog broken UTF-8, so the cut moves back to the start of the character it would split.
std::string FitOpenErrorBuffer(std::string text) {
    const std::size_t limit = kOpenErrorBufferSize - 1;
    if (text.size() <= limit) {
        return text;
    }
    std::size_t cut = limit;
    while (cut > 0 && IsUtf8Continuation(text[cut])) {
        --cut;
    }
    text.resize(cut);
    return text;
}

void ShowOpenError(const char* filename) {
    // The file name goes in as data, never as a format, so a '%' in a path is shown as it is.
    std::string text = filename != nullptr ? filename : "";
    text += kOpenErrorHint;
    const std::string shown = FitOpenErrorBuffer(std::move(text));
    MessageBoxA(nullptr, shown.c_str(), kOpenErrorCaption, MB_OK);
}

} // namespace

D3DZCFILE::~D3DZCFILE() {
    CloseFile();
}

void D3DZCFILE::LoadFile(const char* filename, const char* mode) {
    // A second open would otherwise leak the first stream.
    CloseFile();
    if (filename != nullptr && mode != nullptr) {
        m_fp = std::fopen(filename, mode);
    }
    if (m_fp == nullptr) {
        ShowOpenError(filename);
    }
}

void D3DZCFILE::CloseFile() {
    if (m_fp != nullptr) {
        std::fclose(m_fp);
        m_fp = nullptr;
    }
}

void D3DZCFILE::BinaryRead(void* dszbuffer, unsigned count) {
    if (m_fp == nullptr || dszbuffer == nullptr) {
        return;
    }
    std::fread(dszbuffer, 4, count, m_fp);
}

void D3DZCFILE::BinaryWrite(void* dszbuffer, unsigned count) {
    if (m_fp == nullptr || dszbuffer == nullptr) {
        return;
    }
    std::fwrite(dszbuffer, 4, count, m_fp);
}

void D3DZCFILE::GetChar(int* ch) {
    if (ch == nullptr) {
        return;
    }
    *ch = m_fp != nullptr ? std::fgetc(m_fp) : EOF;
}

void D3DZCFILE::GetStr(char* str, unsigned MaxCount) {
    if (str == nullptr || MaxCount == 0) {
        return;
    }
    // fgets leaves the buffer as it was at end of file; an empty string keeps a caller's loop from
    // seeing the previous line again.
    str[0] = '\0';
    if (m_fp == nullptr) {
        return;
    }
    const int size = MaxCount > static_cast<unsigned>(INT_MAX) ? INT_MAX : static_cast<int>(MaxCount);
    if (std::fgets(str, size, m_fp) == nullptr) {
        str[0] = '\0';
    }
}

void D3DZCFILE::PutChar(int* ch) {
    if (m_fp == nullptr || ch == nullptr) {
        return;
    }
    std::fputc(*ch, m_fp);
}

void D3DZCFILE::PutStr(const char* str) {
    if (m_fp == nullptr || str == nullptr) {
        return;
    }
    std::fputs(str, m_fp);
}

void D3DZCFILE::Printf(const char* format, ...) {
    if (m_fp == nullptr || format == nullptr) {
        return;
    }
    va_list args;
    va_start(args, format);
    std::vfprintf(m_fp, format, args);
    va_end(args);
}
