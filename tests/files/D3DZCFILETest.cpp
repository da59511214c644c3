#include "D3DZCFILE.h"
#include "MessageBoxRecorder.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

const std::string kHint = "がない可能性があります。\nパスとファイル名の確認をしてください";

bool IsValidUtf8(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto lead = static_cast<unsigned char>(s[i]);
        const std::size_t length = lead < 0x80             ? 1
                                   : (lead & 0xE0) == 0xC0 ? 2
                                   : (lead & 0xF0) == 0xE0 ? 3
                                   : (lead & 0xF8) == 0xF0 ? 4
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

} // namespace

TEST(D3DZCFILE, WritesTextAndBinaryThatReadBackUnchanged) {
    TempDir dir;
    const std::string path = dir.File("log.bin");
    std::uint32_t words[2] = {0x01020304u, 0xA0B0C0D0u};
    {
        D3DZCFILE file;
        file.LoadFile(path.c_str(), "wb");
        file.PutStr("abcdef");
        int ch = '\n';
        file.PutChar(&ch);
        file.Printf("%d-%s\n", 42, "x");
        file.BinaryWrite(words, 2);
    } // the destructor closes and so flushes the stream
    EXPECT_EQ(TempDir::Read(path), std::string("abcdef\n42-x\n\x04\x03\x02\x01\xD0\xC0\xB0\xA0", 20));

    D3DZCFILE file;
    file.LoadFile(path.c_str(), "rb");
    char line[16];
    file.GetStr(line, 4);
    EXPECT_STREQ(line, "abc");
    file.GetStr(line, sizeof line);
    EXPECT_STREQ(line, "def\n");
    int ch = 0;
    file.GetChar(&ch);
    EXPECT_EQ(ch, '4');
    file.GetStr(line, sizeof line);
    EXPECT_STREQ(line, "2-x\n");
    std::uint32_t back[2] = {};
    file.BinaryRead(back, 2);
    EXPECT_EQ(back[0], words[0]);
    EXPECT_EQ(back[1], words[1]);
    file.GetChar(&ch);
    EXPECT_EQ(ch, EOF);
    file.GetStr(line, sizeof line);
    EXPECT_STREQ(line, "");
}

TEST(D3DZCFILE, OpeningAgainClosesTheFirstStream) {
    TempDir dir;
    const std::string first = dir.File("first.txt");
    D3DZCFILE file;
    file.LoadFile(first.c_str(), "w");
    file.PutStr("one");
    file.LoadFile(dir.File("second.txt").c_str(), "w");
    EXPECT_EQ(TempDir::Read(first), "one");
    file.CloseFile();
    EXPECT_EQ(file.m_fp, nullptr);
}

TEST(D3DZCFILE, FailedOpenNamesTheFileAndLeavesNoStream) {
    TempDir dir;
    const std::string existing = dir.Write("existing.txt", "x");
    const std::string missing = dir.File("missing%s.txt");
    MessageBoxRecorder recorder;
    D3DZCFILE file;
    file.LoadFile(existing.c_str(), "r");
    file.LoadFile(missing.c_str(), "r");
    EXPECT_EQ(file.m_fp, nullptr);
    file.LoadFile(nullptr, "r");
    file.LoadFile(existing.c_str(), nullptr);
    EXPECT_EQ(file.m_fp, nullptr);

    ASSERT_EQ(recorder.Messages().size(), 3u);
    const auto& message = recorder.Messages()[0];
    EXPECT_EQ(message.owner, nullptr);
    EXPECT_EQ(message.caption, "ファイルオープンエラー");
    EXPECT_EQ(message.type, MB_OK);
    EXPECT_EQ(message.text, missing + kHint);
    EXPECT_EQ(recorder.Messages()[1].text, kHint);
    EXPECT_EQ(recorder.Messages()[2].text, existing + kHint);
}

TEST(D3DZCFILE, LongOpenErrorMessageIsCutAtACharacterBoundary) {
    TempDir dir;
    // The paddings move byte 255 through every position inside 2-, 3- and 4-byte characters.
    for (const std::string character : {"é", "あ", "😀"}) {
        for (std::size_t padding = 0; padding < 4; ++padding) {
            std::string name(padding, 'p');
            while (name.size() < 400) {
                name += character;
            }
            const std::string path = dir.File(name);
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

    const std::size_t fixed = dir.File("").size() + kHint.size();
    const std::string justFits = dir.File(std::string(255 - fixed, 'n'));
    MessageBoxRecorder recorder;
    D3DZCFILE file;
    file.LoadFile(justFits.c_str(), "r");
    ASSERT_EQ(recorder.Messages().size(), 1u);
    EXPECT_EQ(recorder.Messages()[0].text, justFits + kHint);
}

TEST(D3DZCFILE, OperationsWithoutAStreamDoNothing) {
    D3DZCFILE file;
    int ch = 'a';
    file.GetChar(&ch);
    EXPECT_EQ(ch, EOF);
    char line[4] = "old";
    file.GetStr(line, sizeof line);
    EXPECT_STREQ(line, "");
    std::uint32_t words[1] = {5u};
    file.BinaryRead(words, 1);
    EXPECT_EQ(words[0], 5u);
    file.BinaryWrite(words, 1);
    file.PutChar(&ch);
    file.PutStr("text");
    file.Printf("%d", 1);
    file.GetChar(nullptr);
    file.GetStr(nullptr, 10);
    file.CloseFile();
    EXPECT_EQ(file.m_fp, nullptr);
}
