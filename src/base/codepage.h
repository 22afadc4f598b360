// 8-bit text in a code page: the system's ANSI code page (play lists, cue sheets), reached
// through a table that the Win32 glue fills (SystemCodePageWin in base/fileops_win.h) and tests
// fake; without it, Windows-1252.
#pragma once
#include <string>
#include <string_view>

// Null members fall back to Windows-1252.
struct CodePage {
    std::wstring (*toWide)(void* ctx, std::string_view text);
    std::string (*fromWide)(void* ctx, std::wstring_view text);
    void* ctx;
};
std::wstring AnsiToWide(const CodePage& cp, std::string_view text);
// Characters the code page cannot hold become "?".
std::string WideToAnsi(const CodePage& cp, std::wstring_view text);
