#include "D3DZCSoundDevice.h"

D3DZCSoundDevice::~D3DZCSoundDevice() {
    DeviceRelease();
}

void D3DZCSoundDevice::Init(HWND hWnd) {
    // A second Init replaces the first device rather than leaking it.
    DeviceRelease();
    if (FAILED(DirectSoundCreate8(nullptr, &m_pDS, nullptr)) || m_pDS == nullptr)
        return;
    m_pDS->SetCooperativeLevel(hWnd, DSSCL_PRIORITY);
    DSBUFFERDESC desc{};
    desc.dwSize = 36;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D | DSBCAPS_CTRLVOLUME;
    if (FAILED(m_pDS->CreateSoundBuffer(&desc, &m_pPrimary, nullptr)) || m_pPrimary == nullptr)
        return;
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
    m_pPrimary->SetFormat(&format);
    void* listener = nullptr;
    if (SUCCEEDED(m_pPrimary->QueryInterface(IID_IDirectSound3DListener, &listener))) {
        m_pListener = static_cast<IDirectSound3DListener*>(listener);
        m_pListener->SetRolloffFactor(0.001f, DS3D_IMMEDIATE);
    }
}

void D3DZCSoundDevice::DeviceRelease() {
    if (m_pListener != nullptr)
        m_pListener->Release();
    m_pListener = nullptr;
    if (m_pPrimary != nullptr)
        m_pPrimary->Release();
    m_pPrimary = nullptr;
    if (m_pDS != nullptr)
        m_pDS->Release();
    m_pDS = nullptr;
}
