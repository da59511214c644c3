#include "D3DZCSound.h"

#include "D3DZCWaveSoundRead.h"

D3DZCSoundDevice D3DZCSound::SndDevice;

namespace {

constexpr DWORD kSecondaryFlags = DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME |
                                  DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;

// The bytes from the current position to the end of the file.
long BytesLeft(HMMIO file) {
    const LONG here = mmioSeek(file, 0, SEEK_CUR);
    const LONG end = mmioSeek(file, 0, SEEK_END);
    mmioSeek(file, here, SEEK_SET);
    return here < 0 || end < 0 ? -1 : static_cast<long>(end) - here;
}

} // namespace

D3DZCSound::~D3DZCSound() {
    Release();
}

void D3DZCSound::Load(const char* fileName) {
    Release();
    D3DZCWaveSoundRead reader;
    if (FAILED(reader.Open(fileName)) || SndDevice.GetDSound() == nullptr)
        return;
    // A data chunk claiming more than the file holds would make a buffer of that size for nothing.
    const DWORD bytes = reader.m_ckData.cksize;
    if (static_cast<long long>(bytes) > BytesLeft(reader.m_hMmio))
        return;
    if (!CreateBuffer(*reader.m_pWaveFormat, bytes))
        return;
    if (!FillBuffer(reader, bytes)) {
        Release();
        return;
    }
    m_pBuffer->GetFrequency(&m_dwFrequency);
    m_pBuffer->SetCurrentPosition(0);
    if (IDirectSoundBuffer* primary = SndDevice.GetPrymary()) {
        primary->GetVolume(&m_lVolume);
        primary->GetPan(&m_lPan);
    }
}

bool D3DZCSound::CreateBuffer(const WAVEFORMATEX& format, DWORD bytes) {
    DSBUFFERDESC desc{};
    desc.dwSize = 36;
    desc.dwFlags = kSecondaryFlags;
    desc.dwBufferBytes = bytes;
    desc.lpwfxFormat = const_cast<WAVEFORMATEX*>(&format);
    IDirectSoundBuffer* first = nullptr;
    if (FAILED(SndDevice.GetDSound()->CreateSoundBuffer(&desc, &first, nullptr)) || first == nullptr)
        return false;
    void* buffer8 = nullptr;
    const HRESULT found = first->QueryInterface(IID_IDirectSoundBuffer8, &buffer8);
    first->Release();
    m_pBuffer = SUCCEEDED(found) ? static_cast<IDirectSoundBuffer8*>(buffer8) : nullptr;
    return m_pBuffer != nullptr;
}

// A file shorter than its data chunk is not taken: half a sound and silence would pass for a load.
bool D3DZCSound::FillBuffer(D3DZCWaveSoundRead& reader, DWORD bytes) {
    void* part1 = nullptr;
    void* part2 = nullptr;
    DWORD bytes1 = 0, bytes2 = 0;
    HRESULT locked = m_pBuffer->Lock(0, bytes, &part1, &bytes1, &part2, &bytes2, 0);
    if (locked == DSERR_BUFFERLOST) {
        m_pBuffer->Restore();
        locked = m_pBuffer->Lock(0, bytes, &part1, &bytes1, &part2, &bytes2, 0);
    }
    if (FAILED(locked))
        return false;
    UINT read = 0;
    bool complete = SUCCEEDED(reader.Read(bytes1, static_cast<BYTE*>(part1), &read)) && read == bytes1;
    if (complete && bytes2 > 0)
        complete = SUCCEEDED(reader.Read(bytes2, static_cast<BYTE*>(part2), &read)) && read == bytes2;
    m_pBuffer->Unlock(part1, bytes1, part2, bytes2);
    return complete;
}

bool D3DZCSound::Play(DWORD flags) {
    if (m_pBuffer == nullptr)
        return false;
    m_pBuffer->SetVolume(m_lVolume);
    m_pBuffer->SetPan(m_lPan);
    if (isPlaying())
        return false;
    m_pBuffer->Play(0, 0, flags);
    return true;
}

void D3DZCSound::Stop() {
    if (m_pBuffer == nullptr)
        return;
    m_pBuffer->SetCurrentPosition(0);
    m_pBuffer->Stop();
}

DWORD D3DZCSound::GetStatus() {
    DWORD status = 0;
    if (m_pBuffer != nullptr)
        m_pBuffer->GetStatus(&status);
    return status;
}

bool D3DZCSound::isPlaying() {
    return (GetStatus() & DSBSTATUS_PLAYING) != 0;
}

void D3DZCSound::Release() {
    if (m_pBuffer != nullptr)
        m_pBuffer->Release();
    m_pBuffer = nullptr;
}
