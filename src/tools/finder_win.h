// The file finder dialog "Find": searches a folder tree for playable files on a worker thread of
// its own, which stops cooperatively (a flag it checks before every folder and file), and fills
// the results into the File view as a list of rows that carry their own folders.
#pragma once
#include <windows.h>

#include <cstdint>

#include "base/command_ids.h"

// "&Find files..." (F3): the browsed folder; "File finder (current drive)" (Shift+F3): the
// drive of the browsed folder.
void FindFilesCommandWin(CommandId id, intptr_t lParam);
