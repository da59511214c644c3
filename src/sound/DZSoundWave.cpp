#include "DZSoundWave.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr FOURCC kRiff = mmioFOURCC('R', 'I', 'F', 'F');
constexpr FOURCC kWave = mmioFOURCC('W', 'A', 'V', 'E');
constexpr FOURCC kFormat = mmioFOURCC('f', 'm', 't', ' ');
constexpr FOURCC kData = mmioFOURCC('d', 'a', 't', 'a');
constexpr LONG kPcmFormatBytes = 16;

void FreeFormat(WAVEFORMATEX** format) {
    std::free(*format);
    *format = nullptr;
}

// The 16 bytes of a PCM format and, for other formats, the extra bytes announced after them.
HRESULT ReadFormat(HMMIO h, WAVEFORMATEX** format) {
    WAVEFORMATEX pcm{};
    if (mmioRead(h, reinterpret_cast<char*>(&pcm), kPcmFormatBytes) != kPcmFormatBytes)
        return E_FAIL;
    WORD extra = 0;
    if (pcm.wFormatTag != WAVE_FORMAT_PCM &&
        mmioRead(h, reinterpret_cast<char*>(&extra), sizeof extra) != static_cast<LONG>(sizeof extra))
        return E_FAIL;
    *format = static_cast<WAVEFORMATEX*>(std::calloc(1, sizeof(WAVEFORMATEX) + extra));
    if (*format == nullptr)
        return E_FAIL;
    std::memcpy(*format, &pcm, kPcmFormatBytes);
    (*format)->cbSize = extra;
    if (extra > 0 && mmioRead(h, reinterpret_cast<char*>(*format + 1), extra) != extra) {
        FreeFormat(format);
        return E_FAIL;
    }
    return S_OK;
}

} // namespace

HRESULT DZSoundReadMMIO(HMMIO h, MMCKINFO* riff, WAVEFORMATEX** format) {
    if (format == nullptr || riff == nullptr)
        return E_FAIL;
    *format = nullptr;
    if (mmioDescend(h, riff, nullptr, 0) != MMSYSERR_NOERROR || riff->ckid != kRiff || riff->fccType != kWave)
        return E_FAIL;
    MMCKINFO formatChunk;
    formatChunk.ckid = kFormat;
    if (mmioDescend(h, &formatChunk, riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR ||
        formatChunk.cksize < static_cast<DWORD>(kPcmFormatBytes))
        return E_FAIL;
    if (FAILED(ReadFormat(h, format)))
        return E_FAIL;
    if (mmioAscend(h, &formatChunk, 0) != MMSYSERR_NOERROR) {
        FreeFormat(format);
        return E_FAIL;
    }
    return S_OK;
}

HRESULT DZSoundWaveOpenFile(const char* fileName, HMMIO* h, WAVEFORMATEX** format, MMCKINFO* riff) {
    if (h == nullptr)
        return E_FAIL;
    *h = mmioOpenA(fileName, nullptr, MMIO_ALLOCBUF);
    if (*h == nullptr)
        return E_FAIL;
    const HRESULT result = DZSoundReadMMIO(*h, riff, format);
    if (FAILED(result)) {
        mmioClose(*h, 0);
        *h = nullptr;
    }
    return result;
}

HRESULT DZSoundWaveStartDataRead(HMMIO* h, MMCKINFO* data, MMCKINFO* riff) {
    if (h == nullptr || *h == nullptr || data == nullptr || riff == nullptr)
        return E_FAIL;
    if (mmioSeek(*h, static_cast<LONG>(riff->dwDataOffset + sizeof(FOURCC)), SEEK_SET) == -1)
        return E_FAIL;
    data->ckid = kData;
    return mmioDescend(*h, data, riff, MMIO_FINDCHUNK) == MMSYSERR_NOERROR ? S_OK : E_FAIL;
}

HRESULT DZSoundWaveReadFile(HMMIO h, UINT size, BYTE* dest, MMCKINFO* data, UINT* actual) {
    if (actual == nullptr || data == nullptr || (dest == nullptr && size > 0))
        return E_FAIL;
    *actual = 0;
    MMIOINFO info;
    if (mmioGetInfo(h, &info, 0) != MMSYSERR_NOERROR)
        return E_FAIL;
    const UINT count = size < data->cksize ? size : static_cast<UINT>(data->cksize);
    data->cksize -= count;
    for (UINT i = 0; i < count; ++i) {
        if (info.pchNext == info.pchEndRead) {
            if (mmioAdvance(h, &info, MMIO_READ) != MMSYSERR_NOERROR || info.pchNext == info.pchEndRead)
                return E_FAIL;
        }
        dest[i] = static_cast<BYTE>(*info.pchNext++);
    }
    if (mmioSetInfo(h, &info, 0) != MMSYSERR_NOERROR)
        return E_FAIL;
    *actual = count;
    return S_OK;
}
