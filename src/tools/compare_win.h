// The "Compare folders" dialog. It runs on a thread of its own, so the main window stays
// usable; at most one exists. The dialog touches only its own windows: what it needs of the
// settings is copied when it opens, and its option bits go back to the main thread as a
// message (command 442 with the bits in lParam).
#pragma once
#include <windows.h>

#include <cstdint>

#include "base/command_ids.h"

// Command 442 from a menu: opens the dialog for the browsed folder (nothing while one is
// open). From the dialog: stores its option bits in the settings.
void CompareFoldersCommandWin(CommandId id, intptr_t lParam);

