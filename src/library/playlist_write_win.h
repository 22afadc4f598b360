// "&Create" and "&Append" under "&Playlist file" (the save dialog "Select destination" and the
// file written from the focused list's rows), and "Find C&ue sheet" (the sheet that names the
// selected track, selected in the folder tree). Main thread only.
#pragma once
#include <windows.h>

// Connects commands 410, 411 and 434. Called once after the library and the sequencing start.
void PlaylistWriteStartWin(HWND mainWindow);
