#include "FsmithTool.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace {

struct Played {
    int status;
    std::string out, err;
};

Played Play(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    FsmithTool tool(out, err);
    const int status = tool.Run(args);
    return {status, out.str(), err.str()};
}

void Put(std::string& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A tenth of a second of 8-bit mono silence at 8 kHz.
std::string QuietWave() {
    std::string format, bytes = "RIFF";
    Put(format, 1, 2);
    Put(format, 1, 2);
    Put(format, 8000, 4);
    Put(format, 8000, 4);
    Put(format, 1, 2);
    Put(format, 8, 2);
    const std::string samples(800, '\x80');
    Put(bytes, 4 + 8 + 16 + 8 + 800, 4);
    bytes += "WAVEfmt ";
    Put(bytes, 16, 4);
    bytes += format + "data";
    Put(bytes, 800, 4);
    return bytes + samples;
}

// OpenAL reads its configuration once per process; ctest gives each test its own.
bool g_configured = false;

} // namespace

TEST(FsmithPlay, PlaysAWaveFileToTheEndOnTheOutput) {
    if (g_configured)
        GTEST_SKIP() << "the sound output was configured earlier in this process";
    g_configured = true;
    TempDir dir;
    const std::string output = dir.File("out.wav");
    setenv("ALSOFT_CONF",
           dir.Write("alsoft.conf", "[general]\ndrivers = wave\n[wave]\nfile = " + output + "\n").c_str(), 1);
    const Played played = Play({"play", dir.Write("quiet.wav", QuietWave())});
    ASSERT_EQ(played.status, 0) << played.err;
    EXPECT_NE(played.out.find("(0.1 s, 1 channel, 8-bit, 8000 Hz)"), std::string::npos) << played.out;
    EXPECT_GT(std::filesystem::file_size(output), 44u) << "the writer received samples";

    const Played text = Play({"play", dir.Write("notes.wav", "not a wave file")});
    EXPECT_EQ(text.status, 1);
    EXPECT_NE(text.err.find("is not a wave file that can be read"), std::string::npos) << text.err;
    EXPECT_EQ(Play({"play"}).status, 2);
}

TEST(FsmithPlay, SaysSoWhenThereIsNoSoundDevice) {
    if (g_configured)
        GTEST_SKIP() << "the sound output was configured earlier in this process";
    g_configured = true;
    TempDir dir;
    setenv("ALSOFT_CONF", dir.Write("alsoft.conf", "[general]\ndrivers = no-such-backend\n").c_str(), 1);
    const Played played = Play({"play", dir.Write("quiet.wav", QuietWave())});
    EXPECT_EQ(played.status, 1);
    EXPECT_NE(played.err.find("no sound device"), std::string::npos) << played.err;
}
