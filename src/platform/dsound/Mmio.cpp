#include "mmsystem.h"

#include <cstring>
#include <limits>
#include <vector>

struct MmioFile {
    std::FILE* stream = nullptr;
    std::vector<char> buffer;
    // The buffer holds the file's bytes from bufferOffset; next is the current position within it.
    long bufferOffset = 0;
    std::size_t next = 0;
    std::size_t filled = 0;

    long Position() const { return bufferOffset + static_cast<long>(next); }
};

namespace {

constexpr std::size_t kBufferSize = 8192;
constexpr FOURCC kRiff = mmioFOURCC('R', 'I', 'F', 'F');
constexpr FOURCC kList = mmioFOURCC('L', 'I', 'S', 'T');

bool SeekTo(MmioFile& file, long offset) {
    if (offset < 0 || std::fseek(file.stream, offset, SEEK_SET) != 0)
        return false;
    file.bufferOffset = offset;
    file.next = file.filled = 0;
    return true;
}

bool ReadDword(MmioFile& file, DWORD& value) {
    unsigned char bytes[4];
    if (mmioRead(&file, reinterpret_cast<char*>(bytes), 4) != 4)
        return false;
    value = static_cast<DWORD>(bytes[0]) | static_cast<DWORD>(bytes[1]) << 8 |
            static_cast<DWORD>(bytes[2]) << 16 | static_cast<DWORD>(bytes[3]) << 24;
    return true;
}

// The chunk header at the current position.
bool ReadHeader(MmioFile& file, MMCKINFO& chunk) {
    if (!ReadDword(file, chunk.ckid) || !ReadDword(file, chunk.cksize))
        return false;
    chunk.dwDataOffset = static_cast<DWORD>(file.Position());
    chunk.fccType = 0;
    chunk.dwFlags = 0;
    if (chunk.ckid == kRiff || chunk.ckid == kList)
        return ReadDword(file, chunk.fccType);
    return true;
}

// Chunks are padded to an even length.
long ChunkEnd(const MMCKINFO& chunk) {
    return static_cast<long>(chunk.dwDataOffset) + static_cast<long>(chunk.cksize) + (chunk.cksize & 1);
}

bool Matches(const MMCKINFO& found, const MMCKINFO& wanted, UINT flags) {
    if (flags & MMIO_FINDCHUNK)
        return found.ckid == wanted.ckid;
    if (flags & MMIO_FINDRIFF)
        return found.ckid == kRiff && found.fccType == wanted.fccType;
    if (flags & MMIO_FINDLIST)
        return found.ckid == kList && found.fccType == wanted.fccType;
    return true;
}

} // namespace

HMMIO mmioOpenA(const char* fileName, MMIOINFO*, DWORD) {
    if (fileName == nullptr)
        return nullptr;
    std::FILE* stream = std::fopen(fileName, "rb");
    if (stream == nullptr)
        return nullptr;
    auto* file = new MmioFile;
    file->stream = stream;
    file->buffer.resize(kBufferSize);
    return file;
}

MMRESULT mmioClose(HMMIO file, UINT) {
    if (file == nullptr)
        return MMSYSERR_INVALHANDLE;
    std::fclose(file->stream);
    delete file;
    return MMSYSERR_NOERROR;
}

LONG mmioRead(HMMIO file, char* data, LONG size) {
    if (file == nullptr || data == nullptr || size < 0)
        return -1;
    LONG done = 0;
    while (done < size) {
        if (file->next == file->filled) {
            const long position = file->Position();
            file->bufferOffset = position;
            file->next = 0;
            file->filled = std::fread(file->buffer.data(), 1, file->buffer.size(), file->stream);
            if (file->filled == 0)
                break;
        }
        const std::size_t take = std::min(file->filled - file->next, static_cast<std::size_t>(size - done));
        std::memcpy(data + done, file->buffer.data() + file->next, take);
        file->next += take;
        done += static_cast<LONG>(take);
    }
    return done;
}

