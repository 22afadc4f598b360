#include <gtest/gtest.h>
#include <windows.h>

#include <regex>

#include "app/app_win.h"
#include "base/fileops_win.h"
#include "config/settings_io.h"
#include "win_test_util.h"

namespace {

void ResetShell(const std::wstring& folder) {
    SetDefaults(g_settings, ScreenMetrics{10, 1.0, 1920, 1080});
    g_shell = ShellState{};
    g_shell.programPath = folder + L"\\prog\\zuvo.exe";
    g_shell.appDataFolder = folder + L"\\appdata";
    g_shell.iniPath = IniBesideProgram(g_shell.programPath);
}

TEST(Win32Files, ReplaceAppendAndRead) {
    std::wstring dir = ScratchFolder(L"files");
    FileOps fs = Win32FileOps();
    std::wstring path = dir + L"\\\u00C4rger \u266B.ini";  // non-ASCII name
    ASSERT_TRUE(fs.replaceFile(nullptr, path, "first"));
    ASSERT_TRUE(fs.replaceFile(nullptr, path, "second"));
    EXPECT_EQ(ReadBytes(path), "second");
    EXPECT_FALSE(fs.fileExists(nullptr, path + L".new"));  // no temporary file left behind
    std::string part;
    ASSERT_TRUE(fs.readFile(nullptr, path, 3, part));
    EXPECT_EQ(part, "sec");

    EXPECT_FALSE(fs.replaceFile(nullptr, dir + L"\\missing\\x.ini", "x"));
    EXPECT_EQ(ReadBytes(dir + L"\\missing\\x.ini"), "<missing>");

    EXPECT_EQ(fs.appendFile(nullptr, dir + L"\\log.txt", "abc"), 3);
    EXPECT_EQ(fs.appendFile(nullptr, dir + L"\\log.txt", "de"), 5);
    EXPECT_EQ(fs.appendFile(nullptr, dir + L"\\missing\\log.txt", "x"), -1);
    EXPECT_TRUE(fs.folderExists(nullptr, dir));
    EXPECT_FALSE(fs.fileExists(nullptr, dir));
    EXPECT_TRUE(fs.createFolder(nullptr, dir + L"\\new"));
    EXPECT_TRUE(fs.createFolder(nullptr, dir + L"\\new"));  // already there
}

TEST(Win32Files, ReplaceKeepsTheOldFileWhenTheTargetIsLocked) {
    std::wstring dir = ScratchFolder(L"locked");
    FileOps fs = Win32FileOps();
    std::wstring path = dir + L"\\zuvo.ini";
    ASSERT_TRUE(fs.replaceFile(nullptr, path, "old content"));
    HANDLE lock = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(fs.replaceFile(nullptr, path, "new"));
    CloseHandle(lock);
    EXPECT_EQ(ReadBytes(path), "old content");
    EXPECT_FALSE(fs.fileExists(nullptr, path + L".new"));
}

// Lines go to error.log beside the settings, each stamped with the clock's time; the stamp's
// format in detail and the rotation are native tests of the shell's core.
TEST(ErrorLogFile, LinesBesideTheSettingsWithTheLocalTime) {
    std::wstring dir = ScratchFolder(L"errorlog");
    ResetShell(dir);
    g_shell.iniPath = dir + L"\\zuvo.ini";
    WriteErrorLog("HTTP bind error:", 10048);
    WriteErrorLog("No [Zuvo Language File]", -1);
    std::string log = ReadBytes(dir + L"\\error.log");
    std::regex line(
        "(Sun|Mon|Tue|Wed|Thu|Fri|Sat) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
        "\\d\\d \\d\\d:\\d\\d:\\d\\d \\d{4}\t");
    ASSERT_EQ(log.size(), 25 + 24 + 25 + 25u) << log;
    EXPECT_TRUE(std::regex_search(log.substr(0, 25), line)) << log;
    EXPECT_EQ(log.substr(25, 24), "HTTP bind error: 10048\r\n");
    EXPECT_EQ(log.substr(49 + 25), "No [Zuvo Language File]\r\n");
}

TEST(SettingsLocation, UnwritableProgramFolderMovesToTheProfile) {
    std::wstring dir = ScratchFolder(L"location");
    ResetShell(dir);
    CreateDirectoryW((dir + L"\\appdata").c_str(), nullptr);
    // The program's folder does not exist, so the settings cannot be written beside it.
    g_settings.window_x = 123;
    SaveSettings(g_shell, g_settings, Win32FileOps(), true);
    EXPECT_EQ(g_shell.iniLocation, kProfile);
    std::string ini = ReadBytes(dir + L"\\appdata\\Zuvo\\Zuvo.ini");
    EXPECT_EQ(ini.rfind("[Zuvo]\r\nutf8=1\r\nwindow_x=123\r\n", 0), 0u) << ini;

    // Beside the program when it can be written; portable never moves.
    CreateDirectoryW((dir + L"\\prog").c_str(), nullptr);
    g_shell.iniLocation = kPortable;
    SaveSettings(g_shell, g_settings, Win32FileOps(), true);
    EXPECT_EQ(g_shell.iniPath, dir + L"\\prog\\zuvo.ini");
    EXPECT_NE(ReadBytes(dir + L"\\prog\\zuvo.ini"), "<missing>");
}

}  // namespace
