// The player's texts, menus, hotkeys and tray icon, where the window's face meets the engine
// and the lists: this file gathers the facts (settings, engine, lists) and hands them to the
// portable texts and menu models of ui/, and their results to ui's glue. Main thread only.
#pragma once
#include <windows.h>

#include "app/wiring.h"

// After the subsystems started: hotkeys, tray icon, the first pane texts.
void ViewTextsStartWin();
// At exit: hotkeys off, tray icon removed.
void ViewTextsStopWin();
// Fills the ViewOps entries this part offers (title, flags, messages); the face fills the rest.
void ViewTextOpsWin(ViewOps& v);
// The file list changed: pane 0's summary and the title.
void ViewListChangedWin();
// A track started: pane 1, the tray tip and, when asked for, the "Now playing" copy.
void ViewTrackStartedWin();

// Commands 474, 475, 476, 403, 404, 471: web search, "Now playing" copy, path copy, programs.
void ViewTextCommandWin(CommandId id, intptr_t lParam);
// Commands 944, 522, 518, 945: the main, repeat and context menus.
void MenuCommandWin(CommandId id, intptr_t lParam);
// WM_CONTEXTMENU of the main window (a right click on a child or the window).
bool ContextMenuWin(HWND target, LPARAM lParam);
// The tray icon's callback (WM_USER, wParam 760).
void TrayCallbackWin(LPARAM lParam);
