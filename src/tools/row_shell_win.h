// The shell's own handling of a row's file or the tree's list file: Explorer on its folder
// with it selected, its properties sheet, its default program, and the text editor for a
// play list or cue sheet. Main thread only.
#pragma once
#include <windows.h>

#include "base/command_ids.h"

// Commands 412, 451, 491 and 493.
void RowShellCommandWin(CommandId id, intptr_t lParam);
