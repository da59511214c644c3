#include "D3DZCFILE.h"
#include "MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string kHint = "がない可能性があります。\nパスとファイル名の確認をしてください";

bool IsValidUtf8(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto lead = static_cast<unsigned char>(s[i]);
        std::size_t length = lead < 0x80           ? 1
                             : (lead >> 5) == 0x6  ? 2
                             : (lead >> 4) == 0xE  ? 3
                             : (lead >> 3) == 0x1E ? 4
                                                   : 0;
        if (length == 0 || i + length > s.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

class D3DZCFILETest : public ::testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> serial{0};
        m_dir = fs::temp_directory_path() /
                ("d3dzcfile-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }
    std::string PathOf(const std::string& name) const { return (m_dir / name).string(); }

    fs::path m_dir;
};

} // namespace

TEST_F(D3DZCFILETest, WritesTextAndBinaryThatReadBackUnchanged) {
    const std::string path = PathOf("log.bin");
    std::uint32_t words[3] = {0x01020304u, 0xA0B0C0D0u, 7u};
    {
        D3DZCFILE file;
        file.LoadFile(path.c_str(), "wb");
        ASSERT_NE(file.m_fp, nullptr);
        file.PutStr("first line");
        int ch = '\n';
        file.PutChar(&ch);
        file.Printf("%d-%s-%.2f\n", 42, "x", 1.5);
        file.BinaryWrite(words, 3);
    }
    const std::string bytes = ReadAll(path);
    ASSERT_EQ(bytes.size(), std::string("first line\n42-x-1.50\n").size() + 12);
    EXPECT_EQ(bytes.substr(0, 21), "first line\n42-x-1.50\n");
    EXPECT_EQ(bytes.substr(21, 4), std::string("\x04\x03\x02\x01", 4));

    D3DZCFILE file;
    file.LoadFile(path.c_str(), "rb");
    ASSERT_NE(file.m_fp, nullptr);
    char line[64];
    file.GetStr(line, sizeof line);
    EXPECT_STREQ(line, "first line\n");
    int ch = 0;
    file.GetChar(&ch);
    EXPECT_EQ(ch, '4');
    file.GetStr(line, sizeof line);
    EXPECT_STREQ(line, "2-x-1.50\n");
    std::uint32_t back[3] = {};
    file.BinaryRead(back, 3);
    EXPECT_EQ(back[0], words[0]);
    EXPECT_EQ(back[1], words[1]);
    EXPECT_EQ(back[2], words[2]);
    file.GetChar(&ch);
    EXPECT_EQ(ch, EOF);
}

TEST_F(D3DZCFILETest, GetStrStopsAtMaxCountAndGivesAnEmptyStringAtEnd) {
    const std::string path = PathOf("lines.txt");
    WriteAll(path, "abcdef\nxy");
    D3DZCFILE file;
    file.LoadFile(path.c_str(), "r");
    char buffer[8];
    file.GetStr(buffer, 4);
    EXPECT_STREQ(buffer, "abc");
    file.GetStr(buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "def\n");
    file.GetStr(buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "xy");
    file.GetStr(buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "");
    file.GetStr(buffer, 1);
    EXPECT_STREQ(buffer, "");
}

TEST_F(D3DZCFILETest, StreamClosesOnDestructionCloseAndReopen) {
    const std::string first = PathOf("first.txt");
    const std::string second = PathOf("second.txt");
    D3DZCFILE file;
    file.LoadFile(first.c_str(), "w");
    file.PutStr("one");
    // Opening a second file closes the first, which flushes it.
    file.LoadFile(second.c_str(), "w");
    EXPECT_EQ(ReadAll(first), "one");
    file.PutStr("two");
    file.CloseFile();
    EXPECT_EQ(file.m_fp, nullptr);
    EXPECT_EQ(ReadAll(second), "two");
    file.CloseFile();

    {
        D3DZCFILE scoped;
        scoped.LoadFile(first.c_str(), "a");
        scoped.PutStr("+");
    }
    EXPECT_EQ(ReadAll(first), "one+");
}

TEST_F(D3DZCFILETest, FailedOpenShowsTheMessageAndLeavesNoStream) {
    const std::string missing = PathOf("missing%s.txt");
    const std::string existing = PathOf("existing.txt");
    WriteAll(existing, "x");
    MessageBoxRecorder recorder;
    D3DZCFILE file;
    file.LoadFile(existing.c_str(), "r");
    ASSERT_NE(file.m_fp, nullptr);
    file.LoadFile(missing.c_str(), "r");
    EXPECT_EQ(file.m_fp, nullptr);
    ASSERT_EQ(recorder.Messages().size(), 1u);
    const auto& message = recorder.Messages()[0];
    EXPECT_EQ(message.owner, nullptr);
    EXPECT_EQ(message.caption, "ファイルオープンエラー");
    EXPECT_EQ(message.type, MB_OK);
    EXPECT_EQ(message.text, missing + kHint);
}

TEST_F(D3DZCFILETest, NullNameOrModeFailsLikeAMissingFile) {
    const std::string existing = PathOf("existing.txt");
    WriteAll(existing, "x");
    MessageBoxRecorder recorder;
    D3DZCFILE file;
    file.LoadFile(nullptr, "r");
    EXPECT_EQ(file.m_fp, nullptr);
    file.LoadFile(existing.c_str(), nullptr);
    EXPECT_EQ(file.m_fp, nullptr);
    ASSERT_EQ(recorder.Messages().size(), 2u);
    EXPECT_EQ(recorder.Messages()[0].text, kHint);
    EXPECT_EQ(recorder.Messages()[1].text, existing + kHint);
}

TEST_F(D3DZCFILETest, LongOpenErrorMessageIsCutAtACharacterBoundary) {
    // Every lead padding shifts where byte 255 falls inside the 3- and 4-byte characters.
    for (const std::string character : {"あ", "😀", "é"}) {
        for (std::size_t padding = 0; padding < 4; ++padding) {
            std::string name(padding, 'p');
            while (name.size() < 400) {
                name += character;
            }
            const std::string path = PathOf(name);
            MessageBoxRecorder recorder;
            D3DZCFILE file;
            file.LoadFile(path.c_str(), "r");
            ASSERT_EQ(recorder.Messages().size(), 1u);
            const std::string& text = recorder.Messages()[0].text;
            SCOPED_TRACE(character + " after " + std::to_string(padding));
            EXPECT_LE(text.size(), 255u);
            EXPECT_GT(text.size(), 255u - character.size());
            EXPECT_TRUE(IsValidUtf8(text));
            EXPECT_EQ(text, path.substr(0, text.size()));
        }
    }
}

TEST_F(D3DZCFILETest, MessageThatJustFitsIsKeptWhole) {
    const std::size_t fixed = PathOf("").size() + kHint.size();
    ASSERT_LT(fixed, 255u);
    const std::string path = PathOf(std::string(255 - fixed, 'n'));
    MessageBoxRecorder recorder;
    D3DZCFILE file;
    file.LoadFile(path.c_str(), "r");
    ASSERT_EQ(recorder.Messages().size(), 1u);
    EXPECT_EQ(recorder.Messages()[0].text, path + kHint);
    EXPECT_EQ(recorder.Messages()[0].text.size(), 255u);
}

TEST_F(D3DZCFILETest, OperationsWithoutAStreamDoNothing) {
    D3DZCFILE file;
    int ch = 'a';
    file.GetChar(&ch);
    EXPECT_EQ(ch, EOF);
    char line[4] = "old";
    file.GetStr(line, sizeof line);
    EXPECT_STREQ(line, "");
    std::uint32_t words[2] = {5u, 6u};
    file.BinaryRead(words, 2);
    EXPECT_EQ(words[0], 5u);
    EXPECT_EQ(words[1], 6u);
    file.BinaryWrite(words, 2);
    file.PutChar(&ch);
    file.PutStr("text");
    file.Printf("%d", 1);
    file.GetChar(nullptr);
    file.GetStr(nullptr, 10);
    file.PutChar(nullptr);
    file.PutStr(nullptr);
    file.CloseFile();
    EXPECT_EQ(file.m_fp, nullptr);
}
