// Reads a RIFF/WAVE file: its format, then its samples from the start of the data chunk.
#pragma once

#include "DZSoundWave.h"

class D3DZCWaveSoundRead {
public:
    D3DZCWaveSoundRead() = default;
    ~D3DZCWaveSoundRead();
    D3DZCWaveSoundRead(const D3DZCWaveSoundRead&) = delete;
    D3DZCWaveSoundRead& operator=(const D3DZCWaveSoundRead&) = delete;

    HRESULT Open(const char* fileName);
    // Back to the first sample.
    HRESULT Reset();
    HRESULT Read(UINT size, BYTE* data, UINT* sizeRead);
    HRESULT Close();

    WAVEFORMATEX* m_pWaveFormat = nullptr;
    HMMIO m_hMmio = nullptr;
    MMCKINFO m_ckData; // its size counts down as samples are read
    MMCKINFO m_ckRiffChunk;
};
