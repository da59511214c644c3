#include "D3DZCSound.h"
#include "TempDir.h"
#include "WaveFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

using namespace WaveFiles;

namespace {

// OpenAL reads its configuration once per process; ctest runs every test in a process of its own,
// so each test may pick its output. Run together in one process, the later choices are skipped.
const char* g_configured = nullptr;

// One output file and configuration for the whole process, outliving every test's own folder.
std::string ProcessFile(const std::string& suffix) {
    return (std::filesystem::temp_directory_path() / ("fsmith-sound-" + std::to_string(getpid()) + suffix))
        .string();
}

bool ConfigureOutput(const char* kind, const std::string& body) {
    if (g_configured != nullptr)
        return g_configured == kind;
    g_configured = kind;
    const std::string conf = ProcessFile(".conf");
    std::ofstream(conf) << body;
    setenv("ALSOFT_CONF", conf.c_str(), 1);
    setenv("ALSOFT_LOGLEVEL", "0", 1);
    return true;
}

// 16-bit samples of the wave file OpenAL writes, channel by channel interleaved.
std::vector<std::int16_t> WrittenSamples(const std::string& path, unsigned& channels) {
    const std::string bytes = TempDir::Read(path);
    std::vector<std::int16_t> samples;
    const auto data = bytes.find("data");
    const auto fmt = bytes.find("fmt ");
    if (data == std::string::npos || fmt == std::string::npos)
        return samples;
    channels = static_cast<unsigned char>(bytes[fmt + 10]);
    for (std::size_t i = data + 8; i + 1 < bytes.size(); i += 2)
        samples.push_back(static_cast<std::int16_t>(static_cast<unsigned char>(bytes[i]) |
                                                    static_cast<unsigned char>(bytes[i + 1]) << 8));
    return samples;
}

class SoundOutput : public ::testing::Test {
protected:
    void SetUp() override {
        m_output = ProcessFile(".wav");
        if (!ConfigureOutput(
                "wave",
                "[general]\ndrivers = wave\nchannels = stereo\nsample-type = int16\nfrequency = 44100\n"
                "hrtf = false\nperiod_size = 256\n[wave]\nfile = " +
                    m_output + "\n"))
            GTEST_SKIP() << "another output was chosen in this process";
        D3DZCSound::SndDevice.Init(nullptr);
        if (D3DZCSound::SndDevice.GetDSound() == nullptr)
            GTEST_SKIP() << "OpenAL's wave writer is not available";
    }
    void TearDown() override {
        D3DZCSound::SndDevice.DeviceRelease();
        std::error_code ignored;
        std::filesystem::remove(m_output, ignored);
        std::filesystem::remove(ProcessFile(".conf"), ignored);
    }

    std::string Sound(const std::string& name, const std::string& bytes) { return m_dir.Write(name, bytes); }

