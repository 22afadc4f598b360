// Following a cue list while its audio file plays: the File view's current row, the upcoming
// texts and the main window's caption keep up with the play position. Main thread only.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// Starts the follow timer of the main window. Called once after the sequencing starts.
void CueFollowStartWin(HWND mainWindow);

// The time into the entry the playing cue list follows, the entry's length and its title as
// the window title names it; false when the playing list is no cue list (the HTTP page then
// shows the track's own name and times).
bool CueEntryTimesWin(uint32_t& intoMs, uint32_t& lengthMs, std::wstring& title);
