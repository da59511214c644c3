// The Windows multimedia file functions for RIFF files on Linux: a buffered file handle, chunk
// descent and ascent, and direct access to the read buffer, over C streams.
#pragma once

#include "Win32Types.h"

#include <cstdio>

using FOURCC = DWORD;
using MMRESULT = UINT;
using HMMIO = struct MmioFile*;

constexpr FOURCC mmioFOURCC(char a, char b, char c, char d) {
    return static_cast<FOURCC>(static_cast<unsigned char>(a)) |
           static_cast<FOURCC>(static_cast<unsigned char>(b)) << 8 |
           static_cast<FOURCC>(static_cast<unsigned char>(c)) << 16 |
           static_cast<FOURCC>(static_cast<unsigned char>(d)) << 24;
}

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMIOERR_CANNOTOPEN = 257;
constexpr MMRESULT MMIOERR_CANNOTREAD = 259;
constexpr MMRESULT MMIOERR_CANNOTSEEK = 261;
constexpr MMRESULT MMIOERR_CHUNKNOTFOUND = 265;

constexpr DWORD MMIO_READ = 0x00000000;
constexpr DWORD MMIO_ALLOCBUF = 0x00010000;
constexpr UINT MMIO_FINDCHUNK = 0x0010;
constexpr UINT MMIO_FINDRIFF = 0x0020;
constexpr UINT MMIO_FINDLIST = 0x0040;
constexpr DWORD MMIO_DIRTY = 0x10000000;

struct MMCKINFO {
    FOURCC ckid = 0;
    DWORD cksize = 0;
    FOURCC fccType = 0;
    DWORD dwDataOffset = 0; // where the chunk's data starts; for RIFF and LIST, at the form type
    DWORD dwFlags = 0;
};

// The read buffer as mmioGetInfo hands it out: bytes from pchNext to pchEndRead are the file's next
// bytes; after consuming some, mmioSetInfo or mmioAdvance takes pchNext back.
struct MMIOINFO {
    DWORD dwFlags = 0;
    LONG cchBuffer = 0;
    char* pchBuffer = nullptr;
    char* pchNext = nullptr;
    char* pchEndRead = nullptr;
    char* pchEndWrite = nullptr;
    LONG lBufOffset = 0;  // file offset of pchBuffer
    LONG lDiskOffset = 0; // file offset of pchEndRead
    HMMIO hmmio = nullptr;
};

// Opens for reading; null when the file cannot be opened. The info block is not used.
HMMIO mmioOpenA(const char* fileName, MMIOINFO* info, DWORD flags);
MMRESULT mmioClose(HMMIO file, UINT flags);
// Bytes read, 0 at the end of the file, -1 on error.
LONG mmioRead(HMMIO file, char* data, LONG size);
// The new offset from the file's start, or -1.
LONG mmioSeek(HMMIO file, LONG offset, int origin);
MMRESULT mmioDescend(HMMIO file, MMCKINFO* chunk, const MMCKINFO* parent, UINT flags);
MMRESULT mmioAscend(HMMIO file, MMCKINFO* chunk, UINT flags);
MMRESULT mmioGetInfo(HMMIO file, MMIOINFO* info, UINT flags);
MMRESULT mmioSetInfo(HMMIO file, const MMIOINFO* info, UINT flags);
// Refills the read buffer from the position the info block has reached; at the end of the file the
// buffer comes back empty (pchNext == pchEndRead) and the call still succeeds.
MMRESULT mmioAdvance(HMMIO file, MMIOINFO* info, UINT flags);
