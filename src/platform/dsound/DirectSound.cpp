#include "dsound.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <algorithm>
#include <cmath>
#include <cstring>

const GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
// Our own identifiers: only this layer compares them.
const GUID IID_IDirectSoundBuffer = {
    0x46530001, 0x5a44, 0x4f52, {0x56, 0x53, 0x4e, 0x44, 0x42, 0x55, 0x46, 0x31}};
const GUID IID_IDirectSoundBuffer8 = {
    0x46530002, 0x5a44, 0x4f52, {0x56, 0x53, 0x4e, 0x44, 0x42, 0x55, 0x46, 0x38}};
const GUID IID_IDirectSound3DListener = {
    0x46530003, 0x5a44, 0x4f52, {0x56, 0x53, 0x4e, 0x44, 0x4c, 0x53, 0x54, 0x4e}};

// The OpenAL device and its one context, kept alive by the device object and every buffer.
class OpenAlDevice {
public:
    OpenAlDevice(ALCdevice* device, ALCcontext* context) : m_device(device), m_context(context) {}
    ~OpenAlDevice() {
        if (alcGetCurrentContext() == m_context)
            alcMakeContextCurrent(nullptr);
        alcDestroyContext(m_context);
        alcCloseDevice(m_device);
    }
    OpenAlDevice(const OpenAlDevice&) = delete;
    OpenAlDevice& operator=(const OpenAlDevice&) = delete;

    void MakeCurrent() const {
        if (alcGetCurrentContext() != m_context)
            alcMakeContextCurrent(m_context);
    }

    float rolloff = 1.0f;

private:
    ALCdevice* m_device;
    ALCcontext* m_context;
};

namespace {

bool PlayableFormat(const WAVEFORMATEX& format) {
    return format.wFormatTag == WAVE_FORMAT_PCM && (format.nChannels == 1 || format.nChannels == 2) &&
           (format.wBitsPerSample == 8 || format.wBitsPerSample == 16) && format.nSamplesPerSec > 0 &&
           format.nBlockAlign == format.nChannels * format.wBitsPerSample / 8;
}

ALenum AlFormat(const WAVEFORMATEX& format) {
    if (format.nChannels == 1)
        return format.wBitsPerSample == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
    return format.wBitsPerSample == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16;
}

// Hundredths of a decibel as an amplitude factor; the quietest setting is silence.
float Gain(LONG volume) {
    return volume <= DSBVOLUME_MIN ? 0.0f : static_cast<float>(std::pow(10.0, volume / 2000.0));
}

} // namespace

IDirectSound3DListener::IDirectSound3DListener(std::shared_ptr<OpenAlDevice> device)
    : m_device(std::move(device)) {}

HRESULT IDirectSound3DListener::SetRolloffFactor(float factor, DWORD) {
    if (!(factor >= 0.0f && factor <= 10.0f))
        return DSERR_INVALIDPARAM;
    m_device->rolloff = factor;
    return DS_OK;
}

HRESULT IDirectSound3DListener::GetRolloffFactor(float* factor) {
    if (factor == nullptr)
        return DSERR_INVALIDPARAM;
    *factor = m_device->rolloff;
    return DS_OK;
}

IDirectSoundBuffer::IDirectSoundBuffer(std::shared_ptr<OpenAlDevice> device, const DSBUFFERDESC& desc)
    : m_device(std::move(device)), m_flags(desc.dwFlags) {
    if (Primary()) {
        m_format = {WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0};
        return;
    }
    m_format = *desc.lpwfxFormat;
    m_format.cbSize = 0;
    m_frequency = m_format.nSamplesPerSec;
    m_bytes.assign(desc.dwBufferBytes, m_format.wBitsPerSample == 8 ? BYTE{0x80} : BYTE{0});
    m_device->MakeCurrent();
    alGenBuffers(1, &m_alBuffer);
    alGenSources(1, &m_alSource);
    alSourcef(m_alSource, AL_ROLLOFF_FACTOR, (m_flags & DSBCAPS_CTRL3D) ? m_device->rolloff : 0.0f);
    alSourcei(m_alSource, AL_SOURCE_RELATIVE, AL_TRUE);
    Upload();
}

IDirectSoundBuffer::~IDirectSoundBuffer() {
    if (Primary())
        return;
    m_device->MakeCurrent();
    alSourceStop(m_alSource);
    alSourcei(m_alSource, AL_BUFFER, 0);
    alDeleteSources(1, &m_alSource);
    alDeleteBuffers(1, &m_alBuffer);
}

HRESULT IDirectSoundBuffer::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr)
        return DSERR_INVALIDPARAM;
    *object = nullptr;
    if (iid == IID_IDirectSound3DListener && Primary() && (m_flags & DSBCAPS_CTRL3D)) {
        *object = new IDirectSound3DListener(m_device);
        return DS_OK;
    }
    if (iid == IID_IDirectSoundBuffer || (iid == IID_IDirectSoundBuffer8 && !Primary())) {
        AddRef();
        *object = this;
        return DS_OK;
    }
    return E_NOINTERFACE;
}

