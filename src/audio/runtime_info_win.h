// The "Runtime information" window (command 955): the engine's state as text, refreshed every
// 250 ms while it is open.
#pragma once
#include <windows.h>

#include "base/command_ids.h"

// Its owner and the display scale. Called once at start.
void RuntimeInfoStartWin(HWND owner, double dpiFactor);
// The command shows the window, or closes it when it is open.
void RuntimeInfoCommandWin(CommandId id, intptr_t lParam);
