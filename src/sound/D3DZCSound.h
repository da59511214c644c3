// One sound held whole in its own buffer on the process's sound device: load, play once or loop,
// stop (which rewinds) and ask whether it plays.
#pragma once

#include "D3DZCSoundDevice.h"

class D3DZCSound {
public:
    static D3DZCSoundDevice SndDevice;

    D3DZCSound() = default;
    ~D3DZCSound();
    D3DZCSound(const D3DZCSound&) = delete;
    D3DZCSound& operator=(const D3DZCSound&) = delete;

    // A file that cannot be read, or no sound device, leaves the sound without a buffer.
    void Load(const char* fileName);
    // False while it already plays, and without a buffer.
    bool Play(DWORD flags);
    void Stop();
    DWORD GetStatus();
    bool isPlaying();
    void Release();

    IDirectSoundBuffer8* GetBuffer() const { return m_pBuffer; }
    DWORD GetFrequency() const { return m_dwFrequency; }

private:
    bool CreateBuffer(const WAVEFORMATEX& format, DWORD bytes);
    bool FillBuffer(class D3DZCWaveSoundRead& reader, DWORD bytes);

    IDirectSoundBuffer8* m_pBuffer = nullptr;
    DWORD m_dwFrequency = 0;
    LONG m_lVolume = 0;
    LONG m_lPan = 0;
};
