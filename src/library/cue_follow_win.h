// Following a cue list while its audio file plays: the File view's current row, the upcoming
// texts and the main window's caption keep up with the play position. Main thread only.
#pragma once
#include <windows.h>

// Starts the follow timer of the main window. Called once after the sequencing starts.
void CueFollowStartWin(HWND mainWindow);
