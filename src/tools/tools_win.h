// The file tools in the program: Copy to, Move/Rename and Delete of track rows, the easy
// renamer, Go to, Find in list, Notes, the manual beat counter and the file date dialog.
// The decisions are the portable rules beside this file; here are the dialogs and the
// file-system calls. Main thread only.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "base/command_ids.h"
#include "tools/file_date.h"
#include "tools/renamer.h"

void ToolsStartWin(HWND mainWindow);
// The main window the tools were started with.
HWND ToolsMainWindowWin();

// Commands 407, 408, 414, 417, 452, 460, 463, 489 and 492.
void ToolsCommandWin(CommandId id, intptr_t lParam);

// The beat counter window, for the windows Escape closes.
bool BeatCounterIsOpenWin();
void BeatCounterCloseWin();

// The easy renamer over given rows whose files lie in folder, owned by `owner` (any thread's
// window; the dialog runs on the calling thread). True when it ran (files may have changed).
bool EasyRenamerDialogWin(HWND owner, const std::wstring& folder, const RenamerTexts& texts);

// A local date and time to a UTC file time as the system's clock converts it; false when the
// fields are not a valid date or do not convert.
bool LocalToFileTimeWin(const DateFields& d, FILETIME& out);
