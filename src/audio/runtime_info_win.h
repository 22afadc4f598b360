// The "Runtime information" window (command 955, Ctrl+Shift+Alt+D): the engine's positions,
// buffer layout and last debug text, refreshed while it is open.
#pragma once
#include <windows.h>

#include "app/hooks.h"

// Connects command 955 for `mainWindow`; the window is created on the first use.
void RuntimeInfoStartWin(HWND mainWindow, AppHooks& hooks);