LONG mmioSeek(HMMIO file, LONG offset, int origin) {
    if (file == nullptr)
        return -1;
    long target = offset;
    if (origin == SEEK_CUR)
        target = file->Position() + offset;
    else if (origin == SEEK_END) {
        if (std::fseek(file->stream, 0, SEEK_END) != 0)
            return -1;
        target = std::ftell(file->stream) + offset;
    }
    if (target > std::numeric_limits<LONG>::max() || !SeekTo(*file, target))
        return -1;
    return static_cast<LONG>(target);
}

MMRESULT mmioDescend(HMMIO file, MMCKINFO* chunk, const MMCKINFO* parent, UINT flags) {
    if (file == nullptr || chunk == nullptr)
        return MMSYSERR_INVALHANDLE;
    const MMCKINFO wanted = *chunk;
    const long end = parent != nullptr ? ChunkEnd(*parent) : std::numeric_limits<long>::max();
    for (;;) {
        const long start = file->Position();
        if (start + 8 > end)
            return MMIOERR_CHUNKNOTFOUND;
        MMCKINFO found;
        if (!ReadHeader(*file, found))
            return MMIOERR_CHUNKNOTFOUND;
        if (Matches(found, wanted, flags)) {
            *chunk = found;
            return MMSYSERR_NOERROR;
        }
        // A chunk whose end lies before its own start (a size that wraps) would search forever.
        const long next = ChunkEnd(found);
        if (next <= start || !SeekTo(*file, next))
            return MMIOERR_CHUNKNOTFOUND;
    }
}

MMRESULT mmioAscend(HMMIO file, MMCKINFO* chunk, UINT) {
    if (file == nullptr || chunk == nullptr)
        return MMSYSERR_INVALHANDLE;
    return SeekTo(*file, ChunkEnd(*chunk)) ? MMSYSERR_NOERROR : MMIOERR_CANNOTSEEK;
}

MMRESULT mmioGetInfo(HMMIO file, MMIOINFO* info, UINT) {
    if (file == nullptr || info == nullptr)
        return MMSYSERR_INVALHANDLE;
    *info = MMIOINFO{};
    info->cchBuffer = static_cast<LONG>(file->buffer.size());
    info->pchBuffer = file->buffer.data();
    info->pchNext = file->buffer.data() + file->next;
    info->pchEndRead = file->buffer.data() + file->filled;
    info->pchEndWrite = info->pchEndRead;
    info->lBufOffset = static_cast<LONG>(file->bufferOffset);
    info->lDiskOffset = static_cast<LONG>(file->bufferOffset + static_cast<long>(file->filled));
    info->hmmio = file;
    return MMSYSERR_NOERROR;
}

MMRESULT mmioSetInfo(HMMIO file, const MMIOINFO* info, UINT) {
    if (file == nullptr || info == nullptr || info->pchNext < file->buffer.data() ||
        info->pchNext > file->buffer.data() + file->filled)
        return MMSYSERR_INVALHANDLE;
    file->next = static_cast<std::size_t>(info->pchNext - file->buffer.data());
    return MMSYSERR_NOERROR;
}

MMRESULT mmioAdvance(HMMIO file, MMIOINFO* info, UINT) {
    if (file == nullptr || info == nullptr)
        return MMSYSERR_INVALHANDLE;
    if (mmioSetInfo(file, info, 0) != MMSYSERR_NOERROR)
        return MMSYSERR_INVALHANDLE;
    const long position = file->Position();
    if (!SeekTo(*file, position))
        return MMIOERR_CANNOTSEEK;
    file->filled = std::fread(file->buffer.data(), 1, file->buffer.size(), file->stream);
    if (file->filled == 0 && std::ferror(file->stream))
        return MMIOERR_CANNOTREAD;
    return mmioGetInfo(file, info, 0);
}
