#include "D3DZCDebugWindow.h"
#include "DZDebugFunctions.h"
#include "MessageBoxRecorder.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

SYSTEMTIME AprilMorning() {
    SYSTEMTIME time;
    time.wYear = 2015;
    time.wMonth = 4;
    time.wDay = 3;
    time.wHour = 9;
    time.wMinute = 5;
    time.wSecond = 7;
    return time;
}

// The console goes to a file and the clock stands still; the log file is written in a fresh folder.
class DebugWindow : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_dir.Path());
        m_console = std::fopen(m_dir.File("console.out").c_str(), "w+");
        ASSERT_NE(m_console, nullptr);
        SetConsoleOutput(fileno(m_console), false);
        SetLocalTimeSource(AprilMorning);
    }
    void TearDown() override {
        SetLocalTimeSource(nullptr);
        SetConsoleOutput(-1, false);
        FreeConsole();
        std::fclose(m_console);
        std::filesystem::current_path(m_previous);
    }
    std::string Console() const { return TempDir::Read(m_dir.File("console.out")); }
    std::string Log() const { return TempDir::Read(m_dir.File("DXZorvTimeLog.txt")); }

    TempDir m_dir;
    std::FILE* m_console = nullptr;
    std::filesystem::path m_previous;
    MessageBoxRecorder m_messages;
};

const std::string kRule(77, '=');
const std::string kDashes(60, '-');
const std::string kRecord =
    "\n" + kDashes + "\n[libraryVersion] DXZorvVer 1.4\n[TimeLog] 2015.04.03  9:05:07\n" + kDashes + "\n\n";

} // namespace

TEST_F(DebugWindow, BannerAndLogRecordAreExactAndASecondOpenChangesNothing) {
    D3DZCDebugWindow window;
    window.MakeWindow();
    ASSERT_NE(window.GetConsole(), nullptr);
    EXPECT_EQ(Console(), "DXZorvVer 1.4\n" + kRule + "\n\t\t\tDXZORVDEBUGMODE  \n" + kRule +
                             "\nStartTime\n2015.04.03  9:05:07\nDXZORVDEBUGMODE Standing By\n\n");
    EXPECT_EQ(Log(), kRecord);

    window.MakeWindow();
    EXPECT_EQ(Log(), kRecord) << "one console, one record";

    window.Release();
    EXPECT_EQ(window.GetConsole(), nullptr);
    EXPECT_TRUE(Console().ends_with("DXZORVDEBUGMODE Standing By\n\n\nEndTime\n2015.04.03  9:05:07\n" +
                                    kRule + "\nDXZORVDEBUGMODE Complete\n\nプログラムを終了します\n"));
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(DebugWindow, ReleasingTwiceWarnsAndLeavesTheConsoleAlone) {
    D3DZCDebugWindow window;
    window.MakeWindow();
    window.Release();
    const std::string before = Console();
    window.Release();
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(m_messages.Messages()[0].caption, "CDebugWindow Error!");
    EXPECT_EQ(m_messages.Messages()[0].text,
              "DebugWindowが作られていない\nまたは、二重解放している恐れがあります");
    EXPECT_EQ(Console(), before);
}

TEST_F(DebugWindow, RunsAppendToTheLogAndAnUnwritableLogIsReportedOnce) {
    for (int run = 0; run < 2; ++run) {
        D3DZCDebugWindow window;
        window.MakeWindow();
        window.Release();
    }
    EXPECT_EQ(Log(), kRecord + kRecord);

    std::filesystem::remove(m_dir.File("DXZorvTimeLog.txt"));
    std::filesystem::create_directory(m_dir.File("DXZorvTimeLog.txt"));
    D3DZCDebugWindow window;
    window.MakeWindow();
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(m_messages.Messages()[0].caption, "ファイルオープンエラー");
    EXPECT_EQ(m_messages.Messages()[0].text,
              "DXZorvTimeLog.txtがない可能性があります。\nパスとファイル名の確認をしてください");
    EXPECT_NE(window.GetConsole(), nullptr) << "the console stays open";
    window.Release();
}

TEST_F(DebugWindow, ATerminalGetsBrightGreenAndTheTitleAndTheColoursBackAtTheEnd) {
    SetConsoleOutput(fileno(m_console), true);
    D3DZCDebugWindow window;
    window.MakeWindow();
    window.Release();
    const std::string console = Console();
    EXPECT_TRUE(console.starts_with("\x1b[0;92m\x1b]0;DXZorv_DebugWindow\x07"
                                    "DXZorvVer 1.4\n"))
        << console;
    EXPECT_TRUE(console.ends_with("プログラムを終了します\n\x1b[0m")) << "the grey the console had";
}

TEST(DebugFunctions, MessageBoxTextIsFormattedAndCutAtAWholeCharacter) {
    MessageBoxRecorder messages;
    DZMsgBox_OK2("caption", "%d files, %s", 3, "done");
    // 85 three-byte characters are 255 bytes; one more ASCII byte in front pushes the last one out whole.
    std::string japanese;
    for (int i = 0; i < 90; ++i)
        japanese += "あ";
    DZMsgBox_OK2("long", "x%s", japanese.c_str());
    DZOutPutDebugTab("%s", "nothing is shown");
    ASSERT_EQ(messages.Messages().size(), 2u);
    EXPECT_EQ(messages.Messages()[0].text, "3 files, done");
    EXPECT_EQ(messages.Messages()[0].caption, "caption");
    EXPECT_EQ(messages.Messages()[0].type, MB_OK);
    EXPECT_EQ(messages.Messages()[1].text, "x" + japanese.substr(0, 84 * 3));
}
