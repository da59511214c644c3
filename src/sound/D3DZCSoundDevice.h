// The process's one sound device: 44.1 kHz 16-bit stereo mixing and a 3-D listener whose distance
// attenuation is practically off.
#pragma once

#include "dsound.h"

class D3DZCSoundDevice {
public:
    D3DZCSoundDevice() = default;
    ~D3DZCSoundDevice();
    D3DZCSoundDevice(const D3DZCSoundDevice&) = delete;
    D3DZCSoundDevice& operator=(const D3DZCSoundDevice&) = delete;

    // Without a sound device this leaves everything null and nothing else happens.
    void Init(HWND hWnd);
    IDirectSound8* GetDSound() const { return m_pDS; }
    IDirectSoundBuffer* GetPrymary() const { return m_pPrimary; }
    IDirectSound3DListener* GetListener() const { return m_pListener; }
    void DeviceRelease();

private:
    IDirectSound8* m_pDS = nullptr;
    IDirectSoundBuffer* m_pPrimary = nullptr;
    IDirectSound3DListener* m_pListener = nullptr;
};
