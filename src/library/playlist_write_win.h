// "&Create" and "&Append" under "&Playlist file" (the save dialog "Select destination" and the
// file written from the focused list's rows), and "Find C&ue sheet" (the sheet that names the
// selected track, selected in the folder tree). Main thread only.
#pragma once
#include <windows.h>

#include "base/command_ids.h"

// The owner of the save dialog. Called once after the library and the sequencing start.
void PlaylistWriteStartWin(HWND mainWindow);

void PlaylistCreateCommandWin(CommandId id, intptr_t lParam);  // 410
void PlaylistAppendCommandWin(CommandId id, intptr_t lParam);  // 411
void FindCueSheetCommandWin(CommandId id, intptr_t lParam);    // 434
