// The intro scan window: modeless, owned by the main window, driving the scan logic of
// intro_scan.cpp over the engine. Main thread only.
#pragma once
#include <windows.h>

#include "base/command_ids.h"

// Its owner. Called once at start.
void IntroScanStartWin(HWND owner);
void IntroScanCommandWin(CommandId id, intptr_t lParam);  // opens it, or brings it to the front
bool IntroScanWindowOpen();
bool IntroScanRunningWin();  // its timer runs
void IntroScanCloseWin();    // WM_CLOSE to it
void IntroScanNextWin();     // its Next button (a natural track end while it is open)
