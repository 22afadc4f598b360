// The shell's Win32 side: the one main window, its state, and the operations other parts call.
#pragma once
#include <windows.h>

#include "app/dispatch.h"
#include "app/shell.h"

constexpr wchar_t kMainWindowClass[] = L"ZuvoWndClass";

struct ShellWin {
    HINSTANCE instance = nullptr;
    HWND mainWindow = nullptr;
    HACCEL accelerators = nullptr;
    HBRUSH windowBrush = nullptr, listBrush = nullptr, bigViewBrush = nullptr, plainBrush = nullptr;
    // Child windows; null until the subsystem that creates them is built.
    HWND toolbar = nullptr, statusBar = nullptr, folderTree = nullptr;
    HWND fileList = nullptr, playList = nullptr, insertList = nullptr;
    bool shutDown = false;
};

extern ShellState g_shell;
extern ShellWin g_win;
extern DispatchState g_dispatch;
extern AppHooks g_hooks;  // filled by the subsystems as they start (app/hooks.h)
extern ListSources g_listSources;  // the lists' rows for the exit save, set as they are made

// The dispatcher's view of the program: the global records and the Win32 services.
CommandContext AppContext();

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
// Step 17 of the start-up: the language named by the settings (error.log on failures).
void LoadLanguageWin();
