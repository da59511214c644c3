#include "SoundCommands.h"

#include "D3DZCSound.h"
#include "D3DZCWaveSoundRead.h"
#include "NumberText.h"

#include <chrono>
#include <ostream>
#include <thread>

namespace {

// The device stays open only for the command, so that nothing plays on after it.
class SoundSession {
public:
    SoundSession() { D3DZCSound::SndDevice.Init(nullptr); }
    ~SoundSession() { D3DZCSound::SndDevice.DeviceRelease(); }
    SoundSession(const SoundSession&) = delete;
    SoundSession& operator=(const SoundSession&) = delete;
};

} // namespace

int SoundCommands::Play(const std::string& path, std::ostream& out, std::ostream& err) {
    D3DZCWaveSoundRead reader;
    if (FAILED(reader.Open(path.c_str()))) {
        err << "fsmith: '" << path << "' is not a wave file that can be read\n";
        return 1;
    }
    const WAVEFORMATEX format = *reader.m_pWaveFormat;
    const double seconds = format.nAvgBytesPerSec > 0
                               ? static_cast<double>(reader.m_ckData.cksize) / format.nAvgBytesPerSec
                               : 0.0;
    reader.Close();

    SoundSession session;
    if (D3DZCSound::SndDevice.GetDSound() == nullptr) {
        err << "fsmith: no sound device: '" << path << "' cannot be played\n";
        return 1;
    }
    D3DZCSound sound;
    sound.Load(path.c_str());
    if (!sound.Play(0)) {
        err << "fsmith: '" << path << "' cannot be played: only whole 8- or 16-bit PCM files with one or two "
            << "channels are\n";
        return 1;
    }
    // A stuck device must not hold the command for ever: a second past the sound's length is enough.
    const auto limit = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds + 1.0);
    while (sound.isPlaying() && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    out << "played " << path << " (" << NumberText::FormatG(static_cast<float>(seconds), 4) << " s, "
        << format.nChannels << (format.nChannels == 1 ? " channel, " : " channels, ") << format.wBitsPerSample
        << "-bit, " << format.nSamplesPerSec << " Hz)\n";
    return 0;
}
