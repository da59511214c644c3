#include "D3DZCWaveSoundRead.h"
#include "TempDir.h"
#include "WaveFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace WaveFiles;

namespace {

std::string Bytes(unsigned count) {
    std::string bytes;
    for (unsigned i = 0; i < count; ++i)
        bytes += static_cast<char>(i * 7 + 1);
    return bytes;
}

} // namespace

TEST(WaveRead, PcmFilesGiveTheirFormatAndEveryDataByte) {
    TempDir dir;
    struct Case {
        unsigned channels, bits;
        std::uint32_t rate;
    };
    for (const Case& c : {Case{1, 8, 11025}, Case{2, 16, 44100}}) {
        // A chunk the reader does not know stands between format and data, and is skipped.
        const std::string samples = Bytes(1000 * c.channels * c.bits / 8);
        const std::string file =
            dir.Write("sound.wav", Riff(Chunk("fmt ", Format(1, c.channels, c.rate, c.bits)) +
                                        Chunk("LIST", "INFOjunk") + Chunk("data", samples)));
        D3DZCWaveSoundRead reader;
        ASSERT_EQ(reader.Open(file.c_str()), S_OK);
        ASSERT_NE(reader.m_pWaveFormat, nullptr);
        EXPECT_EQ(reader.m_pWaveFormat->nChannels, c.channels);
        EXPECT_EQ(reader.m_pWaveFormat->wBitsPerSample, c.bits);
        EXPECT_EQ(reader.m_pWaveFormat->nSamplesPerSec, c.rate);
        EXPECT_EQ(reader.m_pWaveFormat->cbSize, 0);
        EXPECT_EQ(reader.m_ckData.cksize, samples.size());

        std::string read(samples.size(), '\0');
        UINT count = 0;
        ASSERT_EQ(reader.Read(static_cast<UINT>(read.size()), reinterpret_cast<BYTE*>(read.data()), &count),
                  S_OK);
        EXPECT_EQ(count, samples.size());
        EXPECT_EQ(read, samples);

        ASSERT_EQ(reader.Reset(), S_OK) << "back to the first sample";
        BYTE first = 0;
        ASSERT_EQ(reader.Read(1, &first, &count), S_OK);
        EXPECT_EQ(first, static_cast<BYTE>(samples[0]));
    }
}

TEST(WaveRead, ReadsPastTheDataChunkStopAtItsEnd) {
    TempDir dir;
    // Another chunk follows the data: its bytes must not be read as samples.
    const std::string file =
        dir.Write("short.wav", Riff(Chunk("fmt ", Format(1, 1, 8000, 8)) + Chunk("data", Bytes(100)) +
                                    Chunk("cue ", Bytes(40))));
    D3DZCWaveSoundRead reader;
    ASSERT_EQ(reader.Open(file.c_str()), S_OK);
    std::vector<BYTE> buffer(500);
    UINT count = 0;
    ASSERT_EQ(reader.Read(60, buffer.data(), &count), S_OK);
    EXPECT_EQ(count, 60u);
    ASSERT_EQ(reader.Read(500, buffer.data(), &count), S_OK);
    EXPECT_EQ(count, 40u);
    EXPECT_EQ(reader.m_ckData.cksize, 0u);
    EXPECT_EQ(buffer[39], static_cast<BYTE>(Bytes(100)[99]));
    ASSERT_EQ(reader.Read(500, buffer.data(), &count), S_OK);
    EXPECT_EQ(count, 0u);
}

TEST(WaveRead, OtherFormatsKeepTheirExtraBytes) {
    TempDir dir;
    std::string format = Format(2, 1, 8000, 4); // not PCM: an extra-byte count and the bytes follow
    Put16(format, 2);
    format += "\x34\x12";
    const std::string file = dir.Write("adpcm.wav", Riff(Chunk("fmt ", format) + Chunk("data", Bytes(10))));
    D3DZCWaveSoundRead reader;
    ASSERT_EQ(reader.Open(file.c_str()), S_OK);
    ASSERT_NE(reader.m_pWaveFormat, nullptr);
    EXPECT_EQ(WaveFormatSize(*reader.m_pWaveFormat), 20u);
    EXPECT_EQ(reader.m_pWaveFormat->cbSize, 2);
    const auto* extra = reinterpret_cast<const BYTE*>(reader.m_pWaveFormat + 1);
    EXPECT_EQ(extra[0], 0x34);
    EXPECT_EQ(extra[1], 0x12);
}

TEST(WaveRead, BrokenFilesFailAndLeaveNothingBehind) {
    TempDir dir;
    std::string truncatedExtra = Format(2, 1, 8000, 4);
    Put16(truncatedExtra, 40); // announces 40 extra bytes, holds 2
    truncatedExtra += "ab";
    const std::vector<std::pair<std::string, std::string>> files = {
        {"missing", ""},
        {"empty.wav", std::string()},
        {"not-riff.wav", Chunk("RIFX", "WAVE" + Chunk("fmt ", Format(1, 1, 8000, 8)))},
        {"not-wave.wav", Chunk("RIFF", "AVI " + Chunk("fmt ", Format(1, 1, 8000, 8)))},
        {"short-format.wav",
         Riff(Chunk("fmt ", Format(1, 1, 8000, 8).substr(0, 14)) + Chunk("data", Bytes(8)))},
        {"no-format.wav", Riff(Chunk("data", Bytes(8)))},
        {"no-data.wav", Riff(Chunk("fmt ", Format(1, 1, 8000, 8)))},
        {"cut-extra.wav", Riff(Chunk("fmt ", truncatedExtra))},
        {"zero-size-loop.wav", Riff(Chunk("fmt ", Format(1, 1, 8000, 8)) + "junk\xF8\xFF\xFF\xFF")}};
    for (const auto& [name, bytes] : files) {
        const std::string path = name == "missing" ? dir.File("none.wav") : dir.Write(name, bytes);
        D3DZCWaveSoundRead reader;
        EXPECT_EQ(reader.Open(path.c_str()), E_FAIL) << name;
        // These two fail after the format was read.
        if (name != "no-data.wav" && name != "zero-size-loop.wav") {
            EXPECT_EQ(reader.m_pWaveFormat, nullptr) << name;
        }
    }
}

TEST(WaveRead, ADataChunkLongerThanTheFileFailsWhenTheMissingBytesAreRead) {
    TempDir dir;
    const std::string file =
        dir.Write("liar.wav", Riff(Chunk("fmt ", Format(1, 1, 8000, 8)) + Chunk("data", Bytes(100), 50000)));
    D3DZCWaveSoundRead reader;
    ASSERT_EQ(reader.Open(file.c_str()), S_OK);
    std::vector<BYTE> buffer(50000);
    UINT count = 0;
    EXPECT_EQ(reader.Read(50000, buffer.data(), &count), E_FAIL);
    EXPECT_EQ(count, 0u);
}
