#include "D3DZCDebugWindow.h"

#include "D3DZCFILE.h"
#include "DZDebugFunctions.h"
#include "MessageBox.h"

#include <string>

namespace {

constexpr const char* kLibraryVersion = "DXZorvVer 1.4";
constexpr const char* kLogFile = "DXZorvTimeLog.txt";
constexpr WORD kBrightGreen = FOREGROUND_GREEN | FOREGROUND_INTENSITY;

const std::string& Rule() {
    static const std::string rule(77, '=');
    return rule;
}

} // namespace

void D3DZCDebugWindow::MakeWindow() {
    if (m_fpConsole != nullptr)
        return;
    FreeConsole();
    AllocConsole();
    m_fpConsole = OpenConsoleStream();
    m_hStdOut = GetStdHandle(STD_OUTPUT_HANDLE);
    GetConsoleScreenBufferInfo(m_hStdOut, &m_csbi);
    m_wAttribute = kBrightGreen;
    SetConsoleTextAttribute(m_hStdOut, m_wAttribute);
    SetConsoleTitleA("DXZorv_DebugWindow");
    PrintBanner();
    DZOutPutDebugTab("\n=====================================================================\n"
                     "メモリリークを監視します\n"
                     "=====================================================================\n");
    AppendTimeLog();
}

void D3DZCDebugWindow::PrintBanner() {
    if (m_fpConsole == nullptr)
        return;
    std::fprintf(m_fpConsole, "%s\n%s\n\t\t\tDXZORVDEBUGMODE  \n%s\nStartTime\n", kLibraryVersion,
                 Rule().c_str(), Rule().c_str());
    DayOut();
    std::fprintf(m_fpConsole, "DXZORVDEBUGMODE Standing By\n\n");
}

void D3DZCDebugWindow::AppendTimeLog() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    D3DZCFILE log;
    // Opened here rather than through the wrapper, whose own error box would come before this one.
    log.m_fp = std::fopen(kLogFile, "a");
    if (log.m_fp == nullptr) {
        DZMsgBox_OK2("ファイルオープンエラー",
                     "%sがない可能性があります。\nパスとファイル名の確認をしてください", kLogFile);
        return;
    }
    log.PutStr("\n------------------------------------------------------------\n");
    log.Printf("[libraryVersion] %s\n", kLibraryVersion);
    log.Printf("[TimeLog] %d.%02d.%02d %2d:%02d:%02d\n", now.wYear, now.wMonth, now.wDay, now.wHour,
               now.wMinute, now.wSecond);
    log.PutStr("------------------------------------------------------------\n\n");
    log.CloseFile();
}

void D3DZCDebugWindow::DayOut() {
    GetLocalTime(&m_Time);
    if (m_fpConsole != nullptr)
        std::fprintf(m_fpConsole, "%d.%02d.%02d %2d:%02d:%02d\n", m_Time.wYear, m_Time.wMonth, m_Time.wDay,
                     m_Time.wHour, m_Time.wMinute, m_Time.wSecond);
}

void D3DZCDebugWindow::Release() {
    if (m_fpConsole == nullptr) {
        MessageBoxA(nullptr, "DebugWindowが作られていない\nまたは、二重解放している恐れがあります",
                    "CDebugWindow Error!", MB_OK);
        return;
    }
    std::fprintf(m_fpConsole, "\nEndTime\n");
    DayOut();
    std::fprintf(m_fpConsole, "%s\nDXZORVDEBUGMODE Complete\n\nプログラムを終了します\n", Rule().c_str());
    DZOutPutDebugTab("\n=====================================================================\n");
    DZOutPutDebugTab("\nメモリリークを検出した場合は、この下に表示されます\n");
    DZOutPutDebugTab("\n=====================================================================\n\n");
    SetConsoleTextAttribute(m_hStdOut, m_csbi.wAttributes);
    std::fclose(m_fpConsole);
    m_fpConsole = nullptr;
    FreeConsole();
}