    static void WaitWhilePlaying(D3DZCSound& sound, int limitMs) {
        for (int waited = 0; sound.isPlaying() && waited < limitMs; waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    TempDir m_dir;
    std::string m_output;
};

} // namespace

TEST_F(SoundOutput, TheDeviceMixesAt44kHz16BitStereoWhateverTheSoundsAre) {
    D3DZCSound sound;
    sound.Load(Sound("mono8.wav", Pcm(1, 11025, 8, std::string(1102, '\x80'))).c_str());
    ASSERT_NE(sound.GetBuffer(), nullptr);
    EXPECT_EQ(sound.GetFrequency(), 11025u);
    WAVEFORMATEX own{};
    sound.GetBuffer()->GetFormat(&own, sizeof own, nullptr);
    EXPECT_EQ(own.nChannels, 1);
    EXPECT_EQ(own.wBitsPerSample, 8);
    WAVEFORMATEX primary{};
    D3DZCSound::SndDevice.GetPrymary()->GetFormat(&primary, sizeof primary, nullptr);
    EXPECT_EQ(primary.nSamplesPerSec, 44100u);
    EXPECT_EQ(primary.nChannels, 2);
    EXPECT_EQ(primary.wBitsPerSample, 16);
    float rolloff = 0;
    D3DZCSound::SndDevice.GetListener()->GetRolloffFactor(&rolloff);
    EXPECT_FLOAT_EQ(rolloff, 0.001f);
}

TEST_F(SoundOutput, APlayedToneComesOutAtItsPitch) {
    D3DZCSound sound;
    sound.Load(Sound("tone.wav", Pcm(1, 44100, 16, Sine(441.0, 44100, 0.3, 0.5))).c_str());
    ASSERT_NE(sound.GetBuffer(), nullptr);
    ASSERT_TRUE(sound.Play(0));
    EXPECT_TRUE(sound.isPlaying());
    WaitWhilePlaying(sound, 3000);
    EXPECT_FALSE(sound.isPlaying()) << "a sound played once ends by itself";
    sound.Release();
    D3DZCSound::SndDevice.DeviceRelease(); // the writer finishes its file when the device closes

    unsigned channels = 0;
    const auto samples = WrittenSamples(m_output, channels);
    ASSERT_EQ(channels, 2u);
    // Count the left channel's cycles from below -2000 to above 2000: 441 Hz gives one per 100 samples.
    int loud = 0, cycles = 0, peak = 0;
    bool low = false;
    for (std::size_t i = 0; i < samples.size(); i += 2) {
        peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
        if (std::abs(samples[i]) > 2000)
            ++loud;
        if (samples[i] < -2000)
            low = true;
        else if (samples[i] > 2000 && low) {
            low = false;
            ++cycles;
        }
    }
    EXPECT_GT(peak, 5000);
    EXPECT_NEAR(cycles, 0.3 * 441, 10) << "the tone lasts as long as the file, at its pitch";
    EXPECT_GT(loud, 0.3 * 44100 / 2) << "most samples of a sine are well away from zero";
}

TEST_F(SoundOutput, LoopingPlaysUntilStoppedAndStopRewinds) {
    D3DZCSound sound;
    sound.Load(Sound("loop.wav", Pcm(1, 44100, 16, Sine(441.0, 44100, 0.05, 0.5))).c_str());
    ASSERT_TRUE(sound.Play(DSBPLAY_LOOPING));
    EXPECT_FALSE(sound.Play(DSBPLAY_LOOPING)) << "already playing";
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(sound.isPlaying()) << "four times its length later it still plays";
    EXPECT_TRUE(sound.GetStatus() & DSBSTATUS_LOOPING);
    sound.Stop();
    EXPECT_FALSE(sound.isPlaying());
    DWORD position = 1;
    sound.GetBuffer()->GetCurrentPosition(&position, nullptr);
    EXPECT_EQ(position, 0u) << "the next Play starts from the beginning";
    EXPECT_TRUE(sound.Play(0));
    sound.Stop();
}

TEST_F(SoundOutput, UnreadableFilesLeaveNoBufferAndNothingToPlay) {
    const std::vector<std::pair<std::string, std::string>> files = {
        {"missing", ""},
        {"text.wav", "this is not a wave file"},
        {"liar.wav", Riff(Chunk("fmt ", Format(1, 1, 8000, 8)) + Chunk("data", "abcd", 0x7FFFFFF0))},
        {"no-channels.wav", Pcm(0, 8000, 8, "abcd")},
        {"twelve-bit.wav", Pcm(1, 8000, 12, "abcdef")}};
    for (const auto& [name, bytes] : files) {
        D3DZCSound sound;
        sound.Load((name == "missing" ? m_dir.File("none.wav") : Sound(name, bytes)).c_str());
        EXPECT_EQ(sound.GetBuffer(), nullptr) << name;
        EXPECT_FALSE(sound.Play(0)) << name;
        sound.Stop();
        EXPECT_EQ(sound.GetStatus(), 0u) << name;
    }
}

TEST(SoundWithoutDevice, LoadsAndPlaysFailQuietly) {
    TempDir dir;
    if (!ConfigureOutput("none", "[general]\ndrivers = no-such-backend\n"))
        GTEST_SKIP() << "another output was chosen in this process";
    D3DZCSound::SndDevice.Init(nullptr);
    EXPECT_EQ(D3DZCSound::SndDevice.GetDSound(), nullptr);
    EXPECT_EQ(D3DZCSound::SndDevice.GetPrymary(), nullptr);
    D3DZCSound sound;
    sound.Load(dir.Write("tone.wav", Pcm(1, 8000, 8, std::string(800, '\x80'))).c_str());
    EXPECT_EQ(sound.GetBuffer(), nullptr);
    EXPECT_FALSE(sound.Play(DSBPLAY_LOOPING));
    EXPECT_FALSE(sound.isPlaying());
    D3DZCSound::SndDevice.DeviceRelease();
}
