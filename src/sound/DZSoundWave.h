// The wave-file chunk work: the RIFF header and format, the start of the sample data, and reading
// samples through the file's own buffer. All return S_OK or E_FAIL.
#pragma once

#include "dsound.h"
#include "mmsystem.h"

// Reads the RIFF/WAVE header into riff and a newly allocated format (with its extra bytes) into
// *format, leaving the file after the format chunk. On failure *format is null.
HRESULT DZSoundReadMMIO(HMMIO h, MMCKINFO* riff, WAVEFORMATEX** format);
// Opens the file and reads its header; on failure the file is closed and *h is null.
HRESULT DZSoundWaveOpenFile(const char* fileName, HMMIO* h, WAVEFORMATEX** format, MMCKINFO* riff);
// Positions at the first byte of the "data" chunk inside the RIFF chunk, described in data.
HRESULT DZSoundWaveStartDataRead(HMMIO* h, MMCKINFO* data, MMCKINFO* riff);
// Reads up to size bytes, no further than the data chunk's remaining size, which it counts down.
HRESULT DZSoundWaveReadFile(HMMIO h, UINT size, BYTE* dest, MMCKINFO* data, UINT* actual);

// The size of a format with its extra bytes.
inline std::size_t WaveFormatSize(const WAVEFORMATEX& format) {
    return sizeof(WAVEFORMATEX) + format.cbSize;
}
