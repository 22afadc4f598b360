// Following a cue list while its audio file plays: the File view's current row, the upcoming
// texts and the main window's title keep up with the play position. Main thread only.
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

// The entry under the play position (followed now) as the window title shows it: the time
// into it, its length, its number from 1, its name (empty when it has none) and the sheet's
// title. False when no cue list plays.
struct CueTitleEntry {
    uint32_t intoMs = 0, lengthMs = 0;
    int number = 0;
    std::wstring name, sheet;
};
bool CueTitleEntryWin(CueTitleEntry& out);
