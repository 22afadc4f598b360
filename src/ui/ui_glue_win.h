// The Win32 side of the texts, menus, hotkeys and tray icon: each takes what the portable code
// decided (ui/texts.h, ui/menus.h, ui/hotkeys.h) and hands it to the system. Main thread only.
#pragma once
#include <windows.h>

#include <string>

#include "ui/hotkeys.h"
#include "ui/menus.h"
#include "ui/texts.h"

// The window the texts, menus, hotkeys and tray icon belong to.
void UiGlueStartWin(HWND mainWindow, HINSTANCE instance);

// ---- texts ----

// Sets the main window's title when its first 100 characters differ from the shown one.
void SetTitleWin(const std::wstring& title);
// Pane 2 shows text; with ms above 0 timer 8000 gives the flags back after ms.
void ShowMessageWin(const wchar_t* text, int ms);
// CF_UNICODETEXT; false (nothing copied) when the clipboard cannot be opened.
bool CopyToClipboardWin(const std::wstring& text);
// ShellExecuteA of an address (nothing for an empty one).
void OpenUrlWin(const std::string& url);
// Runs the plan; when that fails, once more with the program on the player's own drive.
void LaunchWin(const LaunchPlan& plan, const std::wstring& ownPath);

// ---- menus ----

// Builds the HMENU of a model (null when it cannot be created); the caller destroys it.
HMENU BuildMenuWin(const Menu& menu);
// Shows the menu at pt (screen) for the main window; the chosen item arrives as WM_COMMAND.
void TrackMenuWin(const Menu& menu, POINT pt);

// ---- hotkeys ----

// Unregisters ids 1 to 13; then, unless unregister or preset 0, registers the preset's keys.
void RegisterHotkeysWin(bool unregister, int preset, const std::string& def);

// ---- tray icon (id 760, callback WM_USER) ----

constexpr UINT kTrayIconId = 760;
bool TrayAddWin();
void TrayRemoveWin();
void TraySetTipWin(const std::wstring& text);
bool TrayShownWin();
