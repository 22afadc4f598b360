// The file tools in the program: Copy to, Move/Rename and Delete of track rows, the easy
// renamer, Go to, Find in list, Notes, the manual beat counter and the file date dialog.
// The decisions are the portable rules beside this file; here are the dialogs and the
// file-system calls. Main thread only.
#pragma once
#include <windows.h>

#include <cstdint>

#include "base/command_ids.h"

void ToolsStartWin(HWND mainWindow, HINSTANCE instance);
// The main window given at the start.
HWND ToolsMainWindowWin();

// Commands 407, 408, 414, 417, 452, 460, 463, 489 and 492.
void ToolsCommandWin(CommandId id, intptr_t lParam);

// The beat counter window, for the windows Escape closes.
bool BeatCounterIsOpenWin();
void BeatCounterCloseWin();
