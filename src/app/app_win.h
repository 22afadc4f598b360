// The shell's Win32 side: the one main window, its state, and the operations other parts call.
#pragma once
#include <windows.h>

#include "app/shell.h"

constexpr wchar_t kMainWindowClass[] = L"ZuvoWndClass";

// Timers of the main window owned by the shell.
enum ShellTimer : UINT_PTR {
    kTimerDelayedStart = 1809,  // starts last_file at last_pos
    kTimerShowWindow = 2681,    // shows the main window after start-up
    kTimerAutosave = 2710,      // SaveAll every five minutes while playing
    kTimerListFolder = 2983,    // lists browsed_folder after a tree selection
    kTimerShowLatest = 3370,    // shows the window 3 s after start at the latest
};

struct ShellWin {
    HINSTANCE instance = nullptr;
    HWND mainWindow = nullptr;
    HACCEL accelerators = nullptr;
    HBRUSH windowBrush = nullptr, listBrush = nullptr, bigViewBrush = nullptr,
           plainBrush = nullptr;
    bool labelEditing = false;  // a list label is being edited: no accelerators
    bool shutDown = false;
};

extern ShellState g_shell;
extern ShellWin g_win;

// The main window procedure.
LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Appends "time TAB text [code]" to error.log beside the settings file; a negative code is
// not printed. Never fails loudly.
void WriteErrorLog(const char* text, int code);
// The save shared by the exit and the autosave.
void SaveAllWin(bool keepLists);
// The exit sequence, before the main window is destroyed. Runs once.
void Shutdown();
// "Continue?" for which = 256 (quit, control_lock bit 8), 1 (play/stop, bit 0) or any other
// value (always asked). True when confirmed or not asked.
bool ConfirmAction(HWND owner, int which);
// Creates the four brushes from the current colours / deletes them.
void CreateBrushes();
void DeleteBrushes();
// The virtual screen as the placement rules see it.
Rect VirtualScreen();
