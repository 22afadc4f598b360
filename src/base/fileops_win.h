// The FileOps table over the Win32 file API (wide paths).
#pragma once
#include <string>
#include <string_view>

#include "base/codepage.h"
#include "base/fileops.h"

FileOps Win32FileOps();

// 8-bit text in the system code page to wide text (MultiByteToWideChar with CP_ACP).
std::wstring AnsiToWide(std::string_view text);

// The system's ANSI code page (CP_ACP) as a code-page table: play lists and cue sheets.
CodePage SystemCodePageWin();
