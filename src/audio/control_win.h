// Playback control's Win32 side: the window operations behind ControlOps, the main window's
// control entries (volume, mute, fast play, stop with fade, seek restarts, timer 1810) and the
// modeless intro scan window.
#pragma once
#include <windows.h>

#include "app/hooks.h"
#include "audio/control_ops.h"

// Fills `ops` for the main window and connects the control entries of `hooks`. Called once
// from the engine's start, after the engine's own entries.
void ControlStartWin(HWND mainWindow, AppHooks& hooks, ControlOps& ops);
// Deferred action 5 (play from the top) goes to the track sequencing once it is connected.
extern void (*g_playFromTopHandler)();

// The intro scan window (intro_scan_win.cpp).
void IntroScanOpenWin(HWND owner);  // opens it, or brings it to the front
bool IntroScanWindowOpen();
bool IntroScanRunningWin();  // its timer runs
void IntroScanCloseWin();    // WM_CLOSE to it
void IntroScanNextWin();     // its Next button (a natural track end while it is open)
