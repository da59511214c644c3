#include "D3DZCWaveSoundRead.h"

#include <cstdlib>

D3DZCWaveSoundRead::~D3DZCWaveSoundRead() {
    Close();
    std::free(m_pWaveFormat);
}

HRESULT D3DZCWaveSoundRead::Open(const char* fileName) {
    std::free(m_pWaveFormat);
    m_pWaveFormat = nullptr;
    // A second Open would otherwise leave the first file open.
    Close();
    const HRESULT result = DZSoundWaveOpenFile(fileName, &m_hMmio, &m_pWaveFormat, &m_ckRiffChunk);
    if (FAILED(result))
        return result;
    return Reset();
}

HRESULT D3DZCWaveSoundRead::Reset() {
    return DZSoundWaveStartDataRead(&m_hMmio, &m_ckData, &m_ckRiffChunk);
}

HRESULT D3DZCWaveSoundRead::Read(UINT size, BYTE* data, UINT* sizeRead) {
    return DZSoundWaveReadFile(m_hMmio, size, data, &m_ckData, sizeRead);
}

HRESULT D3DZCWaveSoundRead::Close() {
    if (m_hMmio != nullptr)
        mmioClose(m_hMmio, 0);
    m_hMmio = nullptr;
    return S_OK;
}
