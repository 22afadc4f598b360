// In-place renaming in the File view: F2 opens the label edit of the focused row; the edited
// name renames (or moves) the file. Main thread only.
#pragma once
#include <string>

#include "base/command_ids.h"

// F2: the label edit of the focused row; the main window decides whether the list allows it.
void ListRenameCommandWin(CommandId id, intptr_t lParam);
// The edited name of the focused row: the file is renamed (or moved) and the folder listed
// again, the playing track followed to its new name. False when that fails.
bool ListRenameWin(const std::wstring& typed);