HRESULT IDirectSoundBuffer::GetCaps(DWORD* flags) const {
    if (flags == nullptr)
        return DSERR_INVALIDPARAM;
    *flags = m_flags;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::SetFormat(const WAVEFORMATEX* format) {
    if (!Primary())
        return DSERR_INVALIDCALL;
    if (format == nullptr || !PlayableFormat(*format))
        return DSERR_BADFORMAT;
    m_format = *format;
    m_format.cbSize = 0;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::GetFormat(WAVEFORMATEX* format, DWORD size, DWORD* written) const {
    if (format == nullptr && written == nullptr)
        return DSERR_INVALIDPARAM;
    if (format != nullptr && size < sizeof(WAVEFORMATEX))
        return DSERR_INVALIDPARAM;
    if (format != nullptr)
        *format = m_format;
    if (written != nullptr)
        *written = sizeof(WAVEFORMATEX);
    return DS_OK;
}

HRESULT IDirectSoundBuffer::Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2,
                                 DWORD* bytes2, DWORD flags) {
    if (Primary() || part1 == nullptr || bytes1 == nullptr)
        return DSERR_INVALIDCALL;
    const auto size = static_cast<DWORD>(m_bytes.size());
    if (flags & DSBLOCK_ENTIREBUFFER) {
        offset = 0;
        bytes = size;
    }
    if (offset >= size || bytes > size || bytes == 0)
        return DSERR_INVALIDPARAM;
    const DWORD first = std::min(bytes, size - offset);
    *part1 = m_bytes.data() + offset;
    *bytes1 = first;
    if (part2 != nullptr)
        *part2 = bytes > first ? m_bytes.data() : nullptr;
    if (bytes2 != nullptr)
        *bytes2 = bytes - first;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::Unlock(void*, DWORD, void*, DWORD) {
    if (Primary())
        return DSERR_INVALIDCALL;
    Upload();
    return DS_OK;
}

// OpenAL copies the samples; a buffer can only change while no source holds it.
void IDirectSoundBuffer::Upload() {
    m_device->MakeCurrent();
    ALint state = AL_INITIAL;
    alGetSourcei(m_alSource, AL_SOURCE_STATE, &state);
    alSourceStop(m_alSource);
    alSourcei(m_alSource, AL_BUFFER, 0);
    alBufferData(m_alBuffer, AlFormat(m_format), m_bytes.data(), static_cast<ALsizei>(m_bytes.size()),
                 static_cast<ALsizei>(m_format.nSamplesPerSec));
    alSourcei(m_alSource, AL_BUFFER, static_cast<ALint>(m_alBuffer));
    if (state == AL_PLAYING)
        alSourcePlay(m_alSource);
}

HRESULT IDirectSoundBuffer::Play(DWORD, DWORD, DWORD flags) {
    if (Primary())
        return DS_OK;
    m_device->MakeCurrent();
    alSourcei(m_alSource, AL_LOOPING, (flags & DSBPLAY_LOOPING) ? AL_TRUE : AL_FALSE);
    ALint state = AL_INITIAL;
    alGetSourcei(m_alSource, AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING)
        alSourcePlay(m_alSource);
    return DS_OK;
}

// DirectSound keeps the position when it stops; OpenAL does so when it pauses.
HRESULT IDirectSoundBuffer::Stop() {
    if (Primary())
        return DS_OK;
    m_device->MakeCurrent();
    ALint state = AL_INITIAL;
    alGetSourcei(m_alSource, AL_SOURCE_STATE, &state);
    if (state == AL_PLAYING)
        alSourcePause(m_alSource);
    return DS_OK;
}

HRESULT IDirectSoundBuffer::GetStatus(DWORD* status) {
    if (status == nullptr)
        return DSERR_INVALIDPARAM;
    *status = 0;
    if (Primary())
        return DS_OK;
    m_device->MakeCurrent();
    ALint state = AL_INITIAL, looping = AL_FALSE;
    alGetSourcei(m_alSource, AL_SOURCE_STATE, &state);
    alGetSourcei(m_alSource, AL_LOOPING, &looping);
    if (state == AL_PLAYING)
        *status = DSBSTATUS_PLAYING | (looping ? DSBSTATUS_LOOPING : 0);
    return DS_OK;
}

HRESULT IDirectSoundBuffer::SetCurrentPosition(DWORD position) {
    if (Primary())
        return DSERR_INVALIDCALL;
    if (position >= m_bytes.size())
        return DSERR_INVALIDPARAM;
    m_device->MakeCurrent();
    const DWORD aligned = position - position % std::max<DWORD>(m_format.nBlockAlign, 1);
    ALint state = AL_INITIAL;
    alGetSourcei(m_alSource, AL_SOURCE_STATE, &state);
    // A source that ran to its end starts from its beginning anyway; rewinding a paused one to the
    // start is what OpenAL's rewind is for.
    if (aligned == 0 && state != AL_PLAYING)
        alSourceRewind(m_alSource);
    else
        alSourcei(m_alSource, AL_BYTE_OFFSET, static_cast<ALint>(aligned));
    return DS_OK;
}

HRESULT IDirectSoundBuffer::GetCurrentPosition(DWORD* play, DWORD* write) {
    if (Primary())
        return DSERR_INVALIDCALL;
    m_device->MakeCurrent();
    ALint offset = 0;
    alGetSourcei(m_alSource, AL_BYTE_OFFSET, &offset);
    if (play != nullptr)
        *play = static_cast<DWORD>(offset);
    if (write != nullptr)
        *write = static_cast<DWORD>(offset);
    return DS_OK;
}

HRESULT IDirectSoundBuffer::SetVolume(LONG volume) {
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX)
        return DSERR_INVALIDPARAM;
    m_volume = volume;
    m_device->MakeCurrent();
    if (Primary())
        alListenerf(AL_GAIN, Gain(volume));
    else
        alSourcef(m_alSource, AL_GAIN, Gain(volume));
    return DS_OK;
}

HRESULT IDirectSoundBuffer::GetVolume(LONG* volume) const {
    if (volume == nullptr)
        return DSERR_INVALIDPARAM;
    *volume = m_volume;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::SetPan(LONG pan) {
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT)
        return DSERR_INVALIDPARAM;
    m_pan = pan;
    if (!Primary())
        ApplyPan();
    return DS_OK;
}

// OpenAL places a mono source instead of attenuating one side: full pan puts it at the listener's
// ear, none straight ahead. Stereo sources are not placed.
void IDirectSoundBuffer::ApplyPan() {
    m_device->MakeCurrent();
    const double angle = m_pan / 10000.0 * (3.14159265358979 / 2.0);
    alSource3f(m_alSource, AL_POSITION, static_cast<float>(std::sin(angle)), 0.0f,
               static_cast<float>(-std::cos(angle)));
}

HRESULT IDirectSoundBuffer::GetPan(LONG* pan) const {
    if (pan == nullptr)
        return DSERR_INVALIDPARAM;
    *pan = m_pan;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::SetFrequency(DWORD frequency) {
    if (Primary() || !(m_flags & DSBCAPS_CTRLFREQUENCY))
        return DSERR_CONTROLUNAVAIL;
    m_frequency = frequency == 0 ? m_format.nSamplesPerSec : frequency;
    if (m_frequency < 100 || m_frequency > 200000)
        return DSERR_INVALIDPARAM;
    m_device->MakeCurrent();
    alSourcef(m_alSource, AL_PITCH,
              static_cast<float>(m_frequency) / static_cast<float>(m_format.nSamplesPerSec));
    return DS_OK;
}

HRESULT IDirectSoundBuffer::GetFrequency(DWORD* frequency) const {
    if (frequency == nullptr)
        return DSERR_INVALIDPARAM;
    if (Primary())
        return DSERR_CONTROLUNAVAIL;
    *frequency = m_frequency;
    return DS_OK;
}

IDirectSound8::IDirectSound8(std::shared_ptr<OpenAlDevice> device) : m_device(std::move(device)) {}

HRESULT IDirectSound8::SetCooperativeLevel(HWND, DWORD level) {
    return level >= DSSCL_NORMAL && level <= 3 ? DS_OK : DSERR_INVALIDPARAM;
}

HRESULT IDirectSound8::CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer, void* outer) {
    if (buffer == nullptr)
        return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    if (desc == nullptr || outer != nullptr || desc->dwSize < 20)
        return DSERR_INVALIDPARAM;
    if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
        if (desc->dwBufferBytes != 0 || desc->lpwfxFormat != nullptr)
            return DSERR_INVALIDPARAM;
    } else {
        if (desc->lpwfxFormat == nullptr || desc->dwBufferBytes == 0)
            return DSERR_INVALIDPARAM;
        if (!PlayableFormat(*desc->lpwfxFormat))
            return DSERR_BADFORMAT;
        if (desc->dwBufferBytes % desc->lpwfxFormat->nBlockAlign != 0)
            return DSERR_INVALIDPARAM;
    }
    *buffer = new IDirectSoundBuffer(m_device, *desc);
    return DS_OK;
}

HRESULT DirectSoundCreate8(const GUID*, IDirectSound8** sound, void* outer) {
    if (sound == nullptr || outer != nullptr)
        return DSERR_INVALIDPARAM;
    *sound = nullptr;
    ALCdevice* device = alcOpenDevice(nullptr);
    if (device == nullptr)
        return DSERR_NODRIVER;
    ALCcontext* context = alcCreateContext(device, nullptr);
    if (context == nullptr) {
        alcCloseDevice(device);
        return DSERR_NODRIVER;
    }
    alcMakeContextCurrent(context);
    *sound = new IDirectSound8(std::make_shared<OpenAlDevice>(device, context));
    return DS_OK;
}
