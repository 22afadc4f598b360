// In-place renaming in the File view: F2 (command 473) opens the name cell of the focused row
// for editing; the edited name renames or moves the file.
#pragma once
#include "app/hooks.h"

void ListRenameStartWin(AppHooks& hooks);
