// DirectSound 8 on Linux, carried by OpenAL Soft: one device (an OpenAL device and context), a
// primary buffer that keeps the mixing format, volume and pan, secondary buffers held in memory and
// played by OpenAL sources, and the 3-D listener. Volumes are hundredths of a decibel (0 is full,
// -10000 silent), pan runs from -10000 (left only) to 10000 (right only).
#pragma once

#include "Unknown.h"

#include <memory>
#include <vector>

#pragma pack(push, 1)
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize; // extra format bytes that follow the structure
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);

constexpr WORD WAVE_FORMAT_PCM = 1;

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
    bool operator==(const GUID&) const = default;
};
using REFIID = const GUID&;

extern const GUID IID_IDirectSoundBuffer;
extern const GUID IID_IDirectSoundBuffer8;
extern const GUID IID_IDirectSound3DListener;
extern const GUID GUID_NULL;

struct DSBUFFERDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwReserved;
    WAVEFORMATEX* lpwfxFormat;
    GUID guid3DAlgorithm;
};

constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x00000001;
constexpr DWORD DSBCAPS_CTRL3D = 0x00000010;
constexpr DWORD DSBCAPS_CTRLFREQUENCY = 0x00000020;
constexpr DWORD DSBCAPS_CTRLPAN = 0x00000040;
constexpr DWORD DSBCAPS_CTRLVOLUME = 0x00000080;
constexpr DWORD DSBCAPS_GLOBALFOCUS = 0x00008000;
constexpr DWORD DSBCAPS_GETCURRENTPOSITION2 = 0x00010000;

constexpr DWORD DSSCL_NORMAL = 1;
constexpr DWORD DSSCL_PRIORITY = 2;
constexpr DWORD DSBPLAY_LOOPING = 0x00000001;
constexpr DWORD DSBSTATUS_PLAYING = 0x00000001;
constexpr DWORD DSBSTATUS_BUFFERLOST = 0x00000002;
constexpr DWORD DSBSTATUS_LOOPING = 0x00000004;
constexpr DWORD DSBLOCK_ENTIREBUFFER = 0x00000002;
constexpr DWORD DS3D_IMMEDIATE = 0;
constexpr DWORD DS3D_DEFERRED = 1;
constexpr LONG DSBVOLUME_MIN = -10000;
constexpr LONG DSBVOLUME_MAX = 0;
constexpr LONG DSBPAN_LEFT = -10000;
constexpr LONG DSBPAN_RIGHT = 10000;

constexpr HRESULT DS_OK = 0;
constexpr HRESULT DSERR_BUFFERLOST = static_cast<HRESULT>(0x88780096u);
constexpr HRESULT DSERR_BADFORMAT = static_cast<HRESULT>(0x88780064u);
constexpr HRESULT DSERR_NODRIVER = static_cast<HRESULT>(0x88780078u);
constexpr HRESULT DSERR_INVALIDPARAM = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DSERR_INVALIDCALL = static_cast<HRESULT>(0x88780032u);
constexpr HRESULT DSERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT DSERR_CONTROLUNAVAIL = static_cast<HRESULT>(0x8878001Eu);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);

class OpenAlDevice;

class IDirectSound3DListener : public IUnknown {
public:
    explicit IDirectSound3DListener(std::shared_ptr<OpenAlDevice> device);
    HRESULT SetRolloffFactor(float factor, DWORD apply);
    HRESULT GetRolloffFactor(float* factor);

private:
    std::shared_ptr<OpenAlDevice> m_device;
};

// The primary buffer and the secondary buffers share one interface, as in DirectSound; a secondary
// buffer is also its own IDirectSoundBuffer8.
class IDirectSoundBuffer : public IUnknown {
public:
    IDirectSoundBuffer(std::shared_ptr<OpenAlDevice> device, const DSBUFFERDESC& desc);
    ~IDirectSoundBuffer() override;

    HRESULT QueryInterface(REFIID iid, void** object);
    HRESULT GetCaps(DWORD* flags) const;
    HRESULT SetFormat(const WAVEFORMATEX* format);
    HRESULT GetFormat(WAVEFORMATEX* format, DWORD size, DWORD* written) const;
    // Hands out the bytes from offset on, wrapping round to the start for the second part.
    HRESULT Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2, DWORD* bytes2,
                 DWORD flags);
    // Written bytes reach the player here.
    HRESULT Unlock(void* part1, DWORD bytes1, void* part2, DWORD bytes2);
    HRESULT Restore() { return DS_OK; }
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags);
    HRESULT Stop();
    HRESULT GetStatus(DWORD* status);
    HRESULT SetCurrentPosition(DWORD position);
    HRESULT GetCurrentPosition(DWORD* play, DWORD* write);
    HRESULT SetVolume(LONG volume);
    HRESULT GetVolume(LONG* volume) const;
    HRESULT SetPan(LONG pan);
    HRESULT GetPan(LONG* pan) const;
    HRESULT SetFrequency(DWORD frequency);
    HRESULT GetFrequency(DWORD* frequency) const;

private:
    bool Primary() const { return (m_flags & DSBCAPS_PRIMARYBUFFER) != 0; }
    void Upload();
    void ApplyPan();

    std::shared_ptr<OpenAlDevice> m_device;
    DWORD m_flags;
    std::vector<BYTE> m_bytes;
    WAVEFORMATEX m_format{};
    LONG m_volume = 0;
    LONG m_pan = 0;
    DWORD m_frequency = 0;
    unsigned m_alBuffer = 0;
    unsigned m_alSource = 0;
};

using IDirectSoundBuffer8 = IDirectSoundBuffer;

class IDirectSound8 : public IUnknown {
public:
    explicit IDirectSound8(std::shared_ptr<OpenAlDevice> device);
    HRESULT SetCooperativeLevel(HWND window, DWORD level);
    HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer, void* outer);

private:
    std::shared_ptr<OpenAlDevice> m_device;
};

// Opens the default output; DSERR_NODRIVER, with a null device, where there is none.
HRESULT DirectSoundCreate8(const GUID* device, IDirectSound8** sound, void* outer);
