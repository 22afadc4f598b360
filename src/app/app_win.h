// The shell's Win32 side: the one main window, its state, and the operations other parts of the
// shell call. The other subsystems never include this file: they are reached through the
// tables of g_wiring and get what they need of the shell at their start (app/wiring_win.cpp).
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
    bool shutDown = false;
};

extern ShellState g_shell;
extern ShellWin g_win;
extern DispatchState g_dispatch;
extern AppWiring g_wiring;         // filled once by StartSubsystemsWin
extern ListSources g_listSources;  // the lists' rows for the exit save

// The dispatcher's view of the program: the global records and the Win32 services.
CommandContext AppContext();

// The main window procedure.
LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Starts every subsystem in its order and fills g_wiring, the route table of the commands
// and each subsystem's host table: the one place where the subsystems meet (wiring_win.cpp).
void StartSubsystemsWin();
// "/enqueue" paths: to the end of the Playlist view.
void EnqueueWin(std::vector<std::wstring> paths);

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
// The language named by the settings (error.log on failures).
void LoadLanguageWin();
// "Open in new Zuvo Window": the tree's selected folder in a new instance of the program.
void NewWindowCommandWin(CommandId id, intptr_t lParam);
// Whether a command number below kCommandSlots has a handler: the dispatcher's own answer or
// a route of the start-up's table (what the menus, the toolbar and the keys send must have one).
bool CommandHasHandlerWin(unsigned id);
