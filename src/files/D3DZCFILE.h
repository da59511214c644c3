// A thin owner of a C file stream, for the library's logs and small files.
#pragma once

#include <cstdio>

class D3DZCFILE {
public:
    D3DZCFILE() = default;
    ~D3DZCFILE();
    D3DZCFILE(const D3DZCFILE&) = delete;
    D3DZCFILE& operator=(const D3DZCFILE&) = delete;

    // Opens the file with an fopen-style mode. On failure a message box names the file and the stream
    // stays null.
    void LoadFile(const char* filename, const char* mode);
    void CloseFile();

    // The operations below expect an open stream.
    void BinaryRead(void* dszbuffer, unsigned count);
    void BinaryWrite(void* dszbuffer, unsigned count);
    void GetChar(int* ch);
    void GetStr(char* str, unsigned MaxCount);
    void PutChar(int* ch);
    void PutStr(const char* str);
    void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

    std::FILE* m_fp = nullptr;
};
